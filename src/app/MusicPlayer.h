#pragma once

class MusicPlayer {
public:
    static int runApplication();
};
