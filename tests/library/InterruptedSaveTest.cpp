#include "library/Favourites.h"
#include "library/LibraryCache.h"

#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

// A process killed in the middle of saving must leave the old file or the new one, never a
// mixture or a truncated file.

namespace {

constexpr int KILLS = 40;
// Kills go on past KILLS (up to this many) until enough of them have landed mid-write.
constexpr int MOST_KILLS = 400;
constexpr int MID_WRITE_KILLS_WANTED = 3;
constexpr int SAVES_WITHIN_REACH = 3;

// Saves over and over in a child process (alternating between two contents, starting with the
// one not on disk), kills it at a random moment within its first few saves, and checks what is
// left on disk each time. The file holds the first content when this is called.
void expectEveryKillLeavesAWholeFile(const ScratchDir& scratch, const std::string& path,
                                     const std::function<void(int)>& saveContent,
                                     const std::string& first, const std::string& second) {
    const auto start = std::chrono::steady_clock::now();
    saveContent(0);
    const auto oneSave = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    std::mt19937 random(12345);
    std::uniform_int_distribution<long> delay(0, oneSave.count() * SAVES_WITHIN_REACH);
    int sawFirst = 0;
    int sawSecond = 0;
    int killedMidWrite = 0;
    for (int kill = 0; kill < MOST_KILLS; ++kill) {
        if (kill >= KILLS && killedMidWrite >= MID_WRITE_KILLS_WANTED && sawFirst > 0 &&
            sawSecond > 0) {
            break;
        }
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int round = 1;; ++round) {
                saveContent(round % 2);
            }
        }
        usleep(static_cast<useconds_t>(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::string text = scratch.readFile(path);
        ASSERT_TRUE(text == first || text == second)
            << "after kill " << kill << ": " << text.size() << " bytes";
        (text == first ? sawFirst : sawSecond)++;
        killedMidWrite += scratch.exists(path + ".tmp") ? 1 : 0;
    }
    // The kills really did land in the middle of saves, and both contents turned up.
    EXPECT_GT(killedMidWrite, 0);
    EXPECT_GT(sawFirst, 0);
    EXPECT_GT(sawSecond, 0);
}

Song songNumber(int number) {
    Song song;
    song.filepath = "music/" + std::to_string(number) + ".mp3";
    song.title = "Song number " + std::to_string(number);
    song.artist = "Artist";
    song.album = "Album " + std::to_string(number / 10);
    song.coverPath = "icons/tfm.png";
    song.duration = number * 1.5;
    return song;
}

} // namespace

TEST(InterruptedSaveTest, LibraryCache) {
    ScratchDir scratch;
    Library libraries[2];
    for (int number = 0; number < 1000; ++number) {
        libraries[0].songs.push_back(songNumber(number));
    }
    libraries[1].songs.assign(libraries[0].songs.begin(), libraries[0].songs.begin() + 500);
    const std::string path = "config/music_library.json";
    auto save = [&](int which) { LibraryCache::saveNamed("music_library", libraries[which]); };
    save(1);
    const std::string second = scratch.readFile(path);
    save(0);
    const std::string first = scratch.readFile(path);
    expectEveryKillLeavesAWholeFile(scratch, path, save, first, second);
}

TEST(InterruptedSaveTest, Favourites) {
    ScratchDir scratch;
    std::string lists[2] = {R"({"songs": [)", R"({"songs": [)"};
    for (int number = 0; number < 400; ++number) {
        scratch.writeFile(songNumber(number).filepath, "");
        const std::string entry =
            R"({"filepath": ")" + songNumber(number).filepath + R"(", "title": "T"},)";
        lists[0] += entry;
        lists[1] += number % 2 ? entry : "";
    }
    Favourites favourites[2];
    for (int which = 0; which < 2; ++which) {
        lists[which].back() = ']';
        scratch.writeFile(Favourites::DEFAULT_PATH, lists[which] + "}");
        favourites[which].load();
    }
    auto save = [&](int which) { favourites[which].save(); };
    save(1);
    const std::string second = scratch.readFile(Favourites::DEFAULT_PATH);
    save(0);
    const std::string first = scratch.readFile(Favourites::DEFAULT_PATH);
    ASSERT_NE(first, second);
    expectEveryKillLeavesAWholeFile(scratch, Favourites::DEFAULT_PATH, save, first, second);
}
