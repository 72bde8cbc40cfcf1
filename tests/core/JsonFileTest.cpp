#include "core/JsonFile.h"

#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

// Names as old cards hold them: Latin-1, GBK, bytes that look like an encoded surrogate, a
// literal backslash-u, and valid text beside them.
TEST(JsonFileTest, EveryStringComesBackByteForByte) {
    const std::vector<std::string> strings = {"music/caf\xe9.mp3",
                                              "music/\xb8\xe8\xc7\xfa.flac",
                                              "\xed\xb2\x80\xff\xc0\xaf",
                                              "a\\udc80b",
                                              "夜曲 Ωμέγα 🎵",
                                              "cut \xe5\xa4",
                                              "\xf4\x90\x80\x80 \xe0\x80\xaf"};
    Json::Value root(Json::objectValue);
    for (const std::string& text : strings) {
        root["songs"].append(text);
        root[text] = text; // names of members too
    }
    for (const std::string& written :
         {JsonFile::toStyledText(root), JsonFile::toIndentedText(root, "    ")}) {
        Json::Value read;
        std::string error;
        ASSERT_TRUE(JsonFile::parse(written, read, error)) << error;
        EXPECT_EQ(read, root);
    }
    // Text that is not UTF-8 is written in plain ASCII, which any JSON reader accepts.
    const std::string latin1 = JsonFile::toStyledText(Json::Value("caf\xe9"));
    EXPECT_TRUE(std::all_of(latin1.begin(), latin1.end(), [](char c) { return c > 0; }));

    // Files of earlier versions escaped every character outside ASCII.
    Json::Value old;
    std::string error;
    ASSERT_TRUE(JsonFile::parse(R"(["\u6807\u9898", "\ud83d\udc80", "\\udc80"])", old, error));
    EXPECT_EQ(old[0].asString(), "标题");
    EXPECT_EQ(old[1].asString(), "💀");
    EXPECT_EQ(old[2].asString(), "\\udc80");
}

// Only a regular file of bounded size is read; anything else fails at once, never blocking.
TEST(JsonFileTest, WhatIsNotAFileOfBoundedSizeIsNotRead) {
    ScratchDir scratch;
    fs::create_directory("folder.json");
    ASSERT_EQ(mkfifo("pipe.json", 0600), 0);
    fs::create_symlink("/dev/zero", "device.json");
    scratch.writeFile("big.json", "[" + std::string(2000, ' ') + "]");
    for (const char* path : {"folder.json", "pipe.json", "device.json"}) {
        const JsonFile::ReadResult result = JsonFile::read(path);
        EXPECT_EQ(result.status, JsonFile::ReadStatus::OpenFailed) << path;
        EXPECT_FALSE(result.error.empty()) << path;
    }
    EXPECT_EQ(JsonFile::read("big.json", 1000).status, JsonFile::ReadStatus::OpenFailed);
    EXPECT_EQ(JsonFile::read("big.json").status, JsonFile::ReadStatus::Ok);
    EXPECT_EQ(JsonFile::read("absent.json").status, JsonFile::ReadStatus::Missing);
}

// A process killed at any moment of a save leaves the old file or the new one, whole.
TEST(JsonFileTest, AKilledWriterLeavesTheOldOrTheNewFile) {
    ScratchDir scratch;
    const std::string contents[2] = {std::string(3'000'000, 'a'), std::string(2'000'000, 'b')};
    ASSERT_TRUE(JsonFile::writeAtomically("file.json", contents[0]));
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delay(0, 30000);
    int seen[2] = {0, 0};
    int killedMidWrite = 0;
    for (int kill = 0; kill < 60; ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int round = 1;; ++round) {
                JsonFile::writeAtomically("file.json", contents[round % 2]);
            }
        }
        usleep(static_cast<useconds_t>(delay(random)));
        ::kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const std::string text = scratch.readFile("file.json");
        ASSERT_TRUE(text == contents[0] || text == contents[1]) << "after kill " << kill;
        ++seen[text == contents[0] ? 0 : 1];
        killedMidWrite += scratch.exists("file.json.tmp") ? 1 : 0;
    }
    EXPECT_GT(killedMidWrite, 0);
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
}
