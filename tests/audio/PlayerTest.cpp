#include "support/PlayerRig.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cmath>
#include <thread>

namespace {

// The three flags in one word; a contradiction shows as two words run together.
std::string stateOf(const Player& player) {
    return std::string(player.isPlaying() ? "playing" : "") + (player.isPaused() ? "paused" : "") +
           (player.isStopped() ? "stopped" : "");
}

// Stop works while paused too, and after a stop (whatever seeks came after it) or after the
// song's natural end, play starts the song from its beginning.
TEST(PlayerTest, PlayAfterStopOrTheEndStartsFromTheBeginning) {
    PlayerRig rig(PlayerRig::SLOW);
    std::string path = rig.media.make("tone.flac", {2.5, 44100, "stereo", "-c:a flac", ""});
    ASSERT_TRUE(rig.load(path));
    rig.player->play();
    ASSERT_TRUE(rig.waitForPosition(0.5));
    rig.player->pause();
    rig.player->stop();
    EXPECT_EQ(stateOf(*rig.player), "stopped");
    EXPECT_EQ(rig.player->getCurrentTime(), 0.0);
    rig.player->fastForward(1);
    ASSERT_TRUE(rig.letBuffersPass());
    ASSERT_TRUE(rig.playToEnd());
    ASSERT_TRUE(rig.letBuffersPass());
    ASSERT_TRUE(rig.playToEnd());

    std::vector<std::vector<int16_t>> runs = soundRuns(rig.finish());
    ASSERT_EQ(runs.size(), 3u);
    for (size_t run = 1; run < runs.size(); ++run) {
        SoundMatch match = matchSound(runs[run], SyntheticMedia::reference(path));
        EXPECT_LE(match.offset, 0) << "start " << run << " is not the song's first sound";
        EXPECT_TRUE(std::isinf(match.snrDb)) << match.snrDb;
    }
}

// A cover picture stored before the sound is skipped, and the volume scales what is heard.
TEST(PlayerTest, PlaysPastACoverPictureAtTheChosenVolume) {
    PlayerRig rig;
    rig.player->setVolume(50);
    SyntheticMedia::Tone tone;
    tone.cover = "cover.png";
    SyntheticMedia::makePicture(tone.cover, 32, 32);
    std::string path = SyntheticMedia::makeTone("covered.mp3", tone);
    ASSERT_TRUE(rig.load(path));
    ASSERT_TRUE(rig.playToEnd());
    std::vector<int16_t> reference = SyntheticMedia::reference(path);
    for (int16_t& sample : reference) {
        sample = static_cast<int16_t>(sample / 2);
    }
    EXPECT_TRUE(std::isinf(matchSound(rig.finish(), reference).snrDb));
}

// The end of a song reaches the main thread through update(), every frame: a full SDL event
// queue, which drops the wake-up event, must not stop the play list from going on.
TEST(PlayerTest, TheEndOfASongIsNoticedWithoutItsEvent) {
    PlayerRig rig;
    SDL_Event filler{};
    filler.type = SDL_USEREVENT + 1;
    while (SDL_PushEvent(&filler) == 1) {
    }
    std::string path = rig.media.make("tone.wav", {0.5, 44100, "stereo", "-c:a pcm_s16le", ""});
    ASSERT_TRUE(rig.load(path));
    rig.player->play();
    Uint64 deadline = SDL_GetTicks64() + PlayerRig::SONG_TIMEOUT_MS;
    while (rig.songEnds == 0 && SDL_GetTicks64() < deadline) {
        rig.player->update(); // the frame loop, taking no event
        std::this_thread::yield();
    }
    EXPECT_EQ(rig.songEnds, 1);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

} // namespace
