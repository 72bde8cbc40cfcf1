#include "support/SoundCapture.h"

#include "support/RuntimeFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

#ifndef MP_CAPTURE_PACE_FACTOR
#define MP_CAPTURE_PACE_FACTOR 1
#endif
constexpr int CAPTURE_PACE_FACTOR = MP_CAPTURE_PACE_FACTOR;
constexpr long ALIGNMENT_SEARCH_FRAMES = 64;
constexpr size_t ALIGNMENT_WINDOW_FRAMES = 2048;
constexpr size_t BLOCK_FRAMES = 4096;
// Blocks quieter than this (mean square per sample) are too faint for a meaningful ratio.
constexpr double AUDIBLE_BLOCK_POWER = 100.0;

double snrOf(double signal, double noise) {
    if (noise == 0.0) {
        return std::numeric_limits<double>::infinity();
    }
    return 10.0 * std::log10(signal / noise);
}

int16_t sampleAt(const std::vector<int16_t>& samples, long index) {
    return index >= 0 && index < static_cast<long>(samples.size()) ? samples[index] : 0;
}

// Squared difference of the capture at frame offset and the reference from frame start on.
double errorAt(const std::vector<int16_t>& captured, const std::vector<int16_t>& reference,
               long offset, size_t start, size_t frames, double giveUpAbove) {
    double error = 0.0;
    size_t end = std::min(reference.size(), (start + frames) * SoundCapture::CHANNELS);
    for (size_t i = start * SoundCapture::CHANNELS; i < end && error <= giveUpAbove; ++i) {
        double difference =
            sampleAt(captured, offset * SoundCapture::CHANNELS + static_cast<long>(i)) -
            static_cast<double>(reference[i]);
        error += difference * difference;
    }
    return error;
}

// The offset from first to last where the capture differs least from the reference.
long leastErrorOffset(const std::vector<int16_t>& captured, const std::vector<int16_t>& reference,
                      long first, long last, size_t start, size_t frames) {
    long best = -1;
    double bestError = std::numeric_limits<double>::infinity();
    for (long offset = first; offset <= last; ++offset) {
        double error = errorAt(captured, reference, offset, start, frames, bestError);
        if (error < bestError) {
            bestError = error;
            best = offset;
        }
    }
    return best;
}

} // namespace

SoundCapture::SoundCapture(int delayMs) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIODELAY", std::to_string(delayMs * CAPTURE_PACE_FACTOR).c_str(), 1);
}

std::string SoundCapture::captureTo(const std::string& path) {
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    return path;
}

std::vector<int16_t> SoundCapture::read(const std::string& path) {
    return samplesOf(readWholeFile(path));
}

std::vector<int16_t> SoundCapture::samplesOf(const std::string& bytes) {
    std::vector<int16_t> samples(bytes.size() / sizeof(int16_t));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(int16_t));
    return samples;
}

size_t firstSoundFrame(const std::vector<int16_t>& samples) {
    auto sound =
        std::find_if(samples.begin(), samples.end(), [](int16_t sample) { return sample != 0; });
    return static_cast<size_t>(sound - samples.begin()) / SoundCapture::CHANNELS;
}

size_t lastSoundFrame(const std::vector<int16_t>& samples) {
    auto sound =
        std::find_if(samples.rbegin(), samples.rend(), [](int16_t sample) { return sample != 0; });
    size_t after = static_cast<size_t>(samples.rend() - sound);
    return after == 0 ? 0 : (after - 1) / SoundCapture::CHANNELS;
}

SoundSwitch findSwitch(const std::vector<int16_t>& captured,
                       const std::vector<int16_t>& reference) {
    const size_t channels = SoundCapture::CHANNELS;
    const size_t capturedEnd = (lastSoundFrame(captured) + 1) * channels;
    const size_t referenceEnd = (lastSoundFrame(reference) + 1) * channels;
    SoundSwitch found;
    while ((found.frames + 1) * channels <= std::min(capturedEnd, referenceEnd) &&
           std::equal(reference.begin() + (referenceEnd - (found.frames + 1) * channels),
                      reference.begin() + (referenceEnd - found.frames * channels),
                      captured.begin() + (capturedEnd - (found.frames + 1) * channels))) {
        ++found.frames;
    }
    found.start = capturedEnd / channels - found.frames;
    std::vector<int16_t> before(captured.begin(), captured.begin() + found.start * channels);
    found.oldSoundEnd =
        firstSoundFrame(before) * channels < before.size() ? lastSoundFrame(before) + 1 : 0;
    return found;
}

