#pragma once

#include <functional>

class Player;

// Runs the application's per-frame work while waiting, as its frame loop does: the Player's (or
// the play list's) update, with SDL's events waited for in between so that the Player's wake-up
// event ends a wait early.
class EventPump {
public:
    EventPump();
    EventPump(const EventPump&) = delete;
    EventPump& operator=(const EventPump&) = delete;
    ~EventPump();

    // Runs frame() until done() holds (true) or timeoutMs have passed (false).
    bool pumpUntil(const std::function<void()>& frame, const std::function<bool()>& done,
                   int timeoutMs);
    bool pumpUntil(Player& player, const std::function<bool()>& done, int timeoutMs);
    // Pumps for a while, e.g. to see that nothing further happens.
    void pumpFor(Player& player, int milliseconds);
};
