#include "support/PlayerRig.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr int DAMAGE_TIMEOUT_MS = 15000;

struct Format {
    const char* fileName;
    const char* encoder;
};

// The ways a cut file ends: mid-frame in a stream of frames (MP3), mid-page (Ogg), with an index
// naming data that is gone (MP4) and with a header claiming more than there is (WAV).
const Format FORMATS[] = {
    {"tone.mp3", "-c:a libmp3lame"},
    {"tone.ogg", "-c:a libvorbis"},
    {"tone.m4a", "-c:a aac -movflags +faststart"},
    {"tone.wav", "-c:a pcm_s24le"},
};

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
        std::vector<int16_t> reference = SyntheticMedia::reference(cut);
        SoundMatch match = matchSound(SoundCapture::read(cut + ".raw"), reference);
        EXPECT_GT(reference.size(), 44100u) << cut;
        EXPECT_GT(match.snrDb, 60.0) << cut;
        EXPECT_EQ(match.soundOutsideMatch, 0u) << cut;
    }
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
    EXPECT_NE(PlayerRig::errorLines(errors.take()), "");
}

} // namespace
