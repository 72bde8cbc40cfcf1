#include "pages/SongsPage.h"

#include "support/MediaFactory.h"
#include "support/PageTest.h"

#include <gtest/gtest.h>

#include <filesystem>

// The first start scans on the dialog's loading thread while the main thread keeps running
// frames over the page; the page takes the finished library over in one step.
class SongsPageThreadTest : public PageTest {};

TEST_F(SongsPageThreadTest, FirstStartScanFillsThePageWhileFramesRun) {
    MediaFactory media("music");
    for (int i = 0; i < 6; ++i) {
        media.make("song" + std::to_string(i) + ".wav", {0.3});
    }
    SongsPage page(&playList, &player, &dialog);
    page.init(sdl.renderer(), sdl.font());
    ASSERT_TRUE(dialog.isVisible());

    int frames = 0;
    for (; frames < 3000 && (dialog.isVisible() || page.getSongs().empty()); ++frames) {
        page.update();
        page.render();
        if (dialog.isVisible()) {
            dialog.render();
            dialog.update();
        }
        SDL_Delay(2);
    }
    dialog.waitForLoadingThread();
    EXPECT_EQ(page.getSongs().size(), 6u);
    EXPECT_EQ(playList.getLibrarySongs().size(), 6u);
    EXPECT_TRUE(std::filesystem::exists("config/music_library.json"));
}
