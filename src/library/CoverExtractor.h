#pragma once

#include "model/Song.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

struct AVFormatContext;
struct AVStream;
struct AVPacket;

// Writes the picture embedded in an audio file (the attached picture that tagging tools store
// as a video stream) as a JPEG of at most MAX_COVER_SIDE pixels a side, named by a 64-bit hash
// of the picture's bytes: covers/<16 hex digits>.jpg. The songs that embed the same picture
// share one file, and a file an earlier scan wrote is used again when it still decodes.
class CoverExtractor {
public:
    static constexpr const char* COVER_FOLDER = "covers";
    // Twice the largest size any page draws a cover at.
    static constexpr int MAX_COVER_SIDE = 600;

    // Sets song.coverPath when the song has a picture whose cover exists or could be written;
    // failures are logged and leave it unchanged.
    void extractCover(AVFormatContext* container, Song& song);
    // A new scan: the cover files seen so far are looked at again when next needed.
    void startScan() { knownCovers.clear(); }

    // The cover file of a picture.
    static std::string coverPathFor(const uint8_t* picture, std::size_t size);
    // Removes the files of the cover folder that none of the songs uses (covers of songs that
    // are gone, and those of earlier versions of the program once a scan has replaced them).
    static void removeCoversNotUsedBy(const std::vector<Song>& songs);

    // Whether a cover file is whole: a cheap look at its ends, no decoding. Picture loaders
    // conceal a picture cut short instead of failing on it.
    static bool isWhole(const std::string& path);
    // Any thread: a cover file of the cover folder that could not be read where it was shown.
    // The next scan reads the songs that use it again and writes it afresh.
    static void noteUnreadableCover(const std::string& path);
    // The covers noted since the last call.
    static std::unordered_set<std::string> takeUnreadableCovers();

private:
    bool isKnownCover(const std::string& target);

    std::unordered_set<std::string> knownCovers; // whole cover files seen in this scan
};
