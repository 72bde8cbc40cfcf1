#pragma once

#include "core/SdlHandles.h"
#include "pages/CardPainter.h"
#include "pages/CoverCache.h"
#include "pages/LibraryBrowsePage.h"
#include "ui/TextCache.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct Album;
class Player;
class PlayList;

// Where one card of the carousel is drawn and where it is heading. Alpha is on the 0..255
// scale; x is the horizontal centre of the card on screen.
struct AlbumCardState {
    float scale = 0.0f;
    float targetScale = 0.0f;
    float alpha = 0.0f;
    float targetAlpha = 0.0f;
    float x = 0.0f;
    float targetX = 0.0f;
};

// The library's albums as a horizontal carousel of covers in the current skin: the selected
// album in the middle at full size, its neighbours smaller and dimmed; a new selection slides
// and resizes the cards smoothly. The tape skin shows each cover as a cassette insert inside a
// tape shell, the record skin square covers under a record mask. Choosing an album hands it to
// the album detail page.
//
// With a large library only the covers near the selection are read, each scaled once to its
// drawn size; covers far from the selection are released again.
class AlbumsPage : public LibraryBrowsePage {
public:
    static constexpr float EASING = 0.25f; // of the remaining distance per update
    static constexpr float SELECTED_SCALE = 1.0f;
    static constexpr float OTHER_SCALE = 0.7f;
    static constexpr float SELECTED_ALPHA = 255.0f;
    static constexpr float OTHER_ALPHA = 153.0f;
    static constexpr int CENTRE_X = 320;
    static constexpr int TAPE_SPACING = 210;
    static constexpr int RECORD_SPACING = 240;
    static constexpr int JUMP = 5; // albums per shoulder-button press
    // Covers are read ahead up to this many albums on either side of the selection (the
    // visible cards and those a jump slides across)...
    static constexpr int PRELOAD_RADIUS = JUMP + 2;
    // ...and released once they are further away than this and off screen.
    static constexpr int RELEASE_RADIUS = PRELOAD_RADIUS + 3;
    static constexpr const char* EMPTY_MESSAGE = "暂无专辑";

    // What the carousel shows of an album; the album itself stays in the library.
    struct AlbumEntry {
        std::string name;
        std::string artist;
        std::string coverPath;
        size_t songCount = 0;
    };

    AlbumsPage(const PageServices& services, PlayList* playlist, Player* player);
    ~AlbumsPage() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void update() override;
    // Not while a card on screen waits for its cover.
    bool readyToShow() const override;
    void render() override;

    void setAlbumSelectedCallback(std::function<void(const Album&)> callback) {
        albumSelectedCallback = std::move(callback);
    }

    // The albums whose cards reach onto the screen, in painting order: by the cards' current x,
    // left to right.
    std::vector<size_t> drawingOrder() const;
    size_t loadedCoverCount() const { return covers.size(); }
    bool readingCovers() const { return covers.readingAhead(); }

private:
    enum CaptionSize { LARGE, SMALL };

    bool isTape() const;
    void loadSkin();
    void rebuildFromLibrary() override;
    void buildCardStates();
    void startCarouselAnimation();
    void stepCarouselAnimation();
    void setTargets(size_t index, AlbumCardState& card) const;
    void moveSelection(int step);
    void chooseSelected();
    void readCoversAhead();
    // A side of a card at the scale of the cards beside the selected one.
    static int smallSide(int side);
    void drawCard(const std::string& coverPath, const SDL_Rect& cover, const SDL_Rect& frameArea,
                  Uint8 alpha);
    void releaseFarCovers();
    float cardHalfWidth(const AlbumCardState& card) const;
    void drawTapeCard(size_t index);
    void drawRecordCard(size_t index);
    void drawTapeCaptions();
    void drawRecordCaptions();
    void drawCaption(const std::string& text, const SDL_Rect& area, CaptionSize size);

    int themeId;
    TexturePtr background;
    CardPainter painter; // the covers, and the tape shell or the record mask over each
    size_t selectedIndex = 0;
    std::function<void(const Album&)> albumSelectedCallback;
    std::vector<AlbumEntry> albums;
    std::vector<AlbumCardState> cards;
    CoverCache covers;
    bool coversToRelease = false;
    std::array<FontPtr, 2> captionFonts;
    TextCache texts{16};
};
