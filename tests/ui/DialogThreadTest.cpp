#include "ui/Dialog.h"

#include "settings/GamepadConfig.h"
#include "ui/Input.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

// The frame looks at the dialog, the task ends, then the frame updates the dialog: the task must
// not run a second time (a second full rescan). And a confirmation shown while a task runs is not
// closed by the task's end.
TEST(DialogThreadTest, ATaskRunsOncePerShowAndItsEndClosesOnlyItsOwnContent) {
    SDL_Init(SDL_INIT_TIMER);
    GamepadConfig gamepad;
    Input input(gamepad);
    Dialog dialog(input);
    std::atomic<bool> release{false};
    std::atomic<int> runs{0};
    auto slowTask = [&] {
        ++runs;
        while (!release) {
            std::this_thread::yield();
        }
    };
    dialog.showLoading("", "", slowTask);
    dialog.update(); // starts the task
    ASSERT_TRUE(dialog.isVisible());
    release = true;
    dialog.waitForLoadingThread();
    dialog.update();
    EXPECT_EQ(runs.load(), 1);
    EXPECT_FALSE(dialog.isVisible());

    release = false;
    dialog.showLoading("", "", slowTask);
    dialog.update();
    dialog.showConfirm("", "", [] {});
    release = true;
    dialog.waitForLoadingThread();
    dialog.update();
    EXPECT_EQ(runs.load(), 2);
    EXPECT_TRUE(dialog.isVisible());
    SDL_Quit();
}

TEST(DialogThreadTest, DestroyingTheDialogWaitsForTheTask) {
    SDL_Init(SDL_INIT_TIMER);
    std::atomic<bool> finished{false};
    {
        GamepadConfig gamepad;
        Input input(gamepad);
        Dialog dialog(input, "", "", DialogType::LOADING);
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
