#pragma once

#include <json/json.h>

#include <map>
#include <string>

// Tagged songs with embedded covers, and pictures, made at test time with the ffmpeg
// command-line tool (through MediaFactory), and ffprobe's view of a file as the reference to
// compare with.
namespace SyntheticMedia {

struct Tone {
    double seconds = 0.5;
    int sampleRate = 44100;
    int channels = 2;
    std::string codec = "libmp3lame"; // any ffmpeg audio encoder
    std::map<std::string, std::string> tags;
    std::string cover; // a picture file to embed as the attached picture, or none
};

// Writes the tone to path (parent folders created); the test fails when ffmpeg fails.
void makeTone(const std::string& path, const Tone& tone);

// A test-pattern picture; seed varies the content so that two seeds give two pictures.
void makePicture(const std::string& path, int width, int height, int seed = 0);

// ffprobe -show_format -show_streams as JSON.
Json::Value probe(const std::string& path);

} // namespace SyntheticMedia
