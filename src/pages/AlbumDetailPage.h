#pragma once

#include "pages/CoverDetailPage.h"

struct Album;

// The songs of one album beside its cover, with the album's name and artist. Playing a song
// makes the album the queue, so playback continues through the album.
class AlbumDetailPage : public CoverDetailPage {
public:
    AlbumDetailPage(const PageServices& services, PlayList* playlist, Player* player);

    // Shows the album from its first song.
    void setAlbum(const Album& album);
};
