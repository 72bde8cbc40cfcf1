#pragma once

#include "pages/ArtistsPage.h"
#include "pages/CoverDetailPage.h"

// The songs of one artist beside the artist's cover, name and number of songs. Looking at an
// artist changes nothing; playing a song makes the artist's songs the queue.
class ArtistDetailPage : public CoverDetailPage {
public:
    static constexpr const char* SONGS_SUFFIX = " 首歌曲";

    ArtistDetailPage(const PageServices& services, PlayList* playlist, Player* player);

    // Shows the artist from the first song.
    void setArtist(const ArtistsPage::Artist& artist);
};
