#include "ui/Dialog.h"

#include "settings/GamepadConfig.h"
#include "support/Events.h"
#include "support/SdlTestContext.h"

#include "ui/Draw.h"

#include <gtest/gtest.h>

namespace {

constexpr SDL_Color CANCEL_RED{237, 10, 10, 255};
constexpr SDL_Color BOX_FILL{40, 40, 40, 255};
constexpr SDL_Color TITLE_FILL{36, 36, 36, 255};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { GamepadConfig::getInstance().load("no-such-file.json"); }

    void press(SDL_Event event) { dialog.handleEvent(&event); }

    void showConfirm() {
        dialog.setType("CONFIRM");
        dialog.setOnConfirm([this] { ++confirmed; });
        dialog.setOnCancel([this] { ++cancelled; });
        dialog.show();
    }

    Dialog dialog{"", "", DialogType::INFO};
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

TEST_F(DialogTest, ActionThatShowsTheDialogAgainKeepsItsMessageOnScreen) {
    dialog.setType("CONFIRM");
    dialog.setOnConfirm([this] {
        dialog.hide();
        dialog.setType("ERROR");
        dialog.setMessage("not saved");
        dialog.show();
    });
    dialog.show();
    press(keyDown(SDLK_RETURN));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.getMessage(), "not saved");
}

TEST_F(DialogTest, UnknownTypeNameKeepsTheKind) {
    dialog.setType("WARNING");
    dialog.setType("warning");
    dialog.setType("");
    EXPECT_EQ(dialog.getType(), DialogType::WARNING);
}

TEST_F(DialogTest, ShowingAnotherDialogHidesTheFirst) {
    Dialog other("t", "m", DialogType::INFO);
    dialog.show();
    other.show();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(other.isVisible());
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

TEST(DialogDrawingTest, ConfirmDialogDimsThePageAndDrawsBoxAndButtons) {
    SdlTestContext sdl;
    Dialog dialog("提示", "是否从喜爱列表里删除歌曲？", DialogType::CONFIRM);
    dialog.init(sdl.renderer(), sdl.font());
    sdl.clear(Draw::WHITE);
    dialog.render(); // hidden: draws nothing
    EXPECT_EQ(sdl.pixel(5, 5), Draw::WHITE);

    dialog.show();
    dialog.render();
    EXPECT_EQ(sdl.pixel(5, 5), (SDL_Color{63, 63, 63, 255})); // white under 192/255 black
    EXPECT_EQ(sdl.pixel(125, 200), BOX_FILL);
    EXPECT_EQ(sdl.pixel(120, 140), (SDL_Color{80, 80, 80, 255})); // outline
    EXPECT_EQ(sdl.pixel(142, 162), TITLE_FILL);
    EXPECT_EQ(sdl.pixel(212, 287), Draw::GREEN); // OK button at (210, 285)
    EXPECT_EQ(sdl.pixel(308, 313), Draw::GREEN);
    EXPECT_EQ(sdl.pixel(332, 287), CANCEL_RED); // Cancel button at (330, 285)
    EXPECT_EQ(sdl.pixel(315, 300), BOX_FILL);   // the 20-pixel gap
}

TEST(DialogDrawingTest, WarningHasOneCentredButtonAndLoadingASpinner) {
    SdlTestContext sdl;
    Dialog dialog("", "", DialogType::WARNING);
    dialog.init(sdl.renderer(), sdl.font());
    dialog.show();
    sdl.clear(Draw::WHITE);
    dialog.render();
    EXPECT_EQ(sdl.pixel(272, 287), Draw::GREEN); // (270, 285, 100, 30)
    EXPECT_EQ(sdl.pixel(368, 313), Draw::GREEN);
    EXPECT_EQ(sdl.pixel(212, 287), BOX_FILL);

    dialog.setType("LOADING");
    sdl.clear(Draw::WHITE);
    dialog.render();
    int arcPixels = 0;
    for (int y = 280; y <= 320; ++y) {
        for (int x = 300; x <= 340; ++x) {
            arcPixels += sdl.pixel(x, y) == Draw::WHITE;
        }
    }
    EXPECT_GT(arcPixels, 40); // a 300-degree arc of radius 15 around (320, 300)
    EXPECT_EQ(sdl.pixel(320, 300), BOX_FILL);
}
