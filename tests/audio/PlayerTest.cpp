#include "support/PlayerRig.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <thread>

namespace {

// The three flags in one word; a contradiction shows as two words run together.
std::string stateOf(const Player& player) {
    return std::string(player.isPlaying() ? "playing" : "") + (player.isPaused() ? "paused" : "") +
           (player.isStopped() ? "stopped" : "");
}

// The device rests while paused, and closes after a while; playing opens another, and the sound
// goes on where it stopped.
TEST(PlayerTest, PauseResumesWhereItStoppedAndNothingIsLostOrRepeated) {
    PlayerRig rig(PlayerRig::SLOW);
    std::string path = rig.media.make("tone.wav", {4.0, 44100, "stereo", "-c:a pcm_s16le", ""});
    ASSERT_TRUE(rig.load(path));
    EXPECT_EQ(stateOf(*rig.player), "stopped");
    EXPECT_NEAR(rig.player->getDuration(), 4.0, 1e-6);
    rig.player->play();
    ASSERT_TRUE(rig.waitForPosition(0.5));
    rig.player->pause();
    EXPECT_EQ(stateOf(*rig.player), "paused");
    double pausedAt = rig.player->getCurrentTime();
    ASSERT_TRUE(rig.letBuffersPass()); // silent ones
    rig.nowMs += Player::REST_BEFORE_CLOSE_MS;
    rig.player->update();
    std::vector<int16_t> captured = SoundCapture::read(rig.captureFile);
    rig.captureFile = rig.capture.captureTo("resumed.raw"); // only a new device writes there
    EXPECT_EQ(rig.player->getCurrentTime(), pausedAt);
    rig.player->play();
    EXPECT_EQ(stateOf(*rig.player), "playing");
    ASSERT_TRUE(rig.waitForSongEnd());
    EXPECT_EQ(stateOf(*rig.player), "stopped");

    std::vector<int16_t> resumed = rig.finish();
    captured.insert(captured.end(), resumed.begin(), resumed.end());
    std::vector<int16_t> heard; // the silence of the pause left out
    for (const std::vector<int16_t>& run : soundRuns(captured)) {
        heard.insert(heard.end(), run.begin(), run.end());
    }
    SoundMatch match = matchSound(heard, SyntheticMedia::reference(path));
    EXPECT_TRUE(std::isinf(match.snrDb)) << match.snrDb; // every sample, once
    EXPECT_EQ(match.soundOutsideMatch, 0u);
}

// A device that is lost (here the disk it writes to is full) is replaced by the default device,
// which plays the song on; when none opens, the error is told once and playback pauses.
TEST(PlayerTest, ALostDeviceIsReplacedOrPlaybackPauses) {
    PlayerRig rig(PlayerRig::FAST, "/dev/full");
    std::string path = rig.media.make("tone.wav", {1.0, 44100, "stereo", "-c:a pcm_s16le", ""});
    ASSERT_TRUE(rig.load(path));
    rig.capture.captureTo("missing/folder.raw");
    StderrCapture errors;
    rig.player->play();
    ASSERT_TRUE(rig.pump.pumpUntil(
        *rig.player, [&] { return rig.player->isPaused(); }, PlayerRig::SONG_TIMEOUT_MS));
    rig.pump.pumpFor(*rig.player, 50);
    std::string lines = PlayerRig::errorLines(errors.take());
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;

    rig.captureFile = rig.capture.captureTo("replacement.raw");
    ASSERT_TRUE(rig.playToEnd());
    std::vector<int16_t> reference = SyntheticMedia::reference(path);
    SoundSwitch heard = findSwitch(rig.finish(), reference);
    EXPECT_EQ(heard.oldSoundEnd, 0u);
    EXPECT_LE(lastSoundFrame(reference) + 1 - heard.frames, 2u * Player::DEVICE_BUFFER_FRAMES);
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
