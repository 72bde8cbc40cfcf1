#include "settings/Config.h"

#include "core/JsonFile.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const SETTINGS = "config/settings.json";
constexpr int KILLS = 200;
constexpr int PAYLOAD_ENTRIES = 300; // makes each save several kilobytes, written in pieces
constexpr int MAX_DELAY_MICROSECONDS = 12000;
constexpr char SIGNAL_BYTE = 1;

std::string payloadPath(int index) {
    return "payload.entry" + std::to_string(index);
}

// Runs in the child until it is killed: every save stamps the whole file with a new
// generation, so a torn write would show as a file that does not parse or mixes generations.
// It reports on the pipe once when it has loaded the file and once after every save.
[[noreturn]] void saveForever(int progressPipe) {
    Config& config = Config::getInstance();
    long generation = std::stol(config.getString("generation", "0"));
    if (write(progressPipe, &SIGNAL_BYTE, 1) != 1) {
        _exit(1);
    }
    while (true) {
        ++generation;
        const std::string stamp = std::to_string(generation);
        config.setString("generation", stamp);
        for (int index = 0; index < PAYLOAD_ENTRIES; ++index) {
            config.setString(payloadPath(index), stamp);
        }
        if (!config.save() || write(progressPipe, &SIGNAL_BYTE, 1) != 1) {
            _exit(1);
        }
    }
}

// The generation the file holds, after checking that every part of it agrees.
long checkedGeneration(const ScratchDir& scratch) {
    Json::Value root;
    std::string error;
    const std::string text = scratch.readFile(SETTINGS);
    if (!JsonFile::parse(text, root, error)) {
        ADD_FAILURE() << "the settings file does not parse: " << error;
        return -1;
    }
    const std::string stamp = root["generation"].asString();
    for (int index = 0; index < PAYLOAD_ENTRIES; ++index) {
        if (root["payload"]["entry" + std::to_string(index)].asString() != stamp) {
            ADD_FAILURE() << "entry " << index << " is not of generation " << stamp;
            return -1;
        }
    }
    return std::stol(stamp);
}

} // namespace

TEST(ConfigSaveKillTest, AProcessKilledWhileSavingLeavesAWholeOldOrNewFile) {
    ScratchDir scratch;
    Json::Value first;
    first["generation"] = "0";
    first["display"]["backlight"]["timeout"] = 30;
    for (int index = 0; index < PAYLOAD_ENTRIES; ++index) {
        first["payload"]["entry" + std::to_string(index)] = "0";
    }
    scratch.writeFile(SETTINGS, JsonFile::toStyledText(first));
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> delay(0, MAX_DELAY_MICROSECONDS);
    long lastGeneration = 0;
    int killsDuringAWrite = 0;
    for (int kill = 0; kill < KILLS; ++kill) {
        int progress[2];
        ASSERT_EQ(pipe(progress), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            saveForever(progress[1]);
        }
        // Kill at a random moment of the saving loop, not while the child is starting; a third of
        // the children first finish a save, so new generations reach the file however slow the
        // disk is.
        const int reportsToWaitFor = kill % 3 == 0 ? 2 : 1;
        char byte = 0;
        for (int report = 0; report < reportsToWaitFor; ++report) {
            ASSERT_EQ(read(progress[0], &byte, 1), 1);
        }
        usleep(static_cast<useconds_t>(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        close(progress[0]);
        close(progress[1]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself";

        killsDuringAWrite += scratch.exists("config/settings.json.tmp") ? 1 : 0;
        long generation = checkedGeneration(scratch);
        ASSERT_GE(generation, lastGeneration) << "after kill " << kill;
        lastGeneration = generation;
    }
    EXPECT_GT(lastGeneration, 0) << "the children never saved";
    EXPECT_GT(killsDuringAWrite, 0) << "no kill landed in the middle of a save";
    RecordProperty("kills_during_a_write", killsDuringAWrite);
    RecordProperty("generations", static_cast<int>(lastGeneration));
}
