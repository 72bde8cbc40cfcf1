#include "audio/PcmRing.h"

#include <algorithm>
#include <cstring>

namespace {

// Attempts to read a consistent end while the producer keeps publishing jumps; after that the
// callback plays silence once rather than wait.
constexpr int MAX_READ_ATTEMPTS = 4;
// Each jump is published under an odd sequence while it is written, then the even one after.
constexpr uint64_t JUMP_SEQUENCE_STEP = 2;

} // namespace

PcmRing::PcmRing(size_t capacityBytes, size_t startBytes)
    : buffer(capacityBytes), startBytes(startBytes) {
}

size_t PcmRing::writableBytes() const {
    return static_cast<size_t>(readPosition() + buffer.size() - writePosition());
}

uint64_t PcmRing::unplayedBytes() const {
    const uint64_t read = readPosition();
    const uint64_t written = writePosition();
    if (!isJumpPending()) {
        return written - std::min(read, written);
    }
    const uint64_t after = written - newestJump.to;
    if (newestJump.from == NOW) {
        return after;
    }
    return (newestJump.from > read ? newestJump.from - read : 0) + after;
}

void PcmRing::write(const uint8_t* data, size_t bytes) {
    const uint64_t start = writePosition();
    const size_t offset = static_cast<size_t>(start % buffer.size());
    const size_t first = std::min(bytes, buffer.size() - offset);
    std::memcpy(buffer.data() + offset, data, first);
    std::memcpy(buffer.data(), data + first, bytes - first);
    produced.store(start + bytes, std::memory_order_release);
}

void PcmRing::jump(const Jump& jump) {
    jumpSequence.store(publishedSequence + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    jumpFrom.store(jump.from, std::memory_order_relaxed);
    jumpTo.store(jump.to, std::memory_order_relaxed);
    publishedSequence += JUMP_SEQUENCE_STEP;
    jumpSequence.store(publishedSequence, std::memory_order_release);
    newestJump = jump;
    endOfSound.store(NOW, std::memory_order_release);
}

bool PcmRing::isJumpPending() const {
    return jumpTaken.load(std::memory_order_acquire) != publishedSequence;
}

// The end is read between two looks at the jump sequence: sound written after a jump the
// consumer has not seen yet must not be played as if it followed the stale sound.
size_t PcmRing::read(uint8_t* out, size_t bytes) {
    if (!isAnswered()) {
        starved = false;
        left = 0;
        return 0;
    }
    uint64_t end = position;
    bool consistent = false;
    for (int attempt = 0; attempt < MAX_READ_ATTEMPTS && !consistent; ++attempt) {
        const uint64_t sequence = jumpSequence.load(std::memory_order_acquire);
        takeJump(sequence);
        end = produced.load(std::memory_order_acquire);
        consistent = jumpSequence.load(std::memory_order_acquire) == sequence;
    }
    const uint64_t soundEnd = endOfSound.load(std::memory_order_acquire);
    const bool waitingForStart =
        !flowing && end - std::min(end, position) < std::max(bytes, startBytes) && end < soundEnd;
    size_t done = 0;
    while (consistent && !waitingForStart && done < bytes) {
        if (jumpWaiting && position >= waitingJump.from) {
            finishJump();
        }
        const uint64_t limit = jumpWaiting ? std::min(end, waitingJump.from) : end;
        if (position >= limit) {
            break;
        }
        const size_t count =
            static_cast<size_t>(std::min<uint64_t>(bytes - done, limit - position));
        copyOut(out + done, position, count);
        position += count;
        done += count;
    }
    if (jumpWaiting && position >= waitingJump.from) {
        finishJump();
    }
    starved = done < bytes && flowing && position < soundEnd;
    left = end - std::min(end, position);
    flowing = done == bytes || (flowing && !starved);
    consumed.store(position, std::memory_order_release);
    return done;
}

void PcmRing::takeJump(uint64_t sequence) {
    if (sequence == seenSequence || (sequence & 1) != 0) {
        return;
    }
    Jump jump{jumpFrom.load(std::memory_order_relaxed), jumpTo.load(std::memory_order_relaxed)};
    std::atomic_thread_fence(std::memory_order_acquire);
    if (jumpSequence.load(std::memory_order_relaxed) != sequence) {
        return; // rewritten meanwhile: taken on the next look
    }
    seenSequence = sequence;
    waitingPublished = jump;
    // A jump that leaves where the one before it leaves replaces that one; when this consumer
    // has taken that one already, it leaves the sound that one led to instead.
    if (jump.from != NOW && jump.from == takenPublished.from &&
        sequence == jumpTaken.load(std::memory_order_relaxed) + JUMP_SEQUENCE_STEP) {
        jump.from = takenPublished.to;
    }
    waitingJump = jump;
    waitingSequence = sequence;
    jumpWaiting = true;
    if (jump.from == NOW) {
        waitingJump.from = position;
        finishJump();
        flowing = false; // a new stream
    }
}

// Sound rendered anew from the jump's "from" on lies at "to": a consumer that is already past
// "from" goes on just as far past "to".
void PcmRing::finishJump() {
    const uint64_t end = produced.load(std::memory_order_acquire);
    position = std::min(waitingJump.to + (position - waitingJump.from), end);
    jumpWaiting = false;
    takenPublished = waitingPublished;
    jumpTaken.store(waitingSequence, std::memory_order_release);
}

void PcmRing::copyOut(uint8_t* out, uint64_t from, size_t bytes) const {
    const size_t offset = static_cast<size_t>(from % buffer.size());
    const size_t first = std::min(bytes, buffer.size() - offset);
    std::memcpy(out, buffer.data() + offset, first);
    std::memcpy(out + first, buffer.data(), bytes - first);
}
