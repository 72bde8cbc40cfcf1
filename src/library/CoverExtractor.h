#pragma once

#include "library/Song.h"

#include <cstdint>
#include <string>
#include <unordered_map>

struct AVFormatContext;
struct AVStream;
struct AVPacket;
struct AVFrame;

// Writes the picture embedded in an audio file (the attached picture that tagging tools store
// as a video stream) as covers/<hash of the song's path>.png. One object serves one scan:
// a picture identical to one it has already encoded is not decoded and encoded again; its PNG
// gets the new song's own file name as a second name (or as a copy where links are not possible).
class CoverExtractor {
public:
    static constexpr const char* COVER_FOLDER = "covers";

    // Sets song.coverPath when a cover is written; failures are logged and leave it unchanged.
    void extractCover(AVFormatContext* container, Song& song);
    // Forgets the pictures encoded so far (a new scan rebuilds the cover folder).
    void forgetEncodedPictures() { encodedPictures.clear(); }

    static std::string coverPathFor(const std::string& songPath);

private:
    struct PictureKey {
        int codecId;
        std::size_t size;
        uint64_t hash;
        uint64_t checksum;
        bool operator==(const PictureKey& other) const {
            return codecId == other.codecId && size == other.size && hash == other.hash &&
                   checksum == other.checksum;
        }
    };
    struct PictureKeyHash {
        std::size_t operator()(const PictureKey& key) const { return key.hash; }
    };

    static PictureKey keyOf(const AVStream& stream, const AVPacket& picture);
    bool reuseEncodedPicture(const PictureKey& key, const std::string& target) const;
    // Decodes the picture and encodes it as PNG into target; false after logging why.
    bool encodePicture(const AVStream& stream, const AVPacket& picture,
                       const std::string& target) const;

    std::unordered_map<PictureKey, std::string, PictureKeyHash> encodedPictures;
};
