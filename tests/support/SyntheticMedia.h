#pragma once

#include <json/json.h>

#include <map>
#include <string>

// Small audio files and pictures made at test time with the ffmpeg command-line tool from
// synthetic sources, and ffprobe's view of a file as the reference to compare with.
namespace SyntheticMedia {

struct Tone {
    double seconds = 0.5;
    int frequency = 440;
    int sampleRate = 44100;
    int channels = 2;
    std::string codec = "libmp3lame"; // any ffmpeg audio encoder
    std::map<std::string, std::string> tags;
    std::string cover; // a picture file to embed as the attached picture, or none
    std::string coverCodec = "copy";
};

// Writes the tone to path (parent folders created); throws std::runtime_error on failure.
void makeTone(const std::string& path, const Tone& tone);

// A test-pattern picture; seed varies the content so that two seeds give two pictures.
void makePicture(const std::string& path, int width, int height, int seed = 0);

// ffprobe -show_format -show_streams as JSON.
Json::Value probe(const std::string& path);

// Runs a shell command with its output discarded; throws std::runtime_error when it fails.
void run(const std::string& command);

// The text quoted for the shell.
std::string quoted(const std::string& text);

} // namespace SyntheticMedia
