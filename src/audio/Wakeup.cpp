#include "audio/Wakeup.h"

#include <cerrno>

Wakeup::Wakeup() {
    sem_init(&semaphore, 0, 0);
}

Wakeup::~Wakeup() {
    sem_destroy(&semaphore);
}

void Wakeup::post() {
    sem_post(&semaphore);
}

void Wakeup::wait() {
    while (sem_wait(&semaphore) != 0 && errno == EINTR) {
    }
    // Posts that piled up while the thread was busy need no further pass each.
    while (sem_trywait(&semaphore) == 0) {
    }
}
