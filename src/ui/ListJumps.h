#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <string>

class Input;

// Moving through a long list by groups of rows instead of row by row, and moving faster the
// longer a direction is held.
namespace ListJumps {

// The group a name is listed under: its first letter in upper case, "#" for a name that starts
// with a digit or a symbol, and a CJK character (or any other letter beyond ASCII) as its own
// group.
std::string initialOf(const std::string& name);

// The row a jump by one group in direction (+1 or -1) lands on, from row from of count rows:
// forwards, the next row whose group differs; backwards, the first row of the previous group.
// sameGroup(a, b) tells whether two rows belong together. from when there is no such group.
int jumpTarget(int count, int from, int direction, const std::function<bool(int, int)>& sameGroup);

} // namespace ListJumps

// The repeats of a held direction key: nothing for a moment after the press (which moved once
// already), then rows at a rate that grows the longer the key is held. Keys and buttons report
// their releases; a page that stops being updated (left while the key was down) lets go too.
class HeldScroll {
public:
    static constexpr uint64_t FIRST_REPEAT_MS = 400;
    static constexpr double START_ROWS_PER_SECOND = 10.0;
    static constexpr double ROWS_PER_SECOND_GAINED_PER_SECOND = 25.0;
    // A gap between two looks this long means the page was not on screen.
    static constexpr uint64_t LOST_FOCUS_MS = 250;

    void press(int direction, uint64_t now);
    void release(int direction);
    // Takes the releases of up and down, and the key repeats of up and down (which the held
    // scroll replaces); true when the event was one of them.
    bool takeEvent(const SDL_Event& event, const Input& input);
    // Rows to move now, signed; 0 while nothing is held.
    int take(uint64_t now);
    bool isHeld() const { return direction != 0; }

private:
    // Rows of repeats due after holding for heldMs.
    static int64_t rowsAfter(uint64_t heldMs);

    int direction = 0;
    uint64_t pressedAt = 0;
    uint64_t lastLook = 0;
    int64_t rowsMoved = 0;
};
