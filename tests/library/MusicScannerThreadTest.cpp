#include "library/MusicScanner.h"

#include "library/PlayList.h"
#include "support/ScratchDir.h"
#include "support/StderrCapture.h"
#include "support/SyntheticMedia.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

// Quitting asks the scan on the loading thread to stop: it returns within a second, however
// large the folder, and leaves the library, its cache and the covers as they were.
TEST(MusicScannerThreadTest, AStoppedScanReturnsWithinASecondAndKeepsTheCache) {
    constexpr int FILES = 1500; // seconds of scanning, even without sanitizers
    ScratchDir scratch;
    SyntheticMedia::Tone tone;
    tone.cover = "cover.jpg";
    SyntheticMedia::makePicture(tone.cover, 64, 64);
    SyntheticMedia::makeTone("music/0.mp3", tone);
    for (int copy = 1; copy < FILES; ++copy) {
        fs::copy_file("music/0.mp3", "music/" + std::to_string(copy) + ".mp3");
    }
    const std::string cache = R"({"songs": [], "albums": []})";
    scratch.writeFile("config/music_library.json", cache);
    scratch.writeFile("covers/earlier.jpg", "a cover the cache may name");

    PlayList playList;
    MusicScanner scanner;
    StderrCapture quiet;
    std::thread scan([&] { scanner.scanMusicFiles(&playList, {{"music"}, {".mp3"}}); });
    while (!playList.isScanning()) {
        std::this_thread::yield();
    }
    const auto asked = std::chrono::steady_clock::now();
    scanner.requestStop();
    scan.join();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(1));

    EXPECT_FALSE(playList.isScanning());
    playList.update(); // nothing was handed over
    EXPECT_EQ(playList.getLibraryVersion(), 0u);
    EXPECT_TRUE(scratch.readFile("config/music_library.json") == cache);
    EXPECT_TRUE(scratch.exists("covers/earlier.jpg"));
}
