#include "ui/Input.h"

#include "settings/GamepadConfig.h"

namespace Input {

namespace {

bool isButton(const SDL_Event& event, Uint32 type, const char* name) {
    return event.type == type &&
           static_cast<int>(event.cbutton.button) == GamepadConfig::getInstance().getButton(name);
}

} // namespace

bool isButton(const SDL_ControllerButtonEvent& button, const char* name) {
    return static_cast<int>(button.button) == GamepadConfig::getInstance().getButton(name);
}

bool isButtonDown(const SDL_Event& event, const char* name) {
    return isButton(event, SDL_CONTROLLERBUTTONDOWN, name);
}

bool isButtonUp(const SDL_Event& event, const char* name) {
    return isButton(event, SDL_CONTROLLERBUTTONUP, name);
}

bool isKeyDown(const SDL_Event& event, SDL_Keycode key) {
    return event.type == SDL_KEYDOWN && event.key.keysym.sym == key;
}

} // namespace Input
