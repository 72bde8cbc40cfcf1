#include "pages/ArtistDetailPage.h"

namespace {

constexpr CoverDetailPage::CaptionStyle NAME_CAPTION{28, {255, 255, 255, 255}, 431, 182, 350};
constexpr CoverDetailPage::CaptionStyle COUNT_CAPTION{22, {128, 128, 128, 255}, 431, 182, 390};
// The page's width less 235, reaching beside the cover panel; the scroll bar shows after a move.
constexpr CoverDetailPage::ListShape LIST_SHAPE{405, true};

} // namespace

ArtistDetailPage::ArtistDetailPage(const PageServices& services, PlayList* playlist, Player* player)
    : CoverDetailPage(services, playlist, player, Page::ARTISTS, LIST_SHAPE, NAME_CAPTION,
                      COUNT_CAPTION) {
}

void ArtistDetailPage::setArtist(const ArtistsPage::Artist& artist) {
    showDetail(artist.songs, artist.coverPath, artist.name,
               std::to_string(artist.songCount) + SONGS_SUFFIX);
}
