#include "ui/Dialog.h"

#include "settings/GamepadConfig.h"
#include "support/Events.h"
#include "support/SdlTestContext.h"
#include "ui/Input.h"

#include "ui/Draw.h"

#include <gtest/gtest.h>

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
    showConfirm();
    press(keyDown(SDLK_RETURN));
    EXPECT_EQ(confirmed, 1);
    EXPECT_FALSE(dialog.isVisible());

    showConfirm();
    press(namedButtonDown("b"));
    EXPECT_EQ(cancelled, 1);
    EXPECT_FALSE(dialog.isVisible());

    showConfirm();
    press(namedButtonDown("a")); // SDL's B button on this console
    EXPECT_EQ(confirmed, 2);

    showConfirm();
    press(keyDown(SDLK_ESCAPE));
    EXPECT_EQ(cancelled, 2);
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

TEST_F(DialogTest, ConfirmWithoutActionJustCloses) {
    dialog.setType("CONFIRM");
    dialog.show();
    press(namedButtonDown("a"));
    EXPECT_FALSE(dialog.isVisible());
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

// A hidden dialog leaves the page alone; a shown one dims it.
TEST(DialogDrawingTest, HiddenDrawsNothingAndAShownDialogDimsThePage) {
    SdlTestContext sdl;
    GamepadConfig gamepad;
    Input input(gamepad);
    Dialog dialog(input, "提示", "是否从喜爱列表里删除歌曲？", DialogType::CONFIRM);
    dialog.init(sdl.renderer(), sdl.font());
    sdl.clear(Draw::WHITE);
    dialog.render();
    EXPECT_EQ(sdl.pixel(5, 5), Draw::WHITE);
    dialog.show();
    dialog.render();
    EXPECT_NE(sdl.pixel(5, 5), Draw::WHITE);
}
