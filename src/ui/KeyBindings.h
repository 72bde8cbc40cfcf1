#pragma once

#include <SDL.h>

#include <functional>
#include <initializer_list>
#include <vector>

class Input;

// What a screen element does on which input: each binding joins a controller button, named as in
// the controller mapping, and any number of keys to one action. The first binding an event
// matches runs; button presses and key presses are matched, releases are not.
class KeyBindings {
public:
    // input (lent) tells which controller button a name stands for.
    explicit KeyBindings(const Input& input) : input(input) {}

    // button may be null for an action that only has keys.
    void add(const char* button, std::initializer_list<SDL_Keycode> keys,
             std::function<void()> action);

    // Runs the action of the first matching binding; true when one ran. Held keys repeat their
    // key presses; with acceptKeyRepeats false those repeats are ignored.
    bool dispatch(const SDL_Event& event, bool acceptKeyRepeats = true) const;

private:
    struct Binding {
        const char* button;
        std::vector<SDL_Keycode> keys;
        std::function<void()> action;
    };

    bool matches(const Binding& binding, const SDL_Event& event) const;

    const Input& input;
    std::vector<Binding> bindings;
};
