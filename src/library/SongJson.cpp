#include "library/SongJson.h"

#include <string_view>

namespace {

namespace Key {
constexpr const char* TITLE = "title";
constexpr const char* ARTIST = "artist";
constexpr const char* ALBUM = "album";
constexpr const char* FILEPATH = "filepath";
constexpr const char* COVER_PATH = "coverPath";
constexpr const char* DURATION = "duration";
constexpr const char* SAMPLE_RATE = "sample_rate";
constexpr const char* CHANNELS = "channels";
constexpr const char* BITRATE = "bitrate";
constexpr const char* FILE_SIZE = "file_size";
constexpr const char* MODIFIED_NS = "modified_ns";
constexpr const char* TRACK = "track";
constexpr const char* DISC = "disc";
constexpr const char* SONGS = "songs";
constexpr const char* NAME = "name";
} // namespace Key

Json::Value songsToJson(const std::vector<Song>& songs, NestedSongs nested) {
    Json::Value array(Json::arrayValue);
    for (const Song& song : songs) {
        array.append(songToJson(song, nested));
    }
    return array;
}

} // namespace

Json::Value songToJson(const Song& song, NestedSongs nested) {
    Json::Value object(Json::objectValue);
    object[Key::TITLE] = song.title;
    object[Key::ARTIST] = song.artist;
    object[Key::ALBUM] = song.album;
    object[Key::FILEPATH] = song.filepath;
    object[Key::COVER_PATH] = song.coverPath;
    object[Key::DURATION] = song.duration;
    object[Key::SAMPLE_RATE] = song.sampleRate;
    object[Key::CHANNELS] = song.channels;
    object[Key::BITRATE] = Json::Int64(song.bitrate);
    object[Key::FILE_SIZE] = Json::UInt64(song.fileSize);
    object[Key::MODIFIED_NS] = Json::Int64(song.modifiedNs);
    object[Key::TRACK] = song.track;
    object[Key::DISC] = song.disc;
    if (nested == NestedSongs::Write) {
        object[Key::SONGS] = songsToJson(song.songs, nested);
    }
    return object;
}

namespace {

// One member of a song object into its field; members of other names are ignored.
void readMember(std::string_view key, const Json::Value& value, Song& song) {
    if (key == Key::TITLE) {
        song.title = value.asString();
    } else if (key == Key::ARTIST) {
        song.artist = value.asString();
    } else if (key == Key::ALBUM) {
        song.album = value.asString();
    } else if (key == Key::FILEPATH) {
        song.filepath = value.asString();
    } else if (key == Key::COVER_PATH) {
        song.coverPath = value.asString();
    } else if (key == Key::DURATION) {
        song.duration = value.asDouble();
    } else if (key == Key::SAMPLE_RATE) {
        song.sampleRate = value.asInt();
    } else if (key == Key::CHANNELS) {
        song.channels = value.asInt();
    } else if (key == Key::BITRATE) {
        song.bitrate = value.asInt64();
    } else if (key == Key::FILE_SIZE) {
        song.fileSize = value.asUInt64();
    } else if (key == Key::MODIFIED_NS) {
        song.modifiedNs = value.asInt64();
    } else if (key == Key::TRACK) {
        song.track = value.asInt();
    } else if (key == Key::DISC) {
        song.disc = value.asInt();
    } else if (key == Key::SONGS && value.isArray()) {
        for (const Json::Value& element : value) {
            if (element.isObject()) {
                song.songs.push_back(songFromJson(element));
            }
        }
    }
}

} // namespace

// The members are walked once: a cache holds tens of thousands of song objects, and a lookup
// per field costs more than the walk.
Song songFromJson(const Json::Value& object) {
    Song song;
    if (!object.isObject()) {
        return song;
    }
    const auto last = object.end();
    for (auto member = object.begin(); member != last; ++member) {
        const char* end = nullptr;
        const char* begin = member.memberName(&end);
        readMember(std::string_view(begin, static_cast<std::size_t>(end - begin)), *member, song);
    }
    return song;
}

Json::Value albumToJson(const Album& album) {
    Json::Value object(Json::objectValue);
    object[Key::NAME] = album.name;
    object[Key::ARTIST] = album.artist;
    object[Key::COVER_PATH] = album.coverPath;
    object[Key::SONGS] = songsToJson(album.songs, NestedSongs::Omit);
    return object;
}
