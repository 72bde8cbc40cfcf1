#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Test media made with the ffmpeg command-line tool from synthetic sources, and FFmpeg's own
// decoding of a file, the reference for what the player must sound like.
class MediaFactory {
public:
    struct Options {
        double seconds = 2.0;
        int sampleRate = 44100;
        std::string channelLayout = "stereo";   // any FFmpeg layout name: "mono", "5.1", ...
        std::string encoder = "-c:a pcm_s16le"; // ffmpeg output options, e.g. "-c:a flac"
        std::string extraInput;                 // more ffmpeg input options, e.g. a cover picture
    };

    // Files are made in folder (relative paths resolve against the working directory).
    explicit MediaFactory(std::string folder = ".");

    // Makes fileName from a distinct rising tone per channel (never periodic, so every stretch
    // of it can be told apart) with a low and a high tone over it; returns the file's path.
    // The test fails when ffmpeg fails.
    std::string make(const std::string& fileName, const Options& options) const;
    std::string make(const std::string& fileName) const { return make(fileName, Options{}); }

    // Interleaved signed 16-bit stereo at 44100 Hz as FFmpeg decodes the file; audioFilter, when
    // given, is applied first, as "-af" does.
    static std::vector<int16_t> reference(const std::string& path,
                                          const std::string& audioFilter = "");

    // Runs a shell command and returns its standard output; the test fails when it fails.
    static std::string run(const std::string& command);

    static std::string quote(const std::string& text);

private:
    std::string folder;
};
