#include "support/PlayerRig.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

constexpr int DAMAGE_TIMEOUT_MS = 15000;
constexpr size_t HEADER_BYTES = 512; // left intact so that some damaged files still open
constexpr int FLIPPED_BYTES = 64;

struct Format {
    const char* fileName;
    const char* encoder;
};

const Format FORMATS[] = {
    {"tone.mp3", "-c:a libmp3lame"},
    {"tone.flac", "-c:a flac"},
    {"tone.ogg", "-c:a libvorbis"},
    {"tone.opus", "-c:a libopus"},
    {"tone.m4a", "-c:a aac -movflags +faststart"},
    {"tone.wav", "-c:a pcm_s24le"},
};

// A damaged file is either turned down by loadSong, with an error line, or plays and ends with
// exactly one song end. Returns whether it played.
bool expectRefusedOrEnded(PlayerRig& rig, const std::string& path) {
    StderrCapture errors;
    int endsBefore = rig.songEnds;
    if (!rig.load(path)) {
        EXPECT_NE(PlayerRig::errorLines(errors.take()), "") << path;
        EXPECT_TRUE(rig.player->isStopped());
        return false;
    }
    rig.player->play();
    EXPECT_TRUE(rig.waitForSongEnd(DAMAGE_TIMEOUT_MS)) << path << " hangs";
    rig.pump.pumpFor(*rig.player, 100);
    EXPECT_EQ(rig.songEnds, endsBefore + 1) << path;
    return true;
}

// A file cut short plays what it holds, just as FFmpeg decodes it, and then ends.
TEST(PlayerDamagedFileTest, TruncatedFilesPlayWhatTheyHold) {
    PlayerRig rig;
    std::vector<std::string> played;
    for (const Format& format : FORMATS) {
        std::string bytes = rig.scratch.readFile(
            rig.media.make(format.fileName, {2.0, 44100, "stereo", format.encoder, ""}));
        std::string cut = "cut-" + std::string(format.fileName);
        rig.scratch.writeFile(cut, bytes.substr(0, bytes.size() * 6 / 10));
        rig.restart(cut + ".raw");
        if (!rig.load(cut)) {
            EXPECT_NE(std::system(("ffprobe -v quiet " + cut).c_str()), 0)
                << cut << " opens in FFmpeg's own tools, so it should open here";
            continue;
        }
        ASSERT_TRUE(rig.playToEnd(DAMAGE_TIMEOUT_MS)) << cut;
        played.push_back(cut);
    }
    EXPECT_GE(played.size(), std::size(FORMATS) - 1);
    rig.player.reset(); // the device stops writing
    for (const std::string& cut : played) {
        std::vector<int16_t> reference = MediaFactory::reference(cut);
        SoundMatch match = matchSound(SoundCapture::read(cut + ".raw"), reference);
        EXPECT_GT(reference.size(), 44100u) << cut;
        EXPECT_GT(match.snrDb, 60.0) << cut;
        EXPECT_EQ(match.soundOutsideMatch, 0u) << cut;
    }
}

TEST(PlayerDamagedFileTest, BitFlippedFilesNeverCrashOrHang) {
    PlayerRig rig(PlayerRig::FAST, "/dev/null");
    std::mt19937 random(20240611);
    int played = 0;
    for (const Format& format : FORMATS) {
        std::string bytes = rig.scratch.readFile(
            rig.media.make(format.fileName, {1.0, 44100, "stereo", format.encoder, ""}));
        for (int copy = 0; copy < 3; ++copy) {
            std::string damaged = bytes;
            std::uniform_int_distribution<size_t> position(copy == 0 ? 0 : HEADER_BYTES,
                                                           damaged.size() - 1);
            for (int flip = 0; flip < FLIPPED_BYTES; ++flip) {
                damaged[position(random)] ^= static_cast<char>(1 << (flip % 8));
            }
            std::string damagedPath = "flipped-" + std::to_string(copy) + "-" + format.fileName;
            rig.scratch.writeFile(damagedPath, damaged);
            played += expectRefusedOrEnded(rig, damagedPath);
        }
    }
    EXPECT_GT(played, 0) << "no damaged file got as far as playing";
}

// A header may claim any sample rate; converting from gigahertz would need gigabytes.
TEST(PlayerDamagedFileTest, AbsurdSampleRateIsTurnedDown) {
    PlayerRig rig(PlayerRig::FAST, "/dev/null");
    std::string path = rig.media.make("forged.wav", {0.2, 44100, "stereo", "-c:a pcm_s16le", ""});
    std::string bytes = rig.scratch.readFile(path);
    const uint32_t forgedRate = 1129914176;
    bytes.replace(24, 4, reinterpret_cast<const char*>(&forgedRate), 4); // the fmt chunk's rate
    rig.scratch.writeFile(path, bytes);
    StderrCapture errors;
    EXPECT_FALSE(rig.load(path));
    EXPECT_NE(errors.take().find("[ERROR] 无法初始化重采样上下文\n"), std::string::npos);
}

} // namespace
