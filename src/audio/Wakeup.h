#pragma once

#include <semaphore.h>

// Wakes a waiting thread. post() neither blocks nor allocates, so the audio callback may call it.
class Wakeup {
public:
    Wakeup();
    ~Wakeup();
    Wakeup(const Wakeup&) = delete;
    Wakeup& operator=(const Wakeup&) = delete;

    void post();
    // Returns after a post (one since the last wait counts) or after the time has passed.
    void waitFor(int milliseconds);

private:
    sem_t semaphore;
};
