#include "pages/ArtistDetailPage.h"

namespace {

constexpr CoverDetailPage::CaptionStyle NAME_CAPTION{28, {255, 255, 255, 255}, 431, 182, 350};
constexpr CoverDetailPage::CaptionStyle COUNT_CAPTION{22, {128, 128, 128, 255}, 431, 182, 390};

} // namespace

ArtistDetailPage::ArtistDetailPage(const PageServices& services, PlayList* playlist, Player* player)
    : CoverDetailPage(services, playlist, player, Page::ARTISTS, NAME_CAPTION, COUNT_CAPTION) {
}

void ArtistDetailPage::setArtist(const ArtistsPage::Artist& artist) {
    showDetail(artist.songs, artist.coverPath, artist.name,
               std::to_string(artist.songCount) + SONGS_SUFFIX);
}