SoundMatch matchSound(const std::vector<int16_t>& captured, const std::vector<int16_t>& reference) {
    SoundMatch match;
    size_t capturedSound = firstSoundFrame(captured);
    size_t referenceSound = firstSoundFrame(reference);
    size_t referenceFrames = reference.size() / SoundCapture::CHANNELS;
    if (capturedSound * SoundCapture::CHANNELS >= captured.size() ||
        referenceSound >= referenceFrames) {
        return match;
    }
    long guess = static_cast<long>(capturedSound) - static_cast<long>(referenceSound);
    long best =
        leastErrorOffset(captured, reference, guess - ALIGNMENT_SEARCH_FRAMES,
                         guess + ALIGNMENT_SEARCH_FRAMES, referenceSound, ALIGNMENT_WINDOW_FRAMES);
    match.found = true;
    match.offset = best;

    double signal = 0.0;
    double noise = 0.0;
    match.worstBlockSnrDb = std::numeric_limits<double>::infinity();
    for (size_t block = 0; block < referenceFrames; block += BLOCK_FRAMES) {
        double blockSignal = 0.0;
        double blockNoise = 0.0;
        size_t end = std::min(referenceFrames, block + BLOCK_FRAMES) * SoundCapture::CHANNELS;
        for (size_t i = block * SoundCapture::CHANNELS; i < end; ++i) {
            double expected = reference[i];
            double difference =
                sampleAt(captured, best * SoundCapture::CHANNELS + static_cast<long>(i)) - expected;
            blockSignal += expected * expected;
            blockNoise += difference * difference;
        }
        signal += blockSignal;
        noise += blockNoise;
        if (blockSignal / static_cast<double>(end - block * SoundCapture::CHANNELS) >
            AUDIBLE_BLOCK_POWER) {
            match.worstBlockSnrDb = std::min(match.worstBlockSnrDb, snrOf(blockSignal, blockNoise));
        }
    }
    match.snrDb = snrOf(signal, noise);

    long matchStart = best * SoundCapture::CHANNELS;
    long matchEnd = matchStart + static_cast<long>(reference.size());
    long capturedEnd = static_cast<long>(captured.size());
    long overlap = std::min(capturedEnd, matchEnd) - std::max(0L, matchStart);
    match.capturedFrames = static_cast<size_t>(std::max(0L, overlap) / SoundCapture::CHANNELS);
    for (long i = 0; i < capturedEnd; ++i) {
        if ((i < matchStart || i >= matchEnd) && captured[static_cast<size_t>(i)] != 0) {
            ++match.soundOutsideMatch;
        }
    }
    return match;
}

long locateFirstSound(const std::vector<int16_t>& captured, const std::vector<int16_t>& reference,
                      size_t fromFrame, size_t toFrame, size_t windowFrames) {
    const long sound = static_cast<long>(firstSoundFrame(captured));
    const long capturedFrames = static_cast<long>(captured.size() / SoundCapture::CHANNELS);
    const long window = std::min(static_cast<long>(windowFrames), capturedFrames - sound);
    const long referenceFrames = static_cast<long>(reference.size() / SoundCapture::CHANNELS);
    const long last = std::min(static_cast<long>(toFrame), referenceFrames - window);
    if (sound >= capturedFrames || static_cast<long>(fromFrame) > last) {
        return -1;
    }
    // The capture's window plays the part of the reference here, the reference that of the
    // capture: an offset is where the window lies in the reference, less the window's start.
    return sound + leastErrorOffset(reference, captured, static_cast<long>(fromFrame) - sound,
                                    last - sound, static_cast<size_t>(sound),
                                    static_cast<size_t>(window));
}

std::vector<std::vector<int16_t>> soundRuns(const std::vector<int16_t>& captured,
                                            size_t gapFrames) {
    auto quiet = [&](size_t frame) {
        return captured[SoundCapture::CHANNELS * frame] == 0 &&
               captured[SoundCapture::CHANNELS * frame + 1] == 0;
    };
    std::vector<std::vector<int16_t>> runs;
    size_t frames = captured.size() / SoundCapture::CHANNELS;
    size_t frame = 0;
    while (frame < frames) {
        while (frame < frames && quiet(frame)) {
            ++frame;
        }
        size_t start = frame;
        size_t silent = 0;
        for (; frame < frames && silent < gapFrames; ++frame) {
            silent = quiet(frame) ? silent + 1 : 0;
        }
        size_t end = frame - silent;
        if (end > start) {
            runs.emplace_back(captured.begin() + static_cast<long>(SoundCapture::CHANNELS * start),
                              captured.begin() + static_cast<long>(SoundCapture::CHANNELS * end));
        }
    }
    return runs;
}

std::vector<int16_t> soundWithoutGaps(const std::vector<int16_t>& captured) {
    std::vector<int16_t> joined;
    for (const std::vector<int16_t>& run : soundRuns(captured)) {
        joined.insert(joined.end(), run.begin(), run.end());
    }
    return joined;
}
