#pragma once

#include <json/json.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Test media made with the ffmpeg command-line tool from synthetic sources, and FFmpeg's own view
// of a file (ffprobe's description, the sound it decodes) as the reference to compare with.
namespace SyntheticMedia {

// Channels by FFmpeg's layout name ("mono", "stereo" or "5.1") or by their count.
struct Channels {
    Channels(const char* layout) : layout(layout) {}
    Channels(int count) : layout(count == 1 ? "mono" : count == 6 ? "5.1" : "stereo") {}
    std::string layout;
};

// A distinct rising tone per channel (never periodic, so every stretch of it can be told apart)
// with a low and a high tone over it.
struct Tone {
    double seconds = 0.5;
    int sampleRate = 44100;
    Channels channels = "stereo";
    // An ffmpeg encoder ("flac") or output options ("-c:a libmp3lame -b:a 192k"); by default
    // ffmpeg's choice for the file name's extension.
    std::string codec;
    std::string cover; // a picture file to embed as the attached picture, or none
    std::map<std::string, std::string> tags;
};

// Writes the tone to path (parent folders created) and returns the path; the test fails when
// ffmpeg fails.
std::string makeTone(const std::string& path, const Tone& tone = {});

// A test-pattern picture; seed varies the content so that two seeds give two pictures.
void makePicture(const std::string& path, int width, int height, int seed = 0);

// ffprobe -show_format -show_streams as JSON.
Json::Value probe(const std::string& path);

// Interleaved signed 16-bit stereo at 44100 Hz as FFmpeg decodes the file; audioFilter, when
// given, is applied first, as "-af" does.
std::vector<int16_t> reference(const std::string& path, const std::string& audioFilter = "");

// Runs a shell command and returns its standard output; the test fails when it fails.
std::string run(const std::string& command);
std::string quote(const std::string& text);

} // namespace SyntheticMedia

// Tones made into one folder (relative paths resolve against the working directory).
class MediaFactory {
public:
    explicit MediaFactory(std::string folder = ".") : folder(std::move(folder)) {}

    std::string make(const std::string& fileName, const SyntheticMedia::Tone& tone = {}) const {
        return SyntheticMedia::makeTone(folder + "/" + fileName, tone);
    }

private:
    std::string folder;
};
