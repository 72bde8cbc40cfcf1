#include "library/ExistingFiles.h"

#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

// Whatever the shape of the path, the answer is the one std::filesystem::exists gives.
TEST(ExistingFilesTest, AgreesWithTheFileSystem) {
    ScratchDir scratch;
    scratch.writeFile("music/a.mp3", "");
    scratch.writeFile("top.mp3", "");
    fs::create_directories("music/folder");
    fs::create_symlink("a.mp3", "music/link.mp3");
    fs::create_symlink("gone.mp3", "music/broken.mp3");
    const std::string absolute = scratch.path() + "/music/a.mp3";
    const std::vector<std::string> paths = {"music/a.mp3",    "music/missing.mp3",
                                            "music/folder",   "music/folder/",
                                            "music/link.mp3", "music/broken.mp3",
                                            "top.mp3",        "./top.mp3",
                                            "music//a.mp3",   "music/.",
                                            "music/..",       "nowhere/a.mp3",
                                            absolute,         "/",
                                            "/etc",           "",
                                            "MUSIC/a.mp3",    "music/../top.mp3"};

    ExistingFiles existing;
    for (const std::string& path : paths) {
        std::error_code ec;
        EXPECT_EQ(existing.contains(path), !path.empty() && fs::exists(path, ec)) << path;
    }
    // A folder is read once; a file that appears afterwards is still found.
    scratch.writeFile("music/late.mp3", "");
    EXPECT_TRUE(existing.contains("music/late.mp3"));
    fs::remove("music/a.mp3");
    ExistingFiles fresh;
    EXPECT_FALSE(fresh.contains("music/a.mp3"));
}
