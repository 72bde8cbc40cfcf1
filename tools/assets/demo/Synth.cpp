#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace demo {

namespace {

constexpr double PI = 3.14159265358979;
constexpr int BEATS_PER_BAR = 4;
constexpr double TAIL_SECONDS = 1.5;
constexpr double FADE_IN_SECONDS = 0.3;
constexpr double PEAK = 0.89;
const int MAJOR[7] = {0, 2, 4, 5, 7, 9, 11};
const int MINOR[7] = {0, 2, 3, 5, 7, 8, 10};

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
    int rate;
};

// Deterministic noise and choices, so that every build makes the same files.
class Random {
public:
    explicit Random(unsigned seed) : state(seed * 2654435761u + 12345u) {}
    unsigned next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<unsigned>(n)); }
    float noise() { return (next() % 20001) / 10000.0f - 1.0f; }

private:
    unsigned state;
};

double frequency(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

int noteOf(const Arrangement& a, int degree) {
    const int* scale = a.minor ? MINOR : MAJOR;
    const int octave = degree >= 0 ? degree / 7 : (degree - 6) / 7;
    return a.rootNote + 12 * octave + scale[degree - 7 * octave];
}

using Timbre = double (*)(double phase, double t);

double softTone(double phase, double) {
    return std::sin(phase) + 0.18 * std::sin(3 * phase) + 0.08 * std::sin(2 * phase);
}
double brightTone(double phase, double t) {
    const double brightness = std::exp(-t * 3.0);
    double value = 0;
    for (int n = 1; n <= 6; ++n) {
        value += std::sin(n * phase) / n * (n == 1 ? 1.0 : 0.35 + 0.65 * brightness);
    }
    return 0.8 * value;
}
double squareTone(double phase, double) {
    double value = 0;
    for (int n = 1; n <= 9; n += 2) {
        value += std::sin(n * phase) / n;
    }
    return 0.9 * value;
}
double padTone(double phase, double) {
    return std::sin(phase) + 0.3 * std::sin(2 * phase);
}
double bassTone(double phase, double) {
    return std::sin(phase) + 0.25 * std::sin(2 * phase);
}

struct Note {
    double start;
    double length;
    double hz;
    double level;
    double pan; // -1 left … 1 right
    double attack;
    double release;
    double vibrato;
    Timbre timbre;
};

void addNote(Stereo& out, const Note& note) {
    const int first = static_cast<int>(note.start * out.rate);
    const int count = static_cast<int>((note.length + note.release) * out.rate);
    const double leftGain = std::sqrt(0.5 * (1 - note.pan));
    const double rightGain = std::sqrt(0.5 * (1 + note.pan));
    double phase = 0;
    for (int i = 0; i < count && first + i < static_cast<int>(out.left.size()); ++i) {
        const double t = static_cast<double>(i) / out.rate;
        double envelope = std::min(1.0, t / note.attack);
        if (t > note.length) {
            envelope *= std::max(0.0, 1.0 - (t - note.length) / note.release);
        }
        const double wobble = t > 0.15 ? note.vibrato * std::sin(2 * PI * 5.5 * t) : 0.0;
        phase += 2 * PI * note.hz * (1 + wobble) / out.rate;
        const double value = note.level * envelope * note.timbre(phase, t);
        out.left[first + i] += static_cast<float>(value * leftGain);
        out.right[first + i] += static_cast<float>(value * rightGain);
    }
}

void addChords(Stereo& out, const Arrangement& a, double bar) {
    for (int b = 0; b < a.bars; ++b) {
        const int degree = a.progression[b % a.progression.size()];
        for (int voice = 0; voice < 3; ++voice) {
            const double hz = frequency(noteOf(a, degree + 2 * voice) - 12);
            for (double detune : {-0.003, 0.003}) {
                addNote(out, {b * bar, bar, hz * (1 + detune), 0.045, detune > 0 ? 0.6 : -0.6, 0.25,
                              0.6, 0.0, padTone});
            }
        }
        const double beat = bar / BEATS_PER_BAR;
        for (int half = 0; half < 2; ++half) {
            addNote(out, {b * bar + half * 2 * beat, 1.6 * beat, frequency(noteOf(a, degree) - 24),
                          0.26, 0.0, 0.01, 0.2, 0.0, bassTone});
        }
    }
}

int nearestChordTone(int degree, int chordRoot) {
    int best = degree;
    int bestDistance = 99;
    for (int octave = 0; octave <= 3; ++octave) {
        for (int step : {0, 2, 4}) {
            const int candidate = chordRoot + step + 7 * octave;
            if (std::abs(candidate - degree) < bestDistance) {
                bestDistance = std::abs(candidate - degree);
                best = candidate;
            }
        }
    }
    return best;
}

void addMelody(Stereo& out, const Arrangement& a, double bar) {
    static const double RHYTHMS[][5] = {{1, 1, 1, 1, 0}, {1.5, 0.5, 1, 1, 0}, {0.5, 0.5, 1, 2, 0},
                                        {2, 1, 1, 0, 0}, {1, 0.5, 0.5, 2, 0}, {1.5, 0.5, 2, 0, 0}};
    Random random(a.melodySeed);
    const double beat = bar / BEATS_PER_BAR;
    const Timbre timbre = a.lead == Lead::SQUARE   ? squareTone
                          : a.lead == Lead::BRIGHT ? brightTone
                                                   : softTone;
    const double vibrato = a.lead == Lead::SQUARE ? 0.0 : 0.004;
    int degree = 9;
    for (int b = 0; b < a.bars; ++b) {
        const int chordRoot = a.progression[b % a.progression.size()];
        const bool last = b == a.bars - 1;
        const double* rhythm = last ? RHYTHMS[3] : RHYTHMS[random.below(6)];
        double position = 0;
        for (int n = 0; n < 5 && rhythm[n] > 0; ++n) {
            if (n == 0) {
                degree = nearestChordTone(degree, chordRoot);
            } else {
                degree += random.below(5) - 2;
            }
            degree = std::max(6, std::min(15, degree));
            if (last && n > 0) {
                degree = 7; // home on the tonic
            }
            const double length = (last && n > 0 ? 2.5 : rhythm[n]) * beat;
            addNote(out, {b * bar + position * beat, 0.85 * length, frequency(noteOf(a, degree)),
                          0.22, 0.0, 0.015, 0.18, vibrato, timbre});
            position += rhythm[n];
        }
    }
}

void addDrums(Stereo& out, const Arrangement& a, double bar) {
    Random random(a.melodySeed + 99);
    const double beat = bar / BEATS_PER_BAR;
    const int rate = out.rate;
    auto hit = [&](double start, double seconds, auto sample) {
        const int first = static_cast<int>(start * rate);
        const int count = static_cast<int>(seconds * rate);
        for (int i = 0; i < count && first + i < static_cast<int>(out.left.size()); ++i) {
            const auto [left, right] = sample(static_cast<double>(i) / rate);
            out.left[first + i] += static_cast<float>(left);
            out.right[first + i] += static_cast<float>(right);
        }
    };
    for (int b = 0; b < a.bars; ++b) {
        for (int k = 0; k < BEATS_PER_BAR; ++k) {
            const double start = b * bar + k * beat;
            if (k % 2 == 0) {
                double phase = 0;
                hit(start, 0.3, [&](double t) {
                    phase += 2 * PI * (45 + 75 * std::exp(-t * 30)) / rate;
                    const double v = 0.55 * std::exp(-t * 9) * std::sin(phase);
                    return std::pair<double, double>(v, v);
                });
            } else {
                hit(start, 0.2, [&](double t) {
                    const double v = std::exp(-t * 14) *
                                     (0.16 * random.noise() + 0.12 * std::sin(2 * PI * 190 * t));
                    return std::pair<double, double>(v * 0.9, v);
                });
            }
            for (int half = 0; half < 2; ++half) {
                float previous = 0;
                hit(start + half * beat / 2, 0.06, [&](double t) {
                    const float n = random.noise();
                    const double v = 0.09 * std::exp(-t * 60) * (n - previous);
                    previous = n;
                    return std::pair<double, double>(0.4 * v, v);
                });
            }
        }
    }
}

void finish(Stereo& out, double musicSeconds) {
    float peak = 1e-6f;
    for (std::size_t i = 0; i < out.left.size(); ++i) {
        peak = std::max({peak, std::abs(out.left[i]), std::abs(out.right[i])});
    }
    const double gain = PEAK / peak;
    const std::size_t fadeIn = static_cast<std::size_t>(FADE_IN_SECONDS * out.rate);
    const std::size_t fadeOutStart = static_cast<std::size_t>((musicSeconds - 1.0) * out.rate);
    const std::size_t total = out.left.size();
    for (std::size_t i = 0; i < total; ++i) {
        double g = gain * std::min(1.0, static_cast<double>(i) / fadeIn);
        if (i > fadeOutStart) {
            g *=
                std::max(0.0, 1.0 - static_cast<double>(i - fadeOutStart) / (total - fadeOutStart));
        }
        out.left[i] = static_cast<float>(out.left[i] * g);
        out.right[i] = static_cast<float>(out.right[i] * g);
    }
}

void put16(std::ofstream& file, std::uint16_t value) {
    const char bytes[2] = {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
    file.write(bytes, 2);
}

void put32(std::ofstream& file, std::uint32_t value) {
    put16(file, static_cast<std::uint16_t>(value & 0xFFFF));
    put16(file, static_cast<std::uint16_t>(value >> 16));
}

} // namespace

double barSeconds(const Arrangement& arrangement) {
    return BEATS_PER_BAR * 60.0 / arrangement.bpm;
}

std::vector<short> render(const Arrangement& a) {
    const double bar = barSeconds(a);
    const double musicSeconds = a.bars * bar + TAIL_SECONDS;
    const std::size_t frames = static_cast<std::size_t>(musicSeconds * a.sampleRate);
    Stereo mix{std::vector<float>(frames, 0.0f), std::vector<float>(frames, 0.0f), a.sampleRate};
    addChords(mix, a, bar);
    addMelody(mix, a, bar);
    if (a.drums) {
        addDrums(mix, a, bar);
    }
    finish(mix, musicSeconds);
    std::vector<short> samples;
    samples.reserve(frames * a.channels);
    for (std::size_t i = 0; i < frames; ++i) {
        if (a.channels == 1) {
            samples.push_back(static_cast<short>(16383.0f * (mix.left[i] + mix.right[i])));
        } else {
            samples.push_back(static_cast<short>(32767.0f * mix.left[i]));
            samples.push_back(static_cast<short>(32767.0f * mix.right[i]));
        }
    }
    return samples;
}

bool writeWave(const std::string& path, const std::vector<short>& samples, int sampleRate,
               int channels) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    file.write("RIFF", 4);
    put32(file, 36 + dataBytes);
    file.write("WAVEfmt ", 8);
    put32(file, 16);
    put16(file, 1); // PCM
    put16(file, static_cast<std::uint16_t>(channels));
    put32(file, static_cast<std::uint32_t>(sampleRate));
    put32(file, static_cast<std::uint32_t>(sampleRate * channels * 2));
    put16(file, static_cast<std::uint16_t>(channels * 2));
    put16(file, 16);
    file.write("data", 4);
    put32(file, dataBytes);
    for (short sample : samples) {
        put16(file, static_cast<std::uint16_t>(sample));
    }
    return file.good();
}

} // namespace demo
