#include "support/PlayerRig.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cmath>

namespace {

// Slow enough (about five times real time) to act in the middle of a song.
constexpr int SLOW_DISK_DELAY_MS = 10;
constexpr int AFTER_END_WAIT_MS = 150;

struct Flags {
    bool playing;
    bool paused;
    bool stopped;
};

void expectFlags(const Player& player, Flags expected) {
    EXPECT_EQ(player.isPlaying(), expected.playing);
    EXPECT_EQ(player.isPaused(), expected.paused);
    EXPECT_EQ(player.isStopped(), expected.stopped);
}

TEST(PlayerTest, StartsIdleAndRefusesAFileThatCannotBeOpened) {
    PlayerRig rig;
    expectFlags(*rig.player, {false, false, true});
    EXPECT_EQ(rig.player->getVolume(), 100);
    EXPECT_EQ(rig.player->getCurrentFilePath(), "");
    EXPECT_EQ(rig.player->getProgress(), 0.0f);

    StderrCapture errors;
    EXPECT_FALSE(rig.load("", "capture.raw"));
    EXPECT_EQ(PlayerRig::errorLines(errors.take()), "[ERROR] 无法打开音频文件: \n");
    EXPECT_FALSE(rig.load("missing.flac", "capture.raw"));
    EXPECT_EQ(PlayerRig::errorLines(errors.take()), "[ERROR] 无法打开音频文件: missing.flac\n");
    expectFlags(*rig.player, {false, false, true});
    EXPECT_EQ(rig.player->getCurrentFilePath(), "");
    EXPECT_EQ(rig.player->getDuration(), 0.0);
}

TEST(PlayerTest, TransportFollowsTheFlagTable) {
    PlayerRig rig(SLOW_DISK_DELAY_MS);
    MediaFactory::Options options;
    options.seconds = 4;
    std::string path = rig.media.make("tone.wav", options);
    ASSERT_TRUE(rig.load(path, "capture.raw"));
    expectFlags(*rig.player, {false, false, true});
    EXPECT_EQ(rig.player->getCurrentFilePath(), path);
    EXPECT_NEAR(rig.player->getDuration(), 4.0, 1e-6);

    rig.player->pause(); // not playing: nothing happens
    rig.player->stop();
    expectFlags(*rig.player, {false, false, true});

    rig.player->play();
    expectFlags(*rig.player, {true, false, false});
    ASSERT_TRUE(rig.waitForPosition(0.5));
    rig.player->pause();
    expectFlags(*rig.player, {false, true, false});
    double pausedAt = rig.player->getCurrentTime();
    rig.player->stop(); // while paused: nothing happens
    rig.player->pause();
    expectFlags(*rig.player, {false, true, false});
    rig.pump.pumpFor(*rig.player, 50);
    EXPECT_EQ(rig.player->getCurrentTime(), pausedAt);
    EXPECT_NEAR(rig.player->getProgress(), pausedAt / 4.0, 1e-6);

    rig.player->play();
    rig.player->play(); // already playing: nothing happens
    expectFlags(*rig.player, {true, false, false});
    ASSERT_TRUE(rig.waitForSongEnd());
    rig.pump.pumpFor(*rig.player, AFTER_END_WAIT_MS);
    EXPECT_EQ(rig.songEnds, 1);
    expectFlags(*rig.player, {false, false, true});

    // Pausing left a silent gap; without it the song is complete, nothing lost or repeated.
    std::vector<std::vector<int16_t>> runs = soundRuns(rig.finish("capture.raw"));
    ASSERT_EQ(runs.size(), 2u);
    std::vector<int16_t> joined = runs[0];
    joined.insert(joined.end(), runs[1].begin(), runs[1].end());
    std::vector<int16_t> reference = MediaFactory::reference(path);
    SoundMatch match = matchSound(joined, reference);
    EXPECT_TRUE(std::isinf(match.snrDb)) << match.snrDb;
    EXPECT_EQ(match.soundOutsideMatch, 0u);
}

TEST(PlayerTest, PlayAfterStopStartsAgainFromTheBeginning) {
    PlayerRig rig(SLOW_DISK_DELAY_MS);
    MediaFactory::Options options;
    options.seconds = 3;
    options.encoder = "-c:a flac";
    std::string path = rig.media.make("tone.flac", options);
    ASSERT_TRUE(rig.load(path, "capture.raw"));
    rig.player->play();
    ASSERT_TRUE(rig.waitForPosition(0.5));
    rig.player->stop();
    expectFlags(*rig.player, {false, false, true});
    EXPECT_EQ(rig.player->getCurrentTime(), 0.0);
    rig.pump.pumpFor(*rig.player, 50);
    ASSERT_TRUE(rig.playToEnd());

    std::vector<std::vector<int16_t>> runs = soundRuns(rig.finish("capture.raw"));
    ASSERT_EQ(runs.size(), 2u);
    SoundMatch match = matchSound(runs[1], MediaFactory::reference(path));
    EXPECT_TRUE(match.found);
    EXPECT_LE(match.offset, 0) << "the second start must be the song's first sound";
    EXPECT_TRUE(std::isinf(match.snrDb)) << match.snrDb;
}

TEST(PlayerTest, VolumeIsClampedAndScalesTheSound) {
    PlayerRig rig;
    rig.player->setVolume(150);
    EXPECT_EQ(rig.player->getVolume(), 100);
    rig.player->setVolume(-5);
    EXPECT_EQ(rig.player->getVolume(), 0);

    std::string path = rig.media.make("tone.mp3", {2.0, 44100, "stereo", "-c:a libmp3lame", ""});
    ASSERT_TRUE(rig.load(path, "silent.raw"));
    ASSERT_TRUE(rig.playToEnd());
    std::vector<int16_t> silent = SoundCapture::read("silent.raw");
    EXPECT_EQ(firstSoundFrame(silent), silent.size() / 2) << "volume 0 must be silence";

    rig.player->setVolume(50);
    ASSERT_TRUE(rig.load(path, "half.raw"));
    ASSERT_TRUE(rig.playToEnd());
    std::vector<int16_t> reference = MediaFactory::reference(path);
    for (int16_t& sample : reference) {
        sample = static_cast<int16_t>(sample / 2);
    }
    SoundMatch match = matchSound(rig.finish("half.raw"), reference);
    EXPECT_TRUE(std::isinf(match.snrDb)) << match.snrDb;
}

TEST(PlayerTest, SongsPlayedOneAfterAnotherArriveCompleteAndInOrder) {
    PlayerRig rig(0);
    std::vector<std::string> paths = {
        rig.media.make("first.mp3", {1.5, 48000, "stereo", "-c:a libmp3lame -b:a 192k", ""}),
        rig.media.make("second.opus", {1.0, 48000, "mono", "-c:a libopus", ""}),
        rig.media.make("third.flac", {1.2, 96000, "stereo", "-c:a flac", ""}),
    };
    // What the play list does at the end of a song: load and play the next one.
    size_t current = 0;
    rig.player->setSongEndCallback([&] {
        ++rig.songEnds;
        if (++current < paths.size()) {
            ASSERT_TRUE(rig.load(paths[current], "capture" + std::to_string(current) + ".raw"));
            rig.player->play();
        }
    });
    ASSERT_TRUE(rig.load(paths[0], "capture0.raw"));
    rig.player->play();
    ASSERT_TRUE(rig.pump.pumpUntil(
        *rig.player, [&] { return rig.songEnds == 3; }, PlayerRig::SONG_TIMEOUT_MS));
    rig.pump.pumpFor(*rig.player, AFTER_END_WAIT_MS);
    EXPECT_EQ(rig.songEnds, 3);
    rig.player.reset();

    for (size_t index = 0; index < paths.size(); ++index) {
        std::vector<int16_t> reference = MediaFactory::reference(paths[index]);
        SoundMatch match =
            matchSound(SoundCapture::read("capture" + std::to_string(index) + ".raw"), reference);
        EXPECT_TRUE(std::isinf(match.snrDb)) << paths[index] << ": " << match.snrDb;
        EXPECT_EQ(match.capturedFrames, reference.size() / 2) << paths[index];
        EXPECT_EQ(match.soundOutsideMatch, 0u) << paths[index];
    }
}

TEST(PlayerTest, SkipsACoverPictureStoredBeforeTheSound) {
    PlayerRig rig(0);
    MediaFactory::Options options;
    MediaFactory::run(
        "ffmpeg -nostdin -v error -f lavfi -i color=c=red:s=32x32 -frames:v 1 cover.png");
    options.extraInput = "-i cover.png";
    options.encoder =
        "-map 1:v -map 0:a -c:v png -disposition:v attached_pic -c:a libmp3lame -id3v2_version 3";
    std::string path = rig.media.make("covered.mp3", options);
    ASSERT_TRUE(rig.load(path, "capture.raw"));
    ASSERT_TRUE(rig.playToEnd());
    SoundMatch match = matchSound(rig.finish("capture.raw"), MediaFactory::reference(path));
    EXPECT_TRUE(std::isinf(match.snrDb)) << match.snrDb;
}

TEST(PlayerTest, DurationComesFromTheStreamTheContainerOrNowhere) {
    PlayerRig rig(0);
    std::string fromContainer =
        rig.media.make("container.mka", {1.5, 44100, "stereo", "-c:a libvorbis", ""});
    ASSERT_TRUE(rig.load(fromContainer, "capture.raw"));
    EXPECT_NEAR(rig.player->getDuration(), 1.5, 0.01);

    // Written through a pipe, Matroska carries no length at all.
    std::string unknown = "unknown.mka";
    MediaFactory::run(
        "ffmpeg -nostdin -v error -f lavfi -i sine=d=2 -c:a libvorbis -f matroska pipe:1 > " +
        unknown);
    ASSERT_TRUE(rig.load(unknown, "capture.raw"));
    EXPECT_EQ(rig.player->getDuration(), 0.0);
    rig.player->play();
    float mostProgress = 0.0f;
    ASSERT_TRUE(rig.pump.pumpUntil(
        *rig.player,
        [&] {
            mostProgress = std::max(mostProgress, rig.player->getProgress());
            return rig.songEnds == 1;
        },
        PlayerRig::SONG_TIMEOUT_MS));
    EXPECT_EQ(mostProgress, 0.0f);
    EXPECT_GT(rig.player->getCurrentTime(), 1.9);
}

TEST(PlayerTest, EndOfSongEventsAreForThisPlayerAndTheSongStillLoaded) {
    PlayerRig rig(0);
    std::string path = rig.media.make("tone.wav", {0.5, 44100, "stereo", "-c:a pcm_s16le", ""});

    SDL_Event other{};
    other.type = SDL_USEREVENT;
    other.user.code = Player::SONG_END_EVENT_CODE;
    other.user.data1 = &rig; // another sender
    rig.player->handleEvent(&other);
    other.user.data1 = rig.player.get();
    other.user.code = Player::SONG_END_EVENT_CODE + 1;
    rig.player->handleEvent(&other);
    EXPECT_EQ(rig.songEnds, 0);
    other.user.code = Player::SONG_END_EVENT_CODE;
    rig.player->handleEvent(&other);
    EXPECT_EQ(rig.songEnds, 1);

    // A song ends, but another is loaded before its event is handled: the event is stale and
    // must not move the play list on a second time.
    ASSERT_TRUE(rig.load(path, "capture.raw"));
    rig.player->play();
    SDL_Delay(300);
    ASSERT_TRUE(rig.player->isStopped());
    ASSERT_TRUE(rig.load(path, "capture.raw"));
    rig.pump.pumpFor(*rig.player, AFTER_END_WAIT_MS);
    EXPECT_EQ(rig.songEnds, 1);
    ASSERT_TRUE(rig.playToEnd());
    EXPECT_EQ(rig.songEnds, 2);
}

TEST(PlayerTest, PlayWithoutASongEndsAtOnce) {
    PlayerRig rig(0);
    StderrCapture errors;
    rig.player->play();
    ASSERT_TRUE(rig.waitForSongEnd());
    rig.pump.pumpFor(*rig.player, AFTER_END_WAIT_MS);
    EXPECT_EQ(rig.songEnds, 1);
    expectFlags(*rig.player, {false, false, true});
    EXPECT_EQ(PlayerRig::errorLines(errors.take()),
              "[ERROR] 音频设备未初始化，尝试重新初始化\n[ERROR] 解码器未初始化\n");
}

} // namespace
