#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

// Converted sound passed from the decoding thread (the one producer) to the audio callback (the
// one consumer) without a lock. Positions count bytes from the start of the run and only grow;
// the buffer holds the bytes between the consumer's position and the producer's.
//
// The producer makes the consumer skip stale sound with a jump: at once (a seek, a new song), or
// when the consumer reaches a given position (sound rendered anew from there, say with another
// equalizer). Only the newest jump counts, and it is pending until the consumer has taken it.
// A jump from where the pending one leaves replaces that one, even when the consumer has taken
// that one meanwhile.
class PcmRing {
public:
    static constexpr uint64_t NOW = UINT64_MAX;

    struct Jump {
        uint64_t from = NOW; // where the consumer leaves the old sound; NOW: at once
        uint64_t to = 0;     // where it goes on
    };

    // A stream (after a jump, or after the producer fell behind) starts once startBytes are
    // there or its end is: a stall then delays the start instead of cutting holes into it.
    PcmRing(size_t capacityBytes, size_t startBytes);
    PcmRing(const PcmRing&) = delete;
    PcmRing& operator=(const PcmRing&) = delete;

    // --- Any thread ---
    // The consumer's position: everything before it has been handed to the device.
    uint64_t readPosition() const { return consumed.load(std::memory_order_acquire); }
    // A request (numbered, increasing) will be answered with a jump: until then the consumer
    // plays silence rather than the stale sound.
    void awaitJump(uint64_t request) { awaited.store(request, std::memory_order_release); }
    // The latest request awaited has been answered.
    bool isAnswered() const {
        return answered.load(std::memory_order_acquire) >= awaited.load(std::memory_order_acquire);
    }

    // --- Producer ---
    uint64_t writePosition() const { return produced.load(std::memory_order_relaxed); }
    size_t writableBytes() const;
    // Bytes the consumer will still play, leaving out what a pending jump skips.
    uint64_t unplayedBytes() const;
    void write(const uint8_t* data, size_t bytes); // at most writableBytes()
    void jump(const Jump& jump);
    // The request has been answered (with a jump, or found to need none).
    void answer(uint64_t request) { answered.store(request, std::memory_order_release); }
    bool isJumpPending() const;
    const Jump& lastJump() const { return newestJump; }
    // Where the sound ends with nothing after it (a short read there is no dropout); NOW: it
    // goes on.
    void markEnd(uint64_t position) { endOfSound.store(position, std::memory_order_release); }

    // --- Consumer: bounded work, no lock, no allocation ---
    // Copies up to bytes of sound to out; returns how many there were.
    size_t read(uint8_t* out, size_t bytes);
    // The last read came up short in the middle of the sound: the producer fell behind.
    bool lastReadStarved() const { return starved; }
    // Bytes there were still to play after the last read.
    uint64_t lastReadLeft() const { return left; }

private:
    void takeJump(uint64_t sequence);
    void finishJump();
    void copyOut(uint8_t* out, uint64_t position, size_t bytes) const;

    std::vector<uint8_t> buffer;
    const size_t startBytes;
    std::atomic<uint64_t> produced{0};
    std::atomic<uint64_t> consumed{0};
    std::atomic<uint64_t> endOfSound{NOW};
    std::atomic<uint64_t> awaited{0};
    std::atomic<uint64_t> answered{0};

    // The newest jump, published like a sequence lock: an odd sequence is being written.
    std::atomic<uint64_t> jumpSequence{0};
    std::atomic<uint64_t> jumpFrom{NOW};
    std::atomic<uint64_t> jumpTo{0};
    std::atomic<uint64_t> jumpTaken{0}; // the sequence of the jump the consumer has carried out

    // Producer only.
    uint64_t publishedSequence = 0;
    Jump newestJump;

    // Consumer only.
    uint64_t position = 0;
    uint64_t seenSequence = 0;
    bool jumpWaiting = false; // a jump whose "from" the consumer has not reached yet
    Jump waitingJump;
    Jump waitingPublished; // the waiting jump as the producer published it
    uint64_t waitingSequence = 0;
    Jump takenPublished;  // the last jump carried out, as published
    bool flowing = false; // the stream has started and has not run dry since
    bool starved = false;
    uint64_t left = 0;
};
