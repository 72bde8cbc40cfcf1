#pragma once

#include <SDL.h>

#include <string>

// Synthetic input events as SDL delivers them.
SDL_Event keyDown(SDL_Keycode key, bool repeat = false);
SDL_Event keyUp(SDL_Keycode key);
SDL_Event buttonDown(int button);
SDL_Event buttonUp(int button);
// A button press by its name in the built-in controller mapping ("a", "up", "l1", ...), which
// the runtime's gamepad file repeats.
SDL_Event namedButtonDown(const std::string& name);
SDL_Event namedButtonUp(const std::string& name);
SDL_Event quitEvent();
