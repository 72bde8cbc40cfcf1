#include "audio/Wakeup.h"

#include <cerrno>
#include <ctime>

namespace {

constexpr long NANOSECONDS_PER_MILLISECOND = 1000000;
constexpr long NANOSECONDS_PER_SECOND = 1000000000;

} // namespace

Wakeup::Wakeup() {
    sem_init(&semaphore, 0, 0);
}

Wakeup::~Wakeup() {
    sem_destroy(&semaphore);
}

void Wakeup::post() {
    sem_post(&semaphore);
}

void Wakeup::waitFor(int milliseconds) {
    timespec deadline{};
    clock_gettime(CLOCK_REALTIME, &deadline);
    deadline.tv_nsec += milliseconds * NANOSECONDS_PER_MILLISECOND;
    deadline.tv_sec += deadline.tv_nsec / NANOSECONDS_PER_SECOND;
    deadline.tv_nsec %= NANOSECONDS_PER_SECOND;
    while (sem_timedwait(&semaphore, &deadline) != 0 && errno == EINTR) {
    }
    // Posts that piled up while the thread was busy need no further pass each.
    while (sem_trywait(&semaphore) == 0) {
    }
}
