#pragma once

#include "core/Clock.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <utility>

// Base of every screen element the application drives: the pages, the top bar and the dialog.
// The renderer and the font are lent by the application and never freed here.
class UIBase {
public:
    // Every element draws in this fixed screen space.
    static constexpr int SCREEN_WIDTH = 640;
    static constexpr int SCREEN_HEIGHT = 480;
    // The top bar takes the top strip; pages draw their content below it.
    static constexpr int TOP_BAR_HEIGHT = 30;
    static constexpr SDL_Rect CONTENT_AREA{0, TOP_BAR_HEIGHT, SCREEN_WIDTH,
                                           SCREEN_HEIGHT - TOP_BAR_HEIGHT};
    // The content area less a margin at its foot (where a page keeps its list).
    static constexpr SDL_Rect contentAreaAbove(int bottomMargin) {
        return {CONTENT_AREA.x, CONTENT_AREA.y, CONTENT_AREA.w, CONTENT_AREA.h - bottomMargin};
    }

    virtual ~UIBase() = 0;
    virtual void init(SDL_Renderer* renderer, TTF_Font* font) = 0;
    virtual void handleEvent(SDL_Event* event) { (void)event; }
    virtual void update() = 0;
    virtual void render() = 0;

    // Whether the next frame would differ from the last one drawn, by the element's own doing:
    // an animation runs, or something it shows changed by itself (a time, a battery level, the
    // library). Input needs no answer here: the frame loop draws after every event it hands on.
    virtual bool wantsFrame() const { return pictureChanged; }
    // The frame loop drew the element.
    virtual void markDrawn() { pictureChanged = false; }
    // Whether the element may take the place of the picture on screen (a page entered, the
    // screen woken): false for a moment, which the element bounds, while what it is about to
    // show is still being prepared, so that no half-made picture flashes up.
    virtual bool readyToShow() const { return true; }

    // Where the element reads the time for its animations and time-outs.
    void setClock(Clock newClock) { clock = std::move(newClock); }

protected:
    uint64_t now() const { return clock(); }
    void notePictureChanged() { pictureChanged = true; }
    // Called every update with whether something moves by itself (a held key scrolling, an
    // overlay shown for a while): a frame each update while it moves, and one more once it
    // stops, so that its resting state is drawn.
    void noteMotion(bool moving) {
        if (moving || wasMoving) {
            notePictureChanged();
        }
        wasMoving = moving;
    }

    SDL_Renderer* renderer = nullptr;
    TTF_Font* font = nullptr;
    SDL_Rect bounds{};

private:
    Clock clock = sdlClock();
    bool pictureChanged = true;
    bool wasMoving = false;
};

inline UIBase::~UIBase() = default;
