#include "library/MusicScanner.h"

#include "library/CoverExtractor.h"
#include "library/LibraryCache.h"
#include "library/PlayList.h"
#include "core/JsonFile.h"
#include "support/MediaFactory.h"
#include "support/ScratchDir.h"
#include "support/StderrCapture.h"
#include "support/SyntheticMedia.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sys/fsuid.h>
#include <unistd.h>

namespace fs = std::filesystem;
using SyntheticMedia::Tone;

namespace {

const std::vector<std::string> ALL_FORMATS = {".mp3", ".flac", ".ogg", ".opus", ".m4a", ".wav"};

struct Expected {
    std::string title;
    std::string artist;
    std::string album;
    bool hasCover = false;
};

Song findSong(const std::vector<Song>& songs, const std::string& path) {
    for (const Song& song : songs) {
        if (song.filepath == path) {
            return song;
        }
    }
    ADD_FAILURE() << "not in the library: " << path;
    return Song();
}

std::vector<Song> scanInto(PlayList& playList,
                           const std::vector<std::string>& directories = {"music"}) {
    MusicScanner scanner(directories, ALL_FORMATS);
    scanner.scanMusicFiles(&playList);
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

// The cover PNG has the embedded picture's own size.
void expectCoverMatchesPicture(const Song& song) {
    SCOPED_TRACE(song.filepath);
    EXPECT_EQ(song.coverPath, CoverExtractor::coverPathFor(song.filepath));
    ASSERT_TRUE(fs::exists(song.coverPath));
    const Json::Value picture = firstStreamOfType(SyntheticMedia::probe(song.filepath), "video");
    const Json::Value png = firstStreamOfType(SyntheticMedia::probe(song.coverPath), "video");
    EXPECT_EQ(png["codec_name"].asString(), "png");
    EXPECT_EQ(png["pix_fmt"].asString(), "rgb24");
    EXPECT_EQ(png["width"].asInt(), picture["width"].asInt());
    EXPECT_EQ(png["height"].asInt(), picture["height"].asInt());
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
    SyntheticMedia::makePicture("art/cover.png", 100, 100, 2);

    std::map<std::string, Expected> expected;
    auto make = [&](const std::string& path, Tone made, Expected wanted) {
        SyntheticMedia::makeTone(path, made);
        wanted.hasCover = !made.cover.empty();
        expected[path] = wanted;
    };
    make("music/latin.mp3",
         tone("libmp3lame", {{"title", "Morning"}, {"artist", "Band"}, {"album", "Days"}},
              "art/cover.jpg"),
         {"Morning", "Band", "Days"});
    make("music/accents.flac",
         tone("flac", {{"title", "Café Müller"}, {"artist", "Zoë"}, {"album", "Été"}},
              "art/cover.png"),
         {"Café Müller", "Zoë", "Été"});
    make("music/cjk.ogg",
         tone("libvorbis", {{"title", "夜曲"}, {"artist", "歌手甲"}, {"album", "专辑乙"}}),
         {"夜曲", "歌手甲", "专辑乙"});
    Tone opus = tone("libopus", {{"title", "Ωμέγα"}, {"artist", "Band"}, {"album", "Nights"}});
    opus.sampleRate = 48000;
    opus.channels = 1;
    make("music/opus.opus", opus, {"Ωμέγα", "Band", "Nights"});
    make("music/aac.m4a",
         tone("aac", {{"title", "Mp4 Song"}, {"artist", "Other"}, {"album", "Days"}},
              "art/cover.jpg"),
         {"Mp4 Song", "Other", "Days"});
    make("music/wave.wav",
         tone("pcm_s16le", {{"title", "Wave"}, {"artist", "Band"}, {"album", "Raw"}}),
         {"Wave", "Band", "Raw"});
    make("music/LOUD.MP3", tone("libmp3lame", {{"title", "Upper"}}),
         {"Upper", MusicScanner::UNKNOWN_ARTIST, "music"});
    make("music/Artist X/Album Y/01 Intro.mp3", tone("libmp3lame", {}),
         {"01 Intro", MusicScanner::UNKNOWN_ARTIST, "Album Y"});

    // Files FFmpeg cannot make sense of are still listed, with their path as their only data.
    scratch.writeFile("music/not audio.mp3", "just some text, not an MP3 frame in sight\n");
    scratch.writeFile("music/empty.mp3", "");
    SyntheticMedia::makeTone("music/truncated.flac", tone("flac", {{"title", "Cut"}}));
    fs::resize_file("music/truncated.flac", 100);
    scratch.writeFile("music/notes.txt", "not a supported extension");

    PlayList playList;
    StderrCapture errors;
    const std::vector<Song> songs = scanInto(playList);
    const std::string log = errors.take();

    EXPECT_EQ(songs.size(), expected.size() + 3);
    for (const auto& [path, wanted] : expected) {
        const Song song = findSong(songs, path);
        SCOPED_TRACE(path);
        EXPECT_EQ(song.title, wanted.title);
        EXPECT_EQ(song.artist, wanted.artist);
        EXPECT_EQ(song.album, wanted.album);
        expectMatchesFfprobe(song);
        if (wanted.hasCover) {
            expectCoverMatchesPicture(song);
        } else {
            EXPECT_EQ(song.coverPath, MusicScanner::PLACEHOLDER_COVER);
        }
    }
    for (const char* path : {"music/not audio.mp3", "music/empty.mp3"}) {
        const Song song = findSong(songs, path);
        EXPECT_EQ(song.title, "");
        EXPECT_EQ(song.coverPath, "");
        EXPECT_EQ(song.fileSize, 0u);
        EXPECT_NE(log.find(std::string("[ERROR] 无法打开文件: ") + path), std::string::npos);
    }
    findSong(songs, "music/truncated.flac"); // listed, whatever FFmpeg made of it

    // Songs of one album share one picture; each still has its own cover file with equal bytes.
    const Song mp3 = findSong(songs, "music/latin.mp3");
    const Song m4a = findSong(songs, "music/aac.m4a");
    EXPECT_NE(mp3.coverPath, m4a.coverPath);
    EXPECT_EQ(scratch.readFile(mp3.coverPath), scratch.readFile(m4a.coverPath));

    // The queue is the whole library, the version has moved, the cache holds the same songs.
    EXPECT_EQ(playList.getSongs().size(), songs.size());
    EXPECT_EQ(playList.getLibraryVersion(), 1u);
    EXPECT_FALSE(playList.isScanning());
    Library cached;
    ASSERT_TRUE(LibraryCache::load("config/music_library.json", cached));
    ASSERT_EQ(cached.songs.size(), songs.size());
    for (size_t i = 0; i < songs.size(); ++i) {
        EXPECT_EQ(cached.songs[i].filepath, songs[i].filepath);
        EXPECT_EQ(cached.songs[i].sampleRate, songs[i].sampleRate);
        EXPECT_EQ(cached.songs[i].fileSize, songs[i].fileSize);
        EXPECT_DOUBLE_EQ(cached.songs[i].duration, songs[i].duration);
    }

    // Albums: sorted by name; "Days" gathers two artists.
    const std::vector<Album>& albums = playList.getAlbums();
    std::vector<std::string> names;
    for (const Album& album : albums) {
        names.push_back(album.name);
    }
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    auto days = std::find_if(albums.begin(), albums.end(),
                             [](const Album& album) { return album.name == "Days"; });
    ASSERT_NE(days, albums.end());
    EXPECT_EQ(days->songs.size(), 2u);
    EXPECT_EQ(days->artist, "Band / Other");
}

TEST(MusicScannerTest, RescanRebuildsCoversUnderTheSameNames) {
    ScratchDir scratch;
    SyntheticMedia::makePicture("art/cover.jpg", 64, 64, 3);
    SyntheticMedia::makeTone("music/a.mp3", tone("libmp3lame", {{"title", "A"}}, "art/cover.jpg"));
    scratch.writeFile("covers/stale.png", "left over from an earlier scan");

    PlayList playList;
    MusicScanner scanner({"music"}, ALL_FORMATS);
    scanner.scanMusicFiles(&playList);
    const std::string cover = playList.getLibrarySongs().at(0).coverPath;
    EXPECT_FALSE(fs::exists("covers/stale.png"));
    ASSERT_TRUE(fs::exists(cover));
    const std::string firstBytes = scratch.readFile(cover);

    fs::remove(cover);
    scanner.scanMusicFiles(&playList);
    EXPECT_EQ(playList.getLibrarySongs().at(0).coverPath, cover);
    EXPECT_EQ(scratch.readFile(cover), firstBytes);
    EXPECT_EQ(playList.getLibraryVersion(), 2u);
}

TEST(MusicScannerTest, StreamTagsFillOnlyWhatTheContainerLacks) {
    ScratchDir scratch;
    SyntheticMedia::makeTone("music/a.ogg", tone("libvorbis", {{"title", "Stream Title"}}));
    MediaFactory::run("ffmpeg -nostdin -v error -y -f lavfi -i sine=duration=0.5 "
                      "-metadata title=Container -metadata:s:a:0 title=Stream "
                      "-metadata:s:a:0 ARTIST=Stream-Artist -c:a flac music/b.mka");
    MusicScanner scanner({}, ALL_FORMATS);
    const Song ogg = scanner.readMetadata("music/a.ogg");
    EXPECT_EQ(ogg.title, "Stream Title");
    EXPECT_EQ(ogg.artist, MusicScanner::UNKNOWN_ARTIST);
    EXPECT_EQ(ogg.album, "music");
    const Song mka = scanner.readMetadata("music/b.mka");
    EXPECT_EQ(mka.title, "Container");
    EXPECT_EQ(mka.artist, "Stream-Artist"); // keys match whatever their case
}

TEST(MusicScannerTest, SupportedFormatsAndDefaultDirectory) {
    ScratchDir scratch;
    // Zero-byte files are enough to see which files are taken: each is listed by its path.
    for (const char* name : {"music/A.MP3", "music/b.flac", "music/sub/c.mp3", "music/d"}) {
        scratch.writeFile(name, "");
    }
    auto takenPaths = [](MusicScanner& scanner) {
        PlayList playList;
        scanner.scanMusicFiles(&playList);
        std::vector<std::string> paths;
        for (const Song& song : playList.getLibrarySongs()) {
            paths.push_back(song.filepath);
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    };
    MusicScanner mp3Only({}, {".mp3"});
    EXPECT_EQ(takenPaths(mp3Only), (std::vector<std::string>{"music/A.MP3", "music/sub/c.mp3"}));
    EXPECT_EQ(mp3Only.getScanDirectories(), std::vector<std::string>{"music"});

    MusicScanner upperCaseEntry({}, {".MP3"});
    EXPECT_TRUE(takenPaths(upperCaseEntry).empty());

    MusicScanner anyFormat({}, {});
    EXPECT_EQ(takenPaths(anyFormat).size(), 4u);
}

TEST(MusicScannerTest, OverlappingDirectoriesListSongsTwice) {
    ScratchDir scratch;
    scratch.writeFile("music/inner/x.mp3", "");
    PlayList playList;
    StderrCapture errors;
    EXPECT_EQ(scanInto(playList, {"music", "music/inner", "missing"}).size(), 2u);
    ASSERT_EQ(playList.getAlbums().size(), 1u);
    EXPECT_EQ(playList.getAlbums()[0].songs.size(), 2u);
}

// A folder the scan may not read is skipped with an error line; the rest is still found.
TEST(MusicScannerTest, UnreadableFolderIsSkipped) {
    ScratchDir scratch;
    scratch.writeFile("music/locked/hidden.mp3", "");
    scratch.writeFile("music/open/seen.mp3", "");
    scratch.writeFile("music/top.mp3", "");
    fs::permissions(scratch.path(), fs::perms::all);
    fs::permissions("music/locked", fs::perms::none);
    // Root reads everything; without its file-system privileges it reads as anyone else does.
    const bool root = geteuid() == 0;
    const int nobody = 65534;
    if (root) {
        setfsuid(nobody);
    }
    PlayList playList;
    StderrCapture errors;
    const std::vector<Song> songs = scanInto(playList);
    const std::string log = errors.take();
    if (root) {
        setfsuid(0);
    }
    fs::permissions("music/locked", fs::perms::owner_all);

    std::vector<std::string> paths;
    for (const Song& song : songs) {
        paths.push_back(song.filepath);
    }
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{"music/open/seen.mp3", "music/top.mp3"}));
    EXPECT_NE(log.find("[ERROR] 无法读取目录: music/locked"), std::string::npos) << log;
}

TEST(MusicScannerTest, SymbolicLinksToFilesCountAndLinksToFoldersAreNotFollowed) {
    ScratchDir scratch;
    scratch.writeFile("elsewhere/linked.mp3", "");
    scratch.writeFile("music/real.mp3", "");
    fs::create_directories("music");
    fs::create_symlink("../elsewhere/linked.mp3", "music/file-link.mp3");
    fs::create_directory_symlink("../elsewhere", "music/folder-link");
    fs::create_symlink("../nowhere.mp3", "music/broken-link.mp3");
    fs::create_directory_symlink("..", "music/loop");
    PlayList playList;
    StderrCapture errors;
    std::vector<std::string> paths;
    for (const Song& song : scanInto(playList)) {
        paths.push_back(song.filepath);
    }
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{"music/file-link.mp3", "music/real.mp3"}));
}

