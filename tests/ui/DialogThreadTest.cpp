#include "ui/Dialog.h"

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

// The frame looks at the dialog, the task ends, then the frame updates the dialog: the task must
// not run a second time (a second full rescan). And a confirmation shown while a task runs is not
// closed by the task's end.
TEST(DialogThreadTest, ATaskRunsOncePerShowAndItsEndClosesOnlyItsOwnContent) {
    SDL_Init(SDL_INIT_TIMER);
    Dialog dialog("", "", DialogType::INFO);
    std::atomic<bool> release{false};
    std::atomic<int> runs{0};
    auto slowTask = [&] {
        ++runs;
        while (!release) {
            std::this_thread::yield();
        }
    };
    auto waitForTheTaskToEnd = [] {
        while (Dialog::isLoadingThreadRunning()) {
            std::this_thread::yield();
        }
    };
    dialog.showLoading("", "", slowTask);
    dialog.update(); // starts the task
    ASSERT_TRUE(dialog.isVisible());
    release = true;
    waitForTheTaskToEnd();
    dialog.update();
    dialog.waitForLoadingThread();
    EXPECT_EQ(runs.load(), 1);
    EXPECT_FALSE(dialog.isVisible());

    release = false;
    dialog.showLoading("", "", slowTask);
    dialog.update();
    dialog.showConfirm("", "", [] {});
    release = true;
    waitForTheTaskToEnd();
    dialog.update();
    dialog.waitForLoadingThread();
    EXPECT_EQ(runs.load(), 2);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.getType(), DialogType::CONFIRM);
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
