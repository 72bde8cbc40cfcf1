#pragma once

#include "core/SdlHandles.h"
#include "ui/KeyBindings.h"
#include "ui/TextCache.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Input;
class LyricsParser;
class Player;
class PlayList;

// The full-screen lyrics of the now-playing page: title and artist, the lyric lines scrolling so
// that the current one rests near the middle, and a progress bar with the elapsed and total
// time. It belongs to the page, which hands it events, updates and draws it while it is on, and
// switches it off through the close callback. Play/pause, stop, previous and next song and the
// volume keep working on the controller.
class LyricsView {
public:
    static constexpr int LINE_PITCH = 36;
    static constexpr int FIRST_LINE_Y = 90;
    static constexpr int RESTING_Y = 217;       // where the current line comes to rest
    static constexpr int LINES_AROUND = 8;      // laid out before and after the current line
    static constexpr float SCROLL_SPEED = 0.3f; // share of the distance per 1/60 s
    static constexpr float SCROLL_FRAMES_PER_SECOND = 60.0f;
    static constexpr float SCROLL_AT_REST = 0.1f;

    struct Item {
        std::string text;
        int y = 0; // before scrolling
        bool highlighted = false;
    };

    // input (lent) tells the controller's buttons apart.
    LyricsView(const Input& input, Player* player, const LyricsParser* lyrics, PlayList* playlist);
    ~LyricsView();

    // infoFont (the page's lyric font, lent) writes the times.
    void init(SDL_Renderer* renderer, TTF_Font* infoFont);
    // Takes the lyric lines again; the page calls it after every lyrics load.
    void reloadLines();
    void setSong(const std::string& title, const std::string& artist);
    void setCloseCallback(std::function<void()> callback) { closeCallback = std::move(callback); }

    void handleEvent(const SDL_Event& event);
    void update(uint64_t now);
    void render();

    // The scroll after elapsedMs of moving from scroll towards target: an exponential approach
    // that never goes past the target, however long the step.
    static float scrollTowards(float scroll, float target, uint64_t elapsedMs);
    static float targetScrollFor(int currentIndex);

private:
    void loadBackdrop();
    void layOut(int index);
    void close();
    void drawHeading();
    void drawProgressBar(float progress);
    void drawCapsule(int length, bool filled);
    void drawLines();
    void drawTimes();

    SDL_Renderer* renderer = nullptr;
    TTF_Font* infoFont = nullptr;
    Player* player;
    const LyricsParser* lyrics;
    PlayList* playlist;
    std::vector<Item> items;
    int currentIndex = -1;
    std::function<void()> closeCallback;
    float scroll = 0.0f;
    float targetScroll = 0.0f;
    uint64_t lastTick = 0;
    std::vector<std::string> lines;
    std::string title;
    std::string artist;
    FontPtr normalFont, highlightFont, titleFont, artistFont;
    // The backdrop with the mask already laid over it: both never change.
    TexturePtr backdrop;
    TextCache texts{96};
    KeyBindings bindings;
};
