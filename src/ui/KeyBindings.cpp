#include "ui/KeyBindings.h"

#include "ui/Input.h"

#include <algorithm>
#include <utility>

void KeyBindings::add(const char* button, std::initializer_list<SDL_Keycode> keys,
                      std::function<void()> action) {
    bindings.push_back({button, keys, std::move(action)});
}

bool KeyBindings::dispatch(const SDL_Event& event, bool acceptKeyRepeats) const {
    if (event.type == SDL_KEYDOWN && event.key.repeat != 0 && !acceptKeyRepeats) {
        return false;
    }
    for (const Binding& binding : bindings) {
        if (matches(binding, event)) {
            binding.action();
            return true;
        }
    }
    return false;
}

bool KeyBindings::matches(const Binding& binding, const SDL_Event& event) const {
    if (event.type == SDL_CONTROLLERBUTTONDOWN) {
        return binding.button && input.isButton(event.cbutton, binding.button);
    }
    if (event.type == SDL_KEYDOWN) {
        return std::find(binding.keys.begin(), binding.keys.end(), event.key.keysym.sym) !=
               binding.keys.end();
    }
    return false;
}
