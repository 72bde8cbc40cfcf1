#include "pages/MainPage.h"

#include "support/PageTest.h"

#include <gtest/gtest.h>

namespace {

class MainPageTest : public PageTest {
protected:
    void SetUp() override {
        page = std::make_unique<MainPage>(services, nullptr, &playList, &dialog);
        page->init(sdl.renderer(), sdl.font());
        page->setMenuCallback([this](int index) { chosen.push_back(index); });
    }

    void send(SDL_Event event) { deliver(*page, event); }

    void settle() {
        for (int frame = 0; frame < 60; ++frame) {
            page->update();
        }
    }

    std::unique_ptr<MainPage> page;
    std::vector<int> chosen;
};

} // namespace

TEST_F(MainPageTest, SelectionWrapsAndChoosingReportsTheIndex) {
    send(keyDown(SDLK_UP));
    send(keyDown(SDLK_RETURN)); // from the first entry to "now playing"
    send(namedButtonDown("down"));
    send(namedButtonDown("a"));
    send(namedButtonDown("down"));
    send(keyDown(SDLK_DOWN));
    send(keyDown(SDLK_RETURN));
    send(namedButtonDown("a"));
    EXPECT_EQ(chosen, (std::vector<int>{6, 0, 2, 2}));
}

TEST_F(MainPageTest, PanelSlidesInAndOutAndTakesTheKeysWhileOpen) {
    const Frame closed = drawn(*page);
    send(namedButtonDown("menu")); // Tab opens it in the journeys
    page->update();
    const Frame slidingIn = drawn(*page);
    settle();
    const Frame open = drawn(*page);
    EXPECT_TRUE(slidingIn != closed && slidingIn != open); // on its way

    send(keyDown(SDLK_F5)); // the menu's keys do not act while the panel is open
    EXPECT_FALSE(dialog.isVisible());
    send(namedButtonDown("b"));
    page->update();
    const Frame slidingOut = drawn(*page);
    EXPECT_TRUE(slidingOut != open && slidingOut != closed); // on its way
    settle();
    EXPECT_EQ(drawn(*page), closed);
}

TEST_F(MainPageTest, PanelEntriesShowTheGuideAndRescan) {
    const Frame menu = drawn(*page);
    send(keyDown(SDLK_TAB));
    send(keyDown(SDLK_DOWN));
    send(keyDown(SDLK_RETURN)); // key guide
    const Frame guide = drawn(*page);
    EXPECT_NE(guide, menu);
    send(namedButtonDown("right"));
    const Frame secondGuide = drawn(*page);
    EXPECT_NE(secondGuide, guide);
    send(keyDown(SDLK_DOWN)); // ignored while the guide is shown
    EXPECT_EQ(drawn(*page), secondGuide);
    send(keyDown(SDLK_ESCAPE));
    settle();
    EXPECT_EQ(drawn(*page), menu);

    send(keyDown(SDLK_TAB));
    send(keyDown(SDLK_UP)); // from the guide entry back to the rescan entry
    send(keyDown(SDLK_RETURN));
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(MainPageTest, BothShoulderButtonsHeldTogetherOrF5Rescan) {
    send(keyDown(SDLK_F5));
    EXPECT_TRUE(dialog.isVisible());
    dialog.hide();
    send(namedButtonDown("l1"));
    send(namedButtonUp("l1"));
    send(namedButtonDown("r1"));
    EXPECT_FALSE(dialog.isVisible());
    send(namedButtonDown("l1")); // r1 still held
    EXPECT_TRUE(dialog.isVisible());
}
