#include "library/MusicScanner.h"

#include "library/PlayList.h"
#include "support/ScratchDir.h"
#include "support/StderrCapture.h"
#include "support/SyntheticMedia.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sys/fsuid.h>
#include <unistd.h>

namespace fs = std::filesystem;
using SyntheticMedia::Tone;

namespace {

const std::vector<std::string> ALL_FORMATS = {".mp3", ".flac", ".ogg", ".opus", ".m4a", ".wav"};

Song findSong(const std::vector<Song>& songs, const std::string& path) {
    for (const Song& song : songs) {
        if (song.filepath == path) {
            return song;
        }
    }
    ADD_FAILURE() << "not in the library: " << path;
    return Song();
}

// Extensions are compared in lower case: "01 Intro.MP3" below is taken, "notes.txt" is not.
std::vector<Song> scanInto(PlayList& playList) {
    MusicScanner scanner;
    scanner.scanMusicFiles(&playList, {{"music"}, ALL_FORMATS});
    playList.update(); // the next frame takes the library over
    return playList.getLibrarySongs();
}

double probedDuration(const Json::Value& probe, const Json::Value& stream) {
    const Json::Value& own = stream["duration"];
    return std::stod(own.isString() ? own.asString() : probe["format"]["duration"].asString());
}

const Json::Value& firstStreamOfType(const Json::Value& probe, const std::string& type) {
    for (const Json::Value& stream : probe["streams"]) {
        if (stream["codec_type"].asString() == type) {
            return stream;
        }
    }
    static const Json::Value none;
    return none;
}

// Every number the scan stores must agree with what ffprobe reads from the same file.
void expectMatchesFfprobe(const Song& song) {
    SCOPED_TRACE(song.filepath);
    const Json::Value probe = SyntheticMedia::probe(song.filepath);
    const Json::Value& audio = firstStreamOfType(probe, "audio");
    ASSERT_TRUE(audio.isObject());
    EXPECT_NEAR(song.duration, probedDuration(probe, audio), 1e-6);
    EXPECT_EQ(song.sampleRate, std::stoi(audio["sample_rate"].asString()));
    EXPECT_EQ(song.channels, audio["channels"].asInt());
    const int64_t bitrate =
        audio["bit_rate"].isString() ? std::stoll(audio["bit_rate"].asString()) : 0;
    EXPECT_EQ(song.bitrate, bitrate);
    EXPECT_EQ(song.fileSize, std::stoull(probe["format"]["size"].asString()));
}

// A cover is a picture of at most 600x600 with the embedded picture's shape.
void expectBoundedCover(const Song& song, int width, int height) {
    SCOPED_TRACE(song.filepath);
    ASSERT_TRUE(fs::exists(song.coverPath));
    const Json::Value cover = firstStreamOfType(SyntheticMedia::probe(song.coverPath), "video");
    EXPECT_EQ(cover["width"].asInt(), width);
    EXPECT_EQ(cover["height"].asInt(), height);
}

std::vector<std::string> sortedPaths(const std::vector<Song>& songs) {
    std::vector<std::string> paths;
    for (const Song& song : songs) {
        paths.push_back(song.filepath);
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

Tone tone(const std::string& codec, std::map<std::string, std::string> tags,
          const std::string& cover = "") {
    Tone made;
    made.codec = codec;
    made.tags = std::move(tags);
    made.cover = cover;
    return made;
}

} // namespace

TEST(MusicScannerTest, ScanOfGeneratedTreeAgreesWithFfprobe) {
    ScratchDir scratch;
    SyntheticMedia::makePicture("art/cover.jpg", 120, 90, 1);
    Tone opus = tone("libopus", {{"title", "Ωμέγα"}, {"artist", "Band"}, {"album", "Nights"}});
    opus.sampleRate = 48000;
    opus.channels = 1;
    const std::map<std::string, Tone> tagged = {
        {"music/latin.mp3",
         tone("libmp3lame", {{"title", "Morning"}, {"artist", "Band"}, {"album", "Days"}},
              "art/cover.jpg")},
        {"music/accents.flac",
         tone("flac", {{"title", "Café Müller"}, {"artist", "Zoë"}, {"album", "Été"}})},
        {"music/cjk.ogg",
         tone("libvorbis", {{"title", "夜曲"}, {"artist", "歌手甲"}, {"album", "专辑乙"}})},
        {"music/opus.opus", opus},
        {"music/aac.m4a",
         tone("aac", {{"title", "Mp4 Song"}, {"artist", "Other"}, {"album", "Days"}},
              "art/cover.jpg")},
    };
    for (const auto& [path, made] : tagged) {
        SyntheticMedia::makeTone(path, made);
    }
    SyntheticMedia::makeTone("music/Artist X/Album Y/01 Intro.MP3", tone("libmp3lame", {}));
    // A file FFmpeg cannot read is listed under its own name, so the user sees which one it is.
    scratch.writeFile("music/not audio.mp3", "just some text, not an MP3 frame in sight\n");
    scratch.writeFile("music/notes.txt", "not a supported extension");

    PlayList playList;
    StderrCapture errors;
    const std::vector<Song> songs = scanInto(playList);
    EXPECT_NE(errors.take().find("music/not audio.mp3"), std::string::npos);
    EXPECT_EQ(songs.size(), tagged.size() + 2);
    for (const auto& [path, made] : tagged) {
        const Song song = findSong(songs, path);
        EXPECT_EQ(song.title, made.tags.at("title"));
        EXPECT_EQ(song.artist, made.tags.at("artist"));
        EXPECT_EQ(song.album, made.tags.at("album"));
        expectMatchesFfprobe(song);
    }
    const Song intro = findSong(songs, "music/Artist X/Album Y/01 Intro.MP3");
    EXPECT_EQ(intro.title, "01 Intro");
    EXPECT_EQ(intro.artist, MusicScanner::UNKNOWN_ARTIST);
    EXPECT_EQ(intro.album, "Album Y");
    EXPECT_EQ(intro.coverPath, MusicScanner::PLACEHOLDER_COVER);
    EXPECT_EQ(findSong(songs, "music/not audio.mp3").title, "not audio");

    EXPECT_EQ(playList.getSongs().size(), songs.size()); // the queue is the whole library
    EXPECT_FALSE(playList.isScanning());
}

// One file per distinct picture, named by its content and shared by the songs that embed it, at
// most 600x600; covers nothing uses any more go at the end of a complete scan.
TEST(MusicScannerTest, CoversAreBoundedAndShared) {
    ScratchDir scratch;
    SyntheticMedia::makePicture("art/large.jpg", 1200, 900, 1);
    SyntheticMedia::makePicture("art/small.png", 300, 300, 2);
    SyntheticMedia::makeTone("music/a.mp3", tone("libmp3lame", {{"album", "A"}}, "art/large.jpg"));
    SyntheticMedia::makeTone("music/b.mp3", tone("libmp3lame", {{"album", "A"}}, "art/large.jpg"));
    SyntheticMedia::makeTone("music/c.flac", tone("flac", {{"album", "C"}}, "art/small.png"));
    scratch.writeFile("covers/1234567.png", "a cover of an earlier version");

    PlayList playList;
    const std::vector<Song> songs = scanInto(playList);
    const Song a = findSong(songs, "music/a.mp3");
    const Song c = findSong(songs, "music/c.flac");
    EXPECT_EQ(findSong(songs, "music/b.mp3").coverPath, a.coverPath);
    EXPECT_NE(c.coverPath, a.coverPath);
    expectBoundedCover(a, 600, 450);
    expectBoundedCover(c, 300, 300);
    EXPECT_EQ(playList.getAlbums().at(0).coverPath, a.coverPath);
    EXPECT_EQ(std::distance(fs::directory_iterator("covers"), fs::directory_iterator()), 2);

    scanInto(playList); // a rescan uses the covers again as they are
    EXPECT_EQ(findSong(playList.getLibrarySongs(), "music/a.mp3").coverPath, a.coverPath);
}

// A folder the scan may not read is skipped with an error line; links to folders are not
// followed (a loop would never end), links to files count.
TEST(MusicScannerTest, TheWalkSkipsUnreadableFoldersAndFollowsNoFolderLinks) {
    ScratchDir scratch;
    scratch.writeFile("music/locked/hidden.mp3", "");
    scratch.writeFile("music/top.mp3", "");
    fs::create_symlink("top.mp3", "music/file-link.mp3");
    fs::create_directory_symlink("..", "music/loop");
    fs::permissions(scratch.path(), fs::perms::all);
    fs::permissions("music/locked", fs::perms::none);
    // Root reads everything; without its file-system privileges it reads as anyone else does.
    const bool root = geteuid() == 0;
    if (root) {
        setfsuid(65534);
    }
    PlayList playList;
    StderrCapture errors;
    const std::vector<Song> songs = scanInto(playList);
    const std::string log = errors.take();
    if (root) {
        setfsuid(0);
    }
    fs::permissions("music/locked", fs::perms::owner_all);
    EXPECT_EQ(sortedPaths(songs),
              (std::vector<std::string>{"music/file-link.mp3", "music/top.mp3"}));
    EXPECT_NE(log.find("music/locked"), std::string::npos) << log;
}

TEST(MusicScannerTest, AlbumsOfOneNameMergeAcrossArtists) {
    auto songOf = [](const std::string& album, const std::string& artist,
                     const std::string& cover = MusicScanner::PLACEHOLDER_COVER) {
        Song song;
        song.album = album;
        song.artist = artist;
        song.coverPath = cover;
        return song;
    };
    // Keys sort as Hits|A, Hits|A B, Hits|B: B already occurs inside "A / A B".
    std::vector<Album> albums = MusicScanner::groupAlbums(
        {songOf("Hits", "B"), songOf("Hits", "A B"), songOf("Hits", "A"), songOf("Alpha", "Z")});
    ASSERT_EQ(albums.size(), 2u);
    EXPECT_EQ(albums[1].artist, "A / A B");
    ASSERT_EQ(albums[1].songs.size(), 3u);
    EXPECT_EQ(albums[1].songs[0].artist, "A");

    // An unknown artist gives way to a known one; a later song brings the missing cover.
    albums = MusicScanner::groupAlbums({songOf("Live", MusicScanner::UNKNOWN_ARTIST),
                                        songOf("Live", "Zed", "covers/1.jpg"),
                                        songOf("Live", "Zoe", "covers/2.jpg")});
    EXPECT_EQ(albums[0].artist, "Zed / Zoe");
    EXPECT_EQ(albums[0].coverPath, "covers/1.jpg");
    EXPECT_EQ(MusicScanner::groupAlbums({songOf("A", "x|y"), songOf("A|x", "y")}).size(), 2u);
}
