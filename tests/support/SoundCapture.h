#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What reached the audio device, caught through SDL's "disk" driver, and how it compares with a
// reference. Samples are interleaved signed 16-bit stereo, as the player's device takes them.
class SoundCapture {
public:
    static constexpr int CHANNELS = 2;

    // Selects the disk driver (before SDL audio is initialised), waiting delayMs per device
    // buffer: small delays run faster than real time.
    explicit SoundCapture(int delayMs);

    // The next audio device that opens writes to this file (a Player opens one for its
    // lifetime). Returns the path.
    std::string captureTo(const std::string& path);

    static std::vector<int16_t> read(const std::string& path);
    static std::vector<int16_t> samplesOf(const std::string& bytes);
};

// Where a reference sits in a capture and how faithfully it was reproduced.
struct SoundMatch {
    bool found = false;
    long offset = 0;    // frame of the capture where the reference's first frame lies (or would)
    double snrDb = 0.0; // over the whole reference; infinity when bit-exact
    double worstBlockSnrDb = 0.0; // of the reference's blocks that carry sound
    size_t soundOutsideMatch = 0; // non-zero samples of the capture before or after the match
    size_t capturedFrames = 0;    // of the reference's frames, how many the capture holds
};

// Finds the reference in the capture by its first sound and compares them sample by sample:
// every block of the reference must be there, once and in order.
SoundMatch matchSound(const std::vector<int16_t>& captured, const std::vector<int16_t>& reference);

// The frame of the reference, between fromFrame and toFrame, where the capture's first sound
// (its next windowFrames frames) fits best, or -1 when the capture holds no sound.
long locateFirstSound(const std::vector<int16_t>& captured, const std::vector<int16_t>& reference,
                      size_t fromFrame, size_t toFrame, size_t windowFrames = 1024);

// The stretches of sound of a capture, cut at silences of at least gapFrames frames (longer
// than any quiet moment of the test tones), e.g. before and after a pause.
std::vector<std::vector<int16_t>> soundRuns(const std::vector<int16_t>& captured,
                                            size_t gapFrames = 1024);

// The runs of sound of a capture joined, the silences between them (a pause, say) left out.
std::vector<int16_t> soundWithoutGaps(const std::vector<int16_t>& captured);

// The first frame with sound (the frame count when all are silent) and the last (0 then).
size_t firstSoundFrame(const std::vector<int16_t>& samples);
size_t lastSoundFrame(const std::vector<int16_t>& samples);

// A capture that jumps (a seek, a new song) and then plays the reference's last frames to the
// end, sample for sample: where the sound before the jump stopped and the new sound began.
struct SoundSwitch {
    size_t oldSoundEnd = 0; // the frame after the last sound before the new one
    size_t start = 0;       // the new sound's first frame
    size_t frames = 0;      // how many of the reference's last frames the new sound is
};
SoundSwitch findSwitch(const std::vector<int16_t>& captured, const std::vector<int16_t>& reference);
