#include "support/Events.h"

#include "settings/GamepadConfig.h"

namespace {

SDL_Event keyEvent(Uint32 type, SDL_Keycode key, bool repeat) {
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    return event;
}

SDL_Event buttonEvent(Uint32 type, int button) {
    SDL_Event event{};
    event.type = type;
    event.cbutton.button = static_cast<Uint8>(button);
    event.cbutton.state = type == SDL_CONTROLLERBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    return event;
}

} // namespace

SDL_Event keyDown(SDL_Keycode key, bool repeat) {
    return keyEvent(SDL_KEYDOWN, key, repeat);
}

SDL_Event keyUp(SDL_Keycode key) {
    return keyEvent(SDL_KEYUP, key, false);
}

SDL_Event buttonDown(int button) {
    return buttonEvent(SDL_CONTROLLERBUTTONDOWN, button);
}

SDL_Event buttonUp(int button) {
    return buttonEvent(SDL_CONTROLLERBUTTONUP, button);
}

SDL_Event namedButtonDown(const std::string& name) {
    return buttonDown(GamepadConfig().getButton(name));
}

SDL_Event namedButtonUp(const std::string& name) {
    return buttonUp(GamepadConfig().getButton(name));
}

SDL_Event quitEvent() {
    SDL_Event event{};
    event.type = SDL_QUIT;
    return event;
}
