#include "ui/Dialog.h"

#include "settings/GamepadConfig.h"
#include "support/Events.h"
#include "ui/Input.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

class DialogTest : public ::testing::Test {
protected:
    void press(SDL_Event event) { dialog.handleEvent(&event); }

    void showConfirm() {
        dialog.setType("CONFIRM");
        dialog.setOnConfirm([this] { ++confirmed; });
        dialog.setOnCancel([this] { ++cancelled; });
        dialog.show();
    }

    GamepadConfig gamepad;
    Input input{gamepad};
    Dialog dialog{input};
    int confirmed = 0;
    int cancelled = 0;
};

} // namespace

TEST_F(DialogTest, ConfirmRunsTheChosenActionThenCloses) {
    const std::pair<SDL_Event, bool> answers[] = {{keyDown(SDLK_RETURN), true},
                                                  {namedButtonDown("b"), false},
                                                  {namedButtonDown("a"), true}, // SDL's B here
                                                  {keyDown(SDLK_ESCAPE), false}};
    for (const auto& [event, confirms] : answers) {
        confirmed = cancelled = 0;
        showConfirm();
        press(event);
        EXPECT_EQ(confirmed, confirms ? 1 : 0);
        EXPECT_EQ(cancelled, confirms ? 0 : 1);
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST_F(DialogTest, OtherInputNeverClosesADialog) {
    showConfirm();
    for (SDL_Event event : {keyDown(SDLK_SPACE), keyUp(SDLK_RETURN), namedButtonUp("a"),
                            namedButtonDown("x"), buttonDown(SDL_CONTROLLER_BUTTON_A + 100)}) {
        press(event);
    }
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(confirmed + cancelled, 0);
}

TEST_F(DialogTest, KeysCloseEveryKindButOnlyConfirmRunsActions) {
    for (const char* kind : {"INFO", "WARNING", "ERROR", "LOADING"}) {
        dialog.setType(kind);
        dialog.setOnConfirm([this] { ++confirmed; });
        dialog.show();
        press(keyDown(SDLK_RETURN));
        EXPECT_FALSE(dialog.isVisible()) << kind;
    }
    EXPECT_EQ(confirmed, 0);
}

TEST_F(DialogTest, InfoClosesItselfAfterTwoSecondsAndShowRestartsTheTimer) {
    uint64_t time = 0;
    dialog.setClock([&time] { return time; });
    dialog.setType("INFO");
    dialog.show();
    time = 1500;
    dialog.show(); // restarts the 2000 ms
    time = 3499;
    dialog.update();
    EXPECT_TRUE(dialog.isVisible());
    time = 3500;
    dialog.update();
    EXPECT_FALSE(dialog.isVisible());
}
