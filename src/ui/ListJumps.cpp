#include "ui/ListJumps.h"

#include "ui/Input.h"

namespace ListJumps {

namespace {

constexpr unsigned char FIRST_NON_ASCII = 0x80;
constexpr unsigned char THREE_BYTE_LEAD = 0xE0;
constexpr unsigned char FOUR_BYTE_LEAD = 0xF0;
constexpr unsigned char TWO_BYTE_LEAD = 0xC0;
constexpr const char* DIGITS_AND_SYMBOLS = "#";

// Bytes of the UTF-8 character that starts with lead.
std::size_t characterLength(unsigned char lead) {
    if (lead >= FOUR_BYTE_LEAD) {
        return 4;
    }
    if (lead >= THREE_BYTE_LEAD) {
        return 3;
    }
    return lead >= TWO_BYTE_LEAD ? 2 : 1;
}

} // namespace

std::string initialOf(const std::string& name) {
    if (name.empty()) {
        return DIGITS_AND_SYMBOLS;
    }
    const auto lead = static_cast<unsigned char>(name[0]);
    if (lead >= FIRST_NON_ASCII) {
        return name.substr(0, characterLength(lead));
    }
    if (lead >= 'a' && lead <= 'z') {
        return std::string(1, static_cast<char>(lead - 'a' + 'A'));
    }
    if (lead >= 'A' && lead <= 'Z') {
        return std::string(1, static_cast<char>(lead));
    }
    return DIGITS_AND_SYMBOLS;
}

int jumpTarget(int count, int from, int direction, const std::function<bool(int, int)>& sameGroup) {
    if (from < 0 || from >= count) {
        return from;
    }
    if (direction > 0) {
        for (int row = from + 1; row < count; ++row) {
            if (!sameGroup(row, from)) {
                return row;
            }
        }
        return from;
    }
    int start = from;
    while (start > 0 && sameGroup(start - 1, from)) {
        --start;
    }
    if (start == 0) {
        return from;
    }
    int previous = start - 1;
    while (previous > 0 && sameGroup(previous - 1, start - 1)) {
        --previous;
    }
    return previous;
}

} // namespace ListJumps

void HeldScroll::press(int newDirection, uint64_t now) {
    direction = newDirection > 0 ? 1 : -1;
    pressedAt = now;
    lastLook = now;
    rowsMoved = 0;
}

void HeldScroll::release(int releasedDirection) {
    if ((releasedDirection > 0 ? 1 : -1) == direction) {
        direction = 0;
    }
}

bool HeldScroll::takeEvent(const SDL_Event& event, const Input& input) {
    const bool isKey = event.type == SDL_KEYDOWN || event.type == SDL_KEYUP;
    const SDL_Keycode key = isKey ? event.key.keysym.sym : SDLK_UNKNOWN;
    if (event.type == SDL_KEYDOWN) {
        return event.key.repeat != 0 && (key == SDLK_UP || key == SDLK_DOWN);
    }
    if (key == SDLK_UP || input.isButtonUp(event, "up")) {
        release(-1);
        return true;
    }
    if (key == SDLK_DOWN || input.isButtonUp(event, "down")) {
        release(+1);
        return true;
    }
    return false;
}

int HeldScroll::take(uint64_t now) {
    if (direction == 0) {
        return 0;
    }
    if (now - lastLook > LOST_FOCUS_MS) {
        direction = 0;
        return 0;
    }
    lastLook = now;
    const int64_t due = rowsAfter(now - pressedAt) - rowsMoved;
    rowsMoved += due;
    return static_cast<int>(due) * direction;
}

// The rate starts at START_ROWS_PER_SECOND and grows steadily: its integral over the time held
// since the first repeat.
int64_t HeldScroll::rowsAfter(uint64_t heldMs) {
    if (heldMs < FIRST_REPEAT_MS) {
        return 0;
    }
    const double seconds = static_cast<double>(heldMs - FIRST_REPEAT_MS) / 1000.0;
    return 1 + static_cast<int64_t>(START_ROWS_PER_SECOND * seconds +
                                    ROWS_PER_SECOND_GAINED_PER_SECOND * seconds * seconds / 2.0);
}
