#include "pages/MainPage.h"

#include "settings/LanguageManager.h"
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
    EXPECT_EQ(page->getSelectedIndex(), 6); // from the first entry to "now playing"
    send(namedButtonDown("down"));
    EXPECT_EQ(page->getSelectedIndex(), 0);
    send(namedButtonDown("down"));
    send(keyDown(SDLK_DOWN));
    send(keyDown(SDLK_RETURN));
    send(namedButtonDown("a"));
    EXPECT_EQ(chosen, (std::vector<int>{2, 2}));
}

TEST_F(MainPageTest, LabelsComeFromTheLanguageAndFollowAChange) {
    EXPECT_EQ(page->getMenuItems()[0].label, "歌曲");
    page->update();
    ASSERT_TRUE(own.languages.setLanguage("en_US"));
    page->update();
    EXPECT_EQ(page->getMenuItems()[0].label, "Songs");
    EXPECT_EQ(page->getSlideItems()[0], "Rescan Music");
}

TEST_F(MainPageTest, PanelSlidesInAndOutAndTakesTheKeysWhileOpen) {
    send(keyDown(SDLK_TAB));
    EXPECT_TRUE(page->isSlideMenuOpen());
    page->update();
    EXPECT_LT(page->getSlideX(), MainPage::SLIDE_CLOSED_X);
    EXPECT_GT(page->getSlideX(), MainPage::SLIDE_OPEN_X); // on its way
    settle();
    EXPECT_EQ(page->getSlideX(), MainPage::SLIDE_OPEN_X);

    send(keyDown(SDLK_F5)); // the menu's keys do not act while the panel is open
    EXPECT_FALSE(dialog.isVisible());
    send(namedButtonDown("b"));
    EXPECT_FALSE(page->isSlideMenuOpen());
    page->update();
    EXPECT_LT(page->getSlideX(), MainPage::SLIDE_CLOSED_X); // still sliding out
    settle();
    EXPECT_EQ(page->getSlideX(), MainPage::SLIDE_CLOSED_X);
    send(namedButtonDown("menu"));
    EXPECT_TRUE(page->isSlideMenuOpen());
}

TEST_F(MainPageTest, PanelEntriesShowTheGuideRescanAndQuit) {
    send(keyDown(SDLK_TAB));
    send(keyDown(SDLK_DOWN));
    send(keyDown(SDLK_RETURN)); // key guide
    EXPECT_TRUE(page->isKeyGuideVisible());
    send(namedButtonDown("right"));
    EXPECT_EQ(page->getKeyGuideIndex(), 1);
    send(keyDown(SDLK_DOWN)); // ignored while the guide is shown
    send(keyDown(SDLK_ESCAPE));
    EXPECT_FALSE(page->isKeyGuideVisible());
    EXPECT_EQ(page->getSelectedIndex(), 0);

    send(keyDown(SDLK_TAB));
    send(keyDown(SDLK_UP)); // from the guide entry back to the rescan entry
    send(keyDown(SDLK_RETURN));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.getType(), DialogType::LOADING);
    EXPECT_FALSE(page->isSlideMenuOpen());

    dialog.hide();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    send(keyDown(SDLK_TAB));
    send(keyDown(SDLK_UP)); // wraps to the exit entry
    send(keyDown(SDLK_RETURN));
    SDL_Event event;
    ASSERT_TRUE(SDL_PollEvent(&event));
    EXPECT_EQ(event.type, static_cast<Uint32>(SDL_QUIT));
    EXPECT_TRUE(page->isSlideMenuOpen());
}

TEST_F(MainPageTest, BothShoulderButtonsHeldTogetherOrF5Rescan) {
    send(keyDown(SDLK_F5));
    EXPECT_EQ(dialog.getType(), DialogType::LOADING);
    dialog.hide();
    send(namedButtonDown("l1"));
    send(namedButtonUp("l1"));
    send(namedButtonDown("r1"));
    EXPECT_FALSE(dialog.isVisible());
    send(namedButtonDown("l1")); // r1 still held
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.getType(), DialogType::LOADING);
}
