#include "ui/Dialog.h"

#include "settings/GamepadConfig.h"
#include "support/Events.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Runs frames the way the application does while the dialog is visible: update after drawing.
void runFramesWhileVisible(Dialog& dialog) {
    for (int frame = 0; frame < 2000 && dialog.isVisible(); ++frame) {
        dialog.render();
        dialog.update();
        SDL_Delay(1);
    }
}

} // namespace

TEST(DialogThreadTest, LoadingTaskRunsOnItsOwnThreadAndClosesTheDialog) {
    SDL_Init(SDL_INIT_TIMER);
    Dialog dialog("提示", "歌曲载入中...请稍后...", DialogType::INFO);
    std::vector<int> built;
    std::atomic<bool> ranElsewhere{false};
    std::thread::id mainThread = std::this_thread::get_id();
    dialog.setType("LOADING");
    dialog.setLoadingTask([&] {
        ranElsewhere = std::this_thread::get_id() != mainThread;
        for (int i = 0; i < 1000; ++i) {
            built.push_back(i);
        }
    });
    dialog.show();
    runFramesWhileVisible(dialog);
    EXPECT_FALSE(dialog.isVisible());
    dialog.waitForLoadingThread();
    EXPECT_TRUE(ranElsewhere);
    EXPECT_EQ(built.size(), 1000u); // the task's result is visible to the main thread
    EXPECT_FALSE(Dialog::isLoadingThreadRunning());
    SDL_Quit();
}

TEST(DialogThreadTest, ClosedByAKeyTheTaskGoesOnAndItsEndClosesLaterContent) {
    SDL_Init(SDL_INIT_TIMER);
    GamepadConfig::getInstance().load("no-such-file.json");
    Dialog dialog("", "", DialogType::LOADING);
    std::atomic<bool> release{false};
    std::atomic<int> runs{0};
    dialog.setLoadingTask([&] {
        ++runs;
        while (!release) {
            SDL_Delay(1);
        }
    });
    dialog.show();
    dialog.update(); // starts the thread
    EXPECT_TRUE(Dialog::isLoadingThreadRunning());
    while (runs == 0) {
        SDL_Delay(1);
    }
    SDL_Event escape = keyDown(SDLK_ESCAPE);
    dialog.handleEvent(&escape);
    EXPECT_FALSE(dialog.isVisible());

    // The page shows other content on the same dialog while the task still runs; a second
    // loading run cannot start meanwhile.
    dialog.setType("INFO");
    dialog.show();
    dialog.setType("LOADING");
    dialog.update();
    EXPECT_EQ(runs.load(), 1);
    release = true;
    runFramesWhileVisible(dialog);
    EXPECT_FALSE(dialog.isVisible());
    dialog.waitForLoadingThread();
    EXPECT_EQ(runs.load(), 1);
    SDL_Quit();
}

TEST(DialogThreadTest, DestroyingTheDialogWaitsForTheTask) {
    SDL_Init(SDL_INIT_TIMER);
    std::atomic<bool> finished{false};
    {
        Dialog dialog("", "", DialogType::LOADING);
        dialog.setLoadingTask([&] {
            SDL_Delay(200);
            finished = true;
        });
        dialog.show();
        dialog.update();
    }
    EXPECT_TRUE(finished);
    SDL_Quit();
}
