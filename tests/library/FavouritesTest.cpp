#include "library/Favourites.h"

#include "core/JsonFile.h"
#include "support/ScratchDir.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

Song songAt(const std::string& path) {
    Song song;
    song.filepath = path;
    song.title = fs::path(path).stem().string();
    return song;
}

Json::Value readLikeFile(const ScratchDir& scratch) {
    Json::Value root;
    std::string error;
    EXPECT_TRUE(JsonFile::parse(scratch.readFile("config/like.json"), root, error)) << error;
    return root;
}

std::vector<std::string> pathsOf(const std::vector<Song>& songs) {
    std::vector<std::string> paths;
    for (const Song& song : songs) {
        paths.push_back(song.filepath);
    }
    return paths;
}

} // namespace

TEST(FavouritesTest, AddingKeepsOneEntryPerFileAndSavesEachChange) {
    ScratchDir scratch;
    scratch.writeFile("music/a.mp3", "");
    scratch.writeFile("music/b.mp3", "");
    Favourites favourites;
    EXPECT_TRUE(favourites.add(songAt("music/a.mp3")));
    fs::remove("config/like.json");
    EXPECT_FALSE(favourites.add(songAt("music/a.mp3")));
    EXPECT_FALSE(fs::exists("config/like.json")); // nothing changed, nothing written
    EXPECT_TRUE(favourites.add(songAt("music/b.mp3")));
    EXPECT_FALSE(favourites.add(Song())); // nothing playing: nothing to keep

    const Json::Value root = readLikeFile(scratch);
    EXPECT_EQ(root.getMemberNames(),
              (std::vector<std::string>{"name", "song_count", "songs", "version"}));
    EXPECT_EQ(root["version"].asString(), "1.0");
    EXPECT_EQ(root["name"].asString(), "like_playlist");
    EXPECT_EQ(root["song_count"].asInt(), 2);
    EXPECT_EQ(root["songs"][1]["filepath"].asString(), "music/b.mp3");
    EXPECT_TRUE(root["songs"][1]["songs"].isArray());
    EXPECT_EQ(scratch.readFile("config/like.json"), JsonFile::toStyledText(root));

    Favourites reloaded;
    reloaded.load();
    EXPECT_EQ(pathsOf(reloaded.getSongs()),
              (std::vector<std::string>{"music/a.mp3", "music/b.mp3"}));
}

TEST(FavouritesTest, RemovingMatchesTheWholePath) {
    ScratchDir scratch;
    scratch.writeFile("one/01.mp3", "");
    scratch.writeFile("two/01.mp3", "");
    Favourites favourites;
    favourites.add(songAt("one/01.mp3"));
    favourites.add(songAt("two/01.mp3"));
    EXPECT_FALSE(favourites.remove("01.mp3"));
    EXPECT_TRUE(favourites.remove("two/01.mp3"));
    favourites.load();
    EXPECT_EQ(pathsOf(favourites.getSongs()), std::vector<std::string>{"one/01.mp3"});
    EXPECT_TRUE(favourites.contains("one/01.mp3"));
    EXPECT_FALSE(favourites.contains("two/01.mp3"));
}

TEST(FavouritesTest, DeletedFilesDisappearAtTheNextLoadAndLeaveTheFileAtTheNextSave) {
    ScratchDir scratch;
    scratch.writeFile("a.mp3", "");
    scratch.writeFile("b.mp3", "");
    scratch.writeFile("c.mp3", "");
    Favourites favourites;
    for (const char* path : {"a.mp3", "b.mp3", "c.mp3"}) {
        favourites.add(songAt(path));
    }
    fs::remove("b.mp3");
    favourites.load();
    EXPECT_EQ(pathsOf(favourites.getSongs()), (std::vector<std::string>{"a.mp3", "c.mp3"}));
    EXPECT_EQ(readLikeFile(scratch)["song_count"].asInt(), 3); // not rewritten by a load
    favourites.remove("c.mp3");
    EXPECT_EQ(readLikeFile(scratch)["song_count"].asInt(), 1);
    favourites.remove("a.mp3");
    const Json::Value root = readLikeFile(scratch);
    EXPECT_EQ(root["song_count"].asInt(), 0);
    EXPECT_TRUE(root["songs"].isArray());
    EXPECT_EQ(root["songs"].size(), 0u);
}

TEST(FavouritesTest, ABrokenFileIsKeptAsideBeforeItCanBeOverwritten) {
    ScratchDir scratch;
    scratch.writeFile("a.mp3", "");
    const std::string broken = R"({"songs": [{"filepath": "a.mp3"},)";
    scratch.writeFile("config/like.json", broken);
    Favourites favourites;
    StderrCapture errors;
    favourites.load();
    EXPECT_EQ(errors.take().rfind("[ERROR] 加载喜欢列表失败: ", 0), 0u);
    EXPECT_TRUE(favourites.getSongs().empty());
    favourites.add(songAt("a.mp3"));
    EXPECT_EQ(scratch.readFile("config/like.json.bak"), broken);
    EXPECT_EQ(readLikeFile(scratch)["song_count"].asInt(), 1);

    for (const char* shape : {"[1]", R"({"songs": {"a": 1}})", "\"text\""}) {
        scratch.writeFile("config/like.json", shape);
        favourites.load();
        EXPECT_TRUE(favourites.getSongs().empty()) << shape;
        EXPECT_EQ(scratch.readFile("config/like.json.bak"), shape);
    }
    EXPECT_NE(errors.take().find("[ERROR] 加载喜欢列表失败: "), std::string::npos);
}

TEST(FavouritesTest, OneDamagedEntryDoesNotCostTheOthers) {
    ScratchDir scratch;
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) {
        scratch.writeFile(name, "");
    }
    scratch.writeFile("config/like.json", R"({"songs": [
        {"filepath": "a.mp3"},
        {"filepath": "b.mp3", "duration": "3:20"},
        {"filepath": "a.mp3", "title": "duplicate"},
        42,
        {"filepath": "c.mp3", "songs": [{"filepath": "nested.mp3"}]}
    ]})");
    Favourites favourites;
    StderrCapture errors;
    favourites.load();
    EXPECT_EQ(errors.take().rfind("[ERROR] 加载喜欢列表失败: ", 0), 0u);
    EXPECT_EQ(pathsOf(favourites.getSongs()), (std::vector<std::string>{"a.mp3", "c.mp3"}));
    EXPECT_EQ(favourites.getSongs()[1].songs.size(), 1u);
}

TEST(FavouritesTest, AnUnwritableFileKeepsTheChangeInMemory) {
    ScratchDir scratch;
    scratch.writeFile("a.mp3", "");
    fs::create_directories("config/like.json"); // a folder where the file should be
    Favourites favourites;
    StderrCapture errors;
    favourites.add(songAt("a.mp3"));
    EXPECT_EQ(errors.take(), "[ERROR] 无法创建喜欢列表文件: config/like.json\n");
    EXPECT_TRUE(favourites.contains("a.mp3"));
}
