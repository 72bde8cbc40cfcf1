#pragma once

#include <SDL.h>

// How screen elements recognise their input: controller buttons by their name in the
// controller mapping ("a", "up", "l1", ...), keys by SDL key code.
namespace Input {

// A press of the controller button mapped to name.
bool isButtonDown(const SDL_Event& event, const char* name);
// A release of the controller button mapped to name.
bool isButtonUp(const SDL_Event& event, const char* name);
// Whether a controller button event is about the button mapped to name.
bool isButton(const SDL_ControllerButtonEvent& button, const char* name);
// A key press of key (repeats included).
bool isKeyDown(const SDL_Event& event, SDL_Keycode key);

} // namespace Input
