#pragma once

#include <string>
#include <vector>

// A small arranger and synthesizer for the demo library: chords, bass line, a generated melody
// and drums, rendered to 16-bit PCM.
namespace demo {

enum class Lead { SOFT, BRIGHT, SQUARE };

struct Arrangement {
    double bpm = 100;
    int rootNote = 60; // MIDI note of the key's tonic
    bool minor = false;
    std::vector<int> progression; // chord roots as scale degrees (0 = tonic), one per bar
    int bars = 8;
    unsigned melodySeed = 1;
    Lead lead = Lead::SOFT;
    bool drums = true;
    int sampleRate = 44100;
    int channels = 2;
};

// Start time in seconds of every bar of the arrangement.
double barSeconds(const Arrangement& arrangement);

// Interleaved samples, faded in and out and normalised.
std::vector<short> render(const Arrangement& arrangement);

bool writeWave(const std::string& path, const std::vector<short>& samples, int sampleRate,
               int channels);

} // namespace demo
