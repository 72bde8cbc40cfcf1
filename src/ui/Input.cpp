#include "ui/Input.h"

#include "settings/GamepadConfig.h"

bool Input::isButtonEvent(const SDL_Event& event, Uint32 type, const char* name) const {
    return event.type == type && isButton(event.cbutton, name);
}

bool Input::isButton(const SDL_ControllerButtonEvent& button, const char* name) const {
    return static_cast<int>(button.button) == mapping.getButton(name);
}

bool Input::isButtonDown(const SDL_Event& event, const char* name) const {
    return isButtonEvent(event, SDL_CONTROLLERBUTTONDOWN, name);
}

bool Input::isButtonUp(const SDL_Event& event, const char* name) const {
    return isButtonEvent(event, SDL_CONTROLLERBUTTONUP, name);
}

bool Input::isKeyDown(const SDL_Event& event, SDL_Keycode key) {
    return event.type == SDL_KEYDOWN && event.key.keysym.sym == key;
}
