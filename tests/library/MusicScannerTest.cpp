#include "library/MusicScanner.h"

#include "library/LibraryCache.h"
#include "library/PlayList.h"
#include "support/ScratchDir.h"
#include "support/StderrCapture.h"
#include "support/SyntheticMedia.h"

#include <gtest/gtest.h>

#include "ui/SkinArt.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <tuple>
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
    scanner.scanMusicFiles(&playList, {{"music"}, ALL_FORMATS, playList.shareLibrary()});
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

void setAge(const std::string& path, std::chrono::minutes age) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - age);
}

auto fieldsOf(const Song& song) {
    return std::make_tuple(song.title, song.artist, song.album, song.filepath, song.coverPath,
                           song.duration, song.sampleRate, song.channels, song.bitrate,
                           song.fileSize, song.modifiedNs, song.track, song.disc);
}

ino_t inodeOf(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_ino;
}

const char* const CACHE = "config/music_library.json";

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

// A rescan reads only what changed, and builds what a full scan of the same tree builds.
TEST(MusicScannerTest, IncrementalRescanEqualsAFullScan) {
    ScratchDir scratch;
    SyntheticMedia::makePicture("art/cover.jpg", 64, 64, 1);
    const std::map<std::string, Tone> made = {
        {"music/A/1.mp3", tone("libmp3lame", {{"album", "A"}, {"title", "One"}}, "art/cover.jpg")},
        {"music/A/2.mp3", tone("libmp3lame", {{"album", "A"}, {"title", "Two"}}, "art/cover.jpg")},
        {"music/B/1.flac", tone("flac", {{"artist", "Bee"}})},
        {"music/B/2.flac", tone("flac", {{"artist", "Cee"}})},
    };
    for (const auto& [path, song] : made) {
        setAge(SyntheticMedia::makeTone(path, song), std::chrono::minutes(60));
    }
    PlayList playList;
    scanInto(playList);
    const ino_t written = inodeOf(CACHE);
    scanInto(playList);
    EXPECT_EQ(inodeOf(CACHE), written); // nothing changed: the cache is not written again

    setAge(SyntheticMedia::makeTone("music/A/3.mp3", tone("libmp3lame", {{"album", "A"}})),
           std::chrono::minutes(60));
    fs::remove("music/B/2.flac");
    const uintmax_t size = fs::file_size("music/A/2.mp3");
    SyntheticMedia::makeTone(
        "music/A/2.mp3", tone("libmp3lame", {{"album", "A"}, {"title", "Owt"}}, "art/cover.jpg"));
    ASSERT_EQ(fs::file_size("music/A/2.mp3"), size);
    setAge("music/A/2.mp3", std::chrono::minutes(30));
    fs::create_directories("music/C");
    fs::rename("music/B/1.flac", "music/C/1.flac"); // its album is its folder's name
    const std::vector<Song> incremental = scanInto(playList);
    const std::vector<Album> incrementalAlbums = playList.getAlbums();

    fs::remove(CACHE);
    PlayList fresh; // nothing known: every file is read
    const std::vector<Song> full = scanInto(fresh);
    ASSERT_EQ(incremental.size(), 4u);
    ASSERT_EQ(full.size(), incremental.size());
    for (size_t i = 0; i < full.size(); ++i) {
        EXPECT_EQ(fieldsOf(incremental[i]), fieldsOf(full[i]));
    }
    EXPECT_EQ(findSong(incremental, "music/A/2.mp3").title, "Owt");
    EXPECT_EQ(findSong(incremental, "music/C/1.flac").album, "C");
    ASSERT_EQ(incrementalAlbums.size(), fresh.getAlbums().size());
    for (size_t i = 0; i < incrementalAlbums.size(); ++i) {
        const Album& expected = fresh.getAlbums()[i];
        EXPECT_EQ(std::tie(incrementalAlbums[i].name, incrementalAlbums[i].artist,
                           incrementalAlbums[i].coverPath),
                  std::tie(expected.name, expected.artist, expected.coverPath));
        EXPECT_EQ(sortedPaths(incrementalAlbums[i].songs), sortedPaths(expected.songs));
    }
}

// A damaged cover file is written afresh: at once when its song is read again, and for an
// unchanged song once a page has failed to show it.
TEST(MusicScannerTest, ADamagedCoverIsRepaired) {
    ScratchDir scratch;
    SyntheticMedia::makePicture("art/cover.jpg", 64, 64, 1);
    SyntheticMedia::makeTone("music/a.mp3", tone("libmp3lame", {}, "art/cover.jpg"));
    setAge("music/a.mp3", std::chrono::minutes(60));
    PlayList playList;
    const std::string cover = scanInto(playList).at(0).coverPath;
    const std::string intact = scratch.readFile(cover);
    const auto damage = [&] { scratch.writeFile(cover, intact.substr(0, intact.size() / 2)); };

    damage();
    setAge("music/a.mp3", std::chrono::minutes(50)); // the song changed
    scanInto(playList);
    EXPECT_TRUE(scratch.readFile(cover) == intact);

    damage();
    SkinArt::loadSongCover(cover); // a page shows it
    scanInto(playList);
    EXPECT_TRUE(scratch.readFile(cover) == intact);
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

// Tracks in their tagged order, whatever order the files were written and found in; then disc,
// unnumbered tracks last, file name between equals.
TEST(MusicScannerTest, AnAlbumListsItsTracksInOrder) {
    ScratchDir scratch;
    for (int track : {4, 2, 3, 6, 1, 5}) {
        const std::string number = std::to_string(track);
        SyntheticMedia::makeTone(
            "music/" + std::string(1, char('g' - track)) + ".mp3",
            tone("libmp3lame", {{"album", "Six"}, {"track", number + "/6"}, {"title", number}}));
    }
    PlayList playList;
    scanInto(playList);
    std::string order;
    for (const Song& song : playList.getAlbums().at(0).songs) {
        order += song.title;
    }
    EXPECT_EQ(order, "123456");

    auto numbered = [](const std::string& file, int disc, int track) {
        Song song;
        song.filepath = "x/" + file;
        song.disc = disc;
        song.track = track;
        return song;
    };
    std::vector<Song> songs = {numbered("b", 0, 0), numbered("z", 2, 1), numbered("a", 0, 0),
                               numbered("y", 1, 2), numbered("c", 1, 1)};
    MusicScanner::sortAlbumTracks(songs);
    order.clear();
    for (const Song& song : songs) {
        order += song.filepath.back();
    }
    EXPECT_EQ(order, "cyzab");
}
