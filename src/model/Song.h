#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One audio file with its tags and stream parameters. A song is identified by its filepath.
struct Song {
    std::string title;
    std::string artist;
    std::string album;
    std::string filepath;  // as the directory walk produced it
    std::string coverPath; // a PNG under covers/ or the placeholder "icons/tfm.png"
    double duration = 0.0; // seconds
    int32_t sampleRate = 0;
    int32_t channels = 0;
    int64_t bitrate = 0; // bits per second, 0 when the stream reports none
    uint64_t fileSize = 0;
    std::vector<Song> songs; // nested records carried by the JSON form; empty from a scan
};
