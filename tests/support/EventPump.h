#pragma once

#include <functional>

class Player;

// Passes SDL's events to a Player as the application's frame loop does, so that its end-of-song
// events run the song-end callback on the test's thread.
class EventPump {
public:
    EventPump();
    EventPump(const EventPump&) = delete;
    EventPump& operator=(const EventPump&) = delete;
    ~EventPump();

    // Pumps until done() holds (true) or timeoutMs have passed (false).
    bool pumpUntil(Player& player, const std::function<bool()>& done, int timeoutMs);
    // Pumps for a while, e.g. to see that no further event arrives.
    void pumpFor(Player& player, int milliseconds);
};
