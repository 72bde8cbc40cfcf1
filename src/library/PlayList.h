#pragma once

// Placeholder until the media library lands.
class PlayList {
public:
    PlayList() = default;
    virtual ~PlayList() = default;
};
