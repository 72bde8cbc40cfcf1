#include "pages/AlbumDetailPage.h"

#include "model/Album.h"

namespace {

constexpr CoverDetailPage::CaptionStyle NAME_CAPTION{24, {255, 255, 255, 255}, 417, 221, 352};
constexpr CoverDetailPage::CaptionStyle ARTIST_CAPTION{18, {103, 103, 103, 255}, 417, 221, 384};
// From the list's marker to its end (5 + 403); no scroll bar.
constexpr CoverDetailPage::ListShape LIST_SHAPE{393, false};
constexpr int JUMP = 5; // rows per shoulder-button press

} // namespace

AlbumDetailPage::AlbumDetailPage(const PageServices& services, PlayList* playlist, Player* player)
    : CoverDetailPage(services, playlist, player, Page::ALBUMS, LIST_SHAPE, NAME_CAPTION,
                      ARTIST_CAPTION) {
    bindings.add("l1", {}, [this] { moveSelection(-JUMP); });
    bindings.add("r1", {}, [this] { moveSelection(+JUMP); });
}

void AlbumDetailPage::setAlbum(const Album& album) {
    showDetail(album.songs, album.coverPath, album.name, album.artist);
}
