#include "pages/ArtistsPage.h"

#include "core/Log.h"
#include "library/PlayList.h"
#include "ui/Image.h"

#include <algorithm>
#include <exception>
#include <map>

namespace {

constexpr int LIST_BOTTOM_MARGIN = 10;
constexpr SDL_Rect PAGE_BOUNDS = UIBase::contentAreaAbove(LIST_BOTTOM_MARGIN);
constexpr SDL_Color EMPTY_TEXT{180, 180, 180, 255};
constexpr SDL_Rect EMPTY_AREA{0, 0, 640, 450};
constexpr int SCROLL_BAR_INSET = 5;
constexpr int SCROLL_BAR_WIDTH = 3;
constexpr int SCROLL_THUMB_MIN_HEIGHT = 30;
constexpr SDL_Color SCROLL_THUMB{180, 180, 180, 255};
constexpr SDL_Color SCROLL_TRACK{60, 60, 60, 128};

ScrollBarStyle artistScrollBar() {
    ScrollBarStyle style;
    style.track = {PAGE_BOUNDS.x + PAGE_BOUNDS.w - SCROLL_BAR_INSET,
                   PAGE_BOUNDS.y + SCROLL_BAR_INSET, SCROLL_BAR_WIDTH, PAGE_BOUNDS.h};
    style.thumbColor = SCROLL_THUMB;
    style.minThumbHeight = SCROLL_THUMB_MIN_HEIGHT;
    style.drawTrack = true;
    style.trackColor = SCROLL_TRACK;
    return style;
}

// "name (12首)"
std::string rowText(const ArtistsPage::Artist& artist) {
    return artist.name + " (" + std::to_string(artist.songCount) + "首)";
}

} // namespace

std::vector<ArtistsPage::Artist> ArtistsPage::groupByArtist(const std::vector<Song>& songs) {
    // std::string compares as unsigned bytes, so the map keeps the names in byte order.
    std::map<std::string, Artist> byName;
    for (const Song& song : songs) {
        if (song.artist.empty()) {
            continue;
        }
        auto [entry, first] = byName.try_emplace(song.artist);
        Artist& artist = entry->second;
        if (first) {
            artist.name = song.artist;
            artist.coverPath = song.coverPath;
        }
        artist.songs.push_back(song);
        artist.songCount = artist.songs.size();
    }
    std::vector<Artist> grouped;
    grouped.reserve(byName.size());
    for (auto& entry : byName) {
        grouped.push_back(std::move(entry.second));
    }
    return grouped;
}

ArtistsPage::ArtistsPage(const PageServices& services, PlayList* playlist, Player* player)
    : LibraryBrowsePage(services, playlist, player), listView({}, artistScrollBar()) {
    bindings.add("up", {SDLK_UP}, [this] { pressDirection(-1); });
    bindings.add("down", {SDLK_DOWN}, [this] { pressDirection(+1); });
    bindings.add("left", {SDLK_LEFT}, [this] { jumpToInitial(-1); });
    bindings.add("right", {SDLK_RIGHT}, [this] { jumpToInitial(+1); });
    bindings.add("a", {SDLK_RETURN}, [this] { chooseSelected(); });
    bindings.add("b", {SDLK_ESCAPE}, [this] { goBack(); });
}

ArtistsPage::~ArtistsPage() = default;

void ArtistsPage::init(SDL_Renderer* newRenderer, TTF_Font* newFont) {
    if (!initBrowsePage(newRenderer, newFont, PAGE_BOUNDS,
                        "ArtistsPage::init - 无效的renderer或font")) {
        return;
    }
    background.load(renderer);
    artistIcon = Image::loadTextureOrReport(renderer, "icons/gs.png", "无法加载普通艺术家图标: ");
    selectedArtistIcon =
        Image::loadTextureOrReport(renderer, "icons/gs_l.png", "无法加载选中艺术家图标: ");
}

// The selected artist stays selected when the new library still has it.
void ArtistsPage::rebuildFromLibrary() {
    std::string selectedName;
    if (list.isSelectionValid(static_cast<int>(artists.size()))) {
        selectedName = artists[list.selectedIndex].name;
    }
    artists = groupByArtist(playlist->getLibrarySongs());
    auto same = std::find_if(artists.begin(), artists.end(),
                             [&](const Artist& artist) { return artist.name == selectedName; });
    if (same != artists.end()) {
        list.selectedIndex = static_cast<int>(same - artists.begin());
    }
    list.clampTo(static_cast<int>(artists.size()));
}

void ArtistsPage::handleEvent(SDL_Event* event) {
    if (event && heldScroll.takeEvent(*event, services.input)) {
        return;
    }
    LibraryBrowsePage::handleEvent(event);
}

// A held direction stops at either end of the list; a single press wraps around.
void ArtistsPage::update() {
    LibraryBrowsePage::update();
    if (const int rows = heldScroll.take(now())) {
        list.moveClamped(rows, static_cast<int>(artists.size()));
    }
    noteMotion(isMovingOnItsOwn());
}

void ArtistsPage::moveSelection(int step) {
    list.moveWrapping(step, static_cast<int>(artists.size()));
}

void ArtistsPage::pressDirection(int direction) {
    moveSelection(direction);
    heldScroll.press(direction, now());
}

void ArtistsPage::jumpToInitial(int direction) {
    const int from = list.selectedIndex;
    const int target = ListJumps::jumpTarget(
        static_cast<int>(artists.size()), from, direction, [this](int a, int b) {
            return ListJumps::initialOf(artists[a].name) == ListJumps::initialOf(artists[b].name);
        });
    if (list.moveClamped(target - from, static_cast<int>(artists.size()))) {
        jumpOverlay.show(ListJumps::initialOf(artists[target].name), now());
    }
}

void ArtistsPage::chooseSelected() {
    if (!list.isSelectionValid(static_cast<int>(artists.size())) || !artistSelectedCallback) {
        return;
    }
    Artist chosen = artists[list.selectedIndex];
    if (chosen.songs.empty()) {
        logError("选中的艺术家没有歌曲");
        return;
    }
    try {
        artistSelectedCallback(chosen);
    } catch (const std::exception& error) {
        logError(std::string("艺术家选择回调执行失败: ") + error.what());
    }
}

void ArtistsPage::render() {
    if (!renderer) {
        return;
    }
    if (background.isLoaded()) {
        background.draw(renderer);
    }
    drawTopBar();
    if (artists.empty()) {
        texts.drawCentred(renderer, font, EMPTY_MESSAGE, EMPTY_TEXT, EMPTY_AREA, true);
        return;
    }
    listView.drawRows(
        renderer, font, list, static_cast<int>(artists.size()), [this](int index, bool selected) {
            SDL_Texture* icon = selected ? selectedArtistIcon.get() : artistIcon.get();
            return ListRow{icon, rowText(artists[index])};
        });
    listView.drawScrollBar(renderer, list, static_cast<int>(artists.size()));
    jumpOverlay.render(renderer, now());
}