// --- Album grouping ---

namespace {

Song songOf(const std::string& album, const std::string& artist,
            const std::string& cover = MusicScanner::PLACEHOLDER_COVER) {
    Song song;
    song.album = album;
    song.artist = artist;
    song.coverPath = cover;
    song.filepath = album + "/" + artist + ".mp3";
    return song;
}

} // namespace

TEST(MusicScannerTest, AlbumsOfOneNameMergeAcrossArtists) {
    // Keys sort as Hits|A, Hits|A B, Hits|B: B already occurs inside "A / A B".
    std::vector<Album> albums = MusicScanner::groupAlbums(
        {songOf("Hits", "B"), songOf("Hits", "A B"), songOf("Hits", "A"), songOf("Alpha", "Z")});
    ASSERT_EQ(albums.size(), 2u);
    EXPECT_EQ(albums[0].name, "Alpha");
    EXPECT_EQ(albums[1].name, "Hits");
    EXPECT_EQ(albums[1].artist, "A / A B");
    ASSERT_EQ(albums[1].songs.size(), 3u);
    EXPECT_EQ(albums[1].songs[0].artist, "A");
    EXPECT_EQ(albums[1].songs[1].artist, "A B");
    EXPECT_EQ(albums[1].songs[2].artist, "B");

    // An unknown artist gives way to a known one and is never appended.
    albums = MusicScanner::groupAlbums({songOf("Live", MusicScanner::UNKNOWN_ARTIST),
                                        songOf("Live", "Zed"), songOf("Mix", "Kay"),
                                        songOf("Mix", MusicScanner::UNKNOWN_ARTIST)});
    EXPECT_EQ(albums[0].artist, "Zed");
    EXPECT_EQ(albums[1].artist, "Kay");

    // A later song of another artist brings the cover that the first songs lacked.
    albums = MusicScanner::groupAlbums({songOf("Hits", "A"), songOf("Hits", "A"),
                                        songOf("Hits", "B", "covers/1.png"),
                                        songOf("Hits", "C", "covers/2.png")});
    EXPECT_EQ(albums[0].coverPath, "covers/1.png");
    EXPECT_EQ(albums[0].songs.size(), 4u);

    // A bar in a name does not make two different albums one.
    albums = MusicScanner::groupAlbums({songOf("A", "x|y"), songOf("A|x", "y")});
    EXPECT_EQ(albums.size(), 2u);
}
