#include "support/PlayerRig.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cmath>

namespace {

// Not a multiple of any codec's frame size.
constexpr const char* CUT_SAMPLE = "100003";

// A live album or a DJ mix: two songs cut from one recording play back as the recording. And
// whatever their rates and channels, prepared songs arrive complete, in order, back to back. A
// seek naming a song heard out before update() followed the join is dropped; all else follows.
TEST(PlayerSongChangeTest, PreparedSongsFollowWithoutAGap) {
    PlayerRig rig;
    rig.media.make("whole.wav", {3.0, 44100, "stereo", "-c:a pcm_s16le", ""});
    SyntheticMedia::run(std::string("ffmpeg -nostdin -v error -i whole.wav -af atrim=end_sample=") +
                        CUT_SAMPLE + " -c:a flac first.flac");
    SyntheticMedia::run(
        std::string("ffmpeg -nostdin -v error -i whole.wav -af atrim=start_sample=") + CUT_SAMPLE +
        ",asetpts=PTS-STARTPTS -c:a flac second.flac");
    std::vector<std::string> paths = {
        "first.flac", "second.flac",
        rig.media.make("third.mp3", {1.0, 48000, "stereo", "-c:a libmp3lame -b:a 192k", ""}),
        rig.media.make("fourth.opus", {1.0, 48000, "mono", "-c:a libopus", ""})};
    size_t next = 1;
    int changes = 0;
    rig.player->setSongChangeCallback([&] {
        ++changes;
        if (next < paths.size()) {
            EXPECT_TRUE(rig.player->prepareNextSong(PlayerRig::songAt(paths[next++])));
        }
    });
    ASSERT_TRUE(rig.load(paths[0]));
    ASSERT_TRUE(rig.player->prepareNextSong(PlayerRig::songAt(paths[next++])));
    rig.player->play();
    ASSERT_TRUE(rig.waitForPosition(0.1));
    // The wake-up for the second song's start, taken without update().
    SDL_Event event{};
    while (event.type != SDL_USEREVENT || event.user.code != Player::SONG_END_EVENT_CODE) {
        ASSERT_EQ(SDL_WaitEventTimeout(&event, PlayerRig::SONG_TIMEOUT_MS), 1);
    }
    rig.player->rewind(1);
    ASSERT_TRUE(rig.waitForSongEnd());
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(rig.songEnds, 1);
    EXPECT_EQ(rig.player->getCurrentFilePath(), paths.back());

    std::vector<int16_t> all = SyntheticMedia::reference("whole.wav");
    for (size_t index = 2; index < paths.size(); ++index) {
        std::vector<int16_t> reference = SyntheticMedia::reference(paths[index]);
        all.insert(all.end(), reference.begin(), reference.end());
    }
    SoundMatch match = matchSound(soundWithoutGaps(rig.finish()), all);
    EXPECT_TRUE(std::isinf(match.snrDb)) << match.snrDb;
    EXPECT_EQ(match.soundOutsideMatch, 0u);
}

// Choosing another song while one plays: the new one is heard from the next device buffer on,
// from its first sample.
TEST(PlayerSongChangeTest, ANewSongIsHeardAtOnce) {
    PlayerRig rig(PlayerRig::SLOW);
    std::string first = rig.media.make("first.flac", {6.0, 44100, "stereo", "-c:a flac", ""});
    std::string second = rig.media.make("second.wav", {1.5, 48000, "stereo", "-c:a pcm_s16le", ""});
    ASSERT_TRUE(rig.load(first));
    rig.player->play();
    ASSERT_TRUE(rig.waitForPosition(1.0));
    size_t requestedAt = rig.capturedFrames();
    ASSERT_TRUE(rig.load(second));
    ASSERT_TRUE(rig.playToEnd());

    std::vector<int16_t> reference = SyntheticMedia::reference(second);
    SoundSwitch heard = findSwitch(rig.finish(), reference);
    EXPECT_EQ(heard.frames, lastSoundFrame(reference) + 1) << "the new song is not complete";
    // The buffer on its way when the song was chosen, and no more of the old one.
    EXPECT_LE(heard.oldSoundEnd - requestedAt, 2u * Player::DEVICE_BUFFER_FRAMES);
}

} // namespace
