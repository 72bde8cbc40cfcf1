#include "library/SongJson.h"

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

Song songFromJson(const Json::Value& object) {
    Song song;
    if (!object.isObject()) {
        return song;
    }
    song.title = object[Key::TITLE].asString();
    song.artist = object[Key::ARTIST].asString();
    song.album = object[Key::ALBUM].asString();
    song.filepath = object[Key::FILEPATH].asString();
    song.coverPath = object[Key::COVER_PATH].asString();
    song.duration = object[Key::DURATION].asDouble();
    song.sampleRate = object[Key::SAMPLE_RATE].asInt();
    song.channels = object[Key::CHANNELS].asInt();
    song.bitrate = object[Key::BITRATE].asInt64();
    song.fileSize = object[Key::FILE_SIZE].asUInt64();
    song.modifiedNs = object[Key::MODIFIED_NS].asInt64();
    song.track = object[Key::TRACK].asInt();
    song.disc = object[Key::DISC].asInt();
    const Json::Value& nested = object[Key::SONGS];
    if (nested.isArray()) {
        for (const Json::Value& element : nested) {
            if (element.isObject()) {
                song.songs.push_back(songFromJson(element));
            }
        }
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
