#pragma once

#include <SDL.h>

class GamepadConfig;

// How screen elements recognise their input: controller buttons by their name in the
// controller mapping ("a", "up", "l1", ...), keys by SDL key code.
class Input {
public:
    // mapping is lent and must outlive this object.
    explicit Input(const GamepadConfig& mapping) : mapping(mapping) {}

    // A press of the controller button mapped to name.
    bool isButtonDown(const SDL_Event& event, const char* name) const;
    // A release of the controller button mapped to name.
    bool isButtonUp(const SDL_Event& event, const char* name) const;
    // Whether a controller button event is about the button mapped to name.
    bool isButton(const SDL_ControllerButtonEvent& button, const char* name) const;
    // A key press of key (repeats included).
    static bool isKeyDown(const SDL_Event& event, SDL_Keycode key);

private:
    bool isButtonEvent(const SDL_Event& event, Uint32 type, const char* name) const;

    const GamepadConfig& mapping;
};
