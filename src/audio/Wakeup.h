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
    // Returns after a post (one since the last wait counts). There is no time-out: a thread
    // with nothing to do sleeps until it is asked for something, and no clock set back or
    // forth can stretch or cut its sleep.
    void wait();

private:
    sem_t semaphore;
};
