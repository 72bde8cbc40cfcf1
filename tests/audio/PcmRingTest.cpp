// The ring between the decoding thread and the audio callback, driven from one thread: each byte
// written carries a label, so what the consumer reads shows which sound it is and where from.
#include "audio/PcmRing.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

// Labels first, first + 1, ... for count bytes.
std::vector<uint8_t> labels(uint8_t first, size_t count) {
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

void produce(PcmRing& ring, uint8_t first, size_t count) {
    const std::vector<uint8_t> bytes = labels(first, count);
    ASSERT_LE(count, ring.writableBytes());
    ring.write(bytes.data(), count);
}

std::vector<uint8_t> consume(PcmRing& ring, size_t count) {
    std::vector<uint8_t> bytes(count);
    bytes.resize(ring.read(bytes.data(), count));
    return bytes;
}

// Sound rendered anew is labelled with the old position it replaces plus a base per rendering.
constexpr uint8_t RENDERED_AGAIN = 100;
constexpr uint8_t RENDERED_ONCE_MORE = 150;
constexpr uint8_t RENDERED_THRICE = 200;

// The consumer has played five bytes when the producer renders the sound anew from position 10
// on, writing it from position 20.
void renderAgainAfterFiveWerePlayed(PcmRing& ring) {
    produce(ring, 0, 20);
    EXPECT_EQ(consume(ring, 5), labels(0, 5));
    ring.jump({10, 20});
    produce(ring, RENDERED_AGAIN + 10, 10);
}

} // namespace

TEST(PcmRingTest, SoundWrapsAroundTheEndOfTheBufferInOrder) {
    PcmRing ring(8, 4);
    produce(ring, 0, 3);
    EXPECT_TRUE(consume(ring, 2).empty()); // the stream starts with four bytes there
    produce(ring, 3, 3);
    EXPECT_EQ(consume(ring, 4), labels(0, 4));
    EXPECT_EQ(ring.writableBytes(), 6u);
    produce(ring, 6, 6); // positions 8 to 11 lie at the start of the buffer
    EXPECT_EQ(ring.writableBytes(), 0u);
    EXPECT_EQ(consume(ring, 8), labels(4, 8));
    EXPECT_TRUE(consume(ring, 1).empty());
    EXPECT_TRUE(ring.lastReadStarved());
}

TEST(PcmRingTest, ADeferredJumpIsTakenWhereTheConsumerIsEvenPastItsStart) {
    PcmRing ring(64, 0);
    renderAgainAfterFiveWerePlayed(ring);
    EXPECT_EQ(ring.unplayedBytes(), 5u + 10u);
    EXPECT_EQ(consume(ring, 7), (std::vector<uint8_t>{5, 6, 7, 8, 9, 110, 111}));
    EXPECT_FALSE(ring.isJumpPending());

    // Played on to position 30 (old position 20) when the sound is rendered anew again from old
    // position 15 (position 25): the consumer goes on as far past the new start.
    EXPECT_EQ(consume(ring, 8), labels(RENDERED_AGAIN + 12, 8));
    ring.jump({25, 30});
    produce(ring, RENDERED_ONCE_MORE + 15, 10);
    EXPECT_EQ(consume(ring, 3), labels(RENDERED_ONCE_MORE + 20, 3));
    EXPECT_FALSE(ring.isJumpPending());

    // Rendered anew from there once more, the producer taking that jump for pending although the
    // consumer had taken it: the consumer goes on as far into the newest sound.
    ring.jump({25, 40});
    produce(ring, RENDERED_THRICE + 15, 10);
    EXPECT_EQ(consume(ring, 2), labels(RENDERED_THRICE + 23, 2));
}

TEST(PcmRingTest, OnlyTheNewestPendingJumpIsTaken) {
    PcmRing ring(64, 0);
    renderAgainAfterFiveWerePlayed(ring);
    ring.jump({PcmRing::NOW, 30}); // a seek before the consumer looked
    produce(ring, 200, 10);
    EXPECT_TRUE(ring.isJumpPending());
    EXPECT_EQ(ring.unplayedBytes(), 10u);
    EXPECT_EQ(consume(ring, 10), labels(200, 10));
    EXPECT_FALSE(ring.isJumpPending());
}

TEST(PcmRingTest, AnAwaitedJumpSilencesTheStaleSoundUntilAnswered) {
    PcmRing ring(64, 0);
    produce(ring, 0, 20);
    ring.awaitJump(1);
    EXPECT_TRUE(consume(ring, 5).empty());
    ring.jump({PcmRing::NOW, 20});
    produce(ring, 200, 5);
    ring.answer(1);
    EXPECT_EQ(consume(ring, 5), labels(200, 5));
}
