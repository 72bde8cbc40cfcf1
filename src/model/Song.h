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
    // The file's modification time when it was read (nanoseconds since the epoch); 0 when it
    // was too recent to tell a later change by, so the next rescan reads the file again.
    int64_t modifiedNs = 0;
    int32_t track = 0; // from the tags; 0 when they give none
    int32_t disc = 0;
    std::vector<Song> songs; // nested records carried by the JSON form; empty from a scan
};
