#include "pages/SongsPage.h"

#include "app/GamepadConfig.h"
#include "audio/Player.h"
#include "library/PlayList.h"
#include "support/MediaFactory.h"
#include "support/RuntimeFiles.h"
#include "support/ScratchDir.h"
#include "support/SdlTestContext.h"
#include "ui/Dialog.h"

#include <gtest/gtest.h>

#include <filesystem>

// The first start scans on the dialog's loading thread while the main thread keeps running
// frames over the page; the page takes the finished library over in one step.
TEST(SongsPageThreadTest, FirstStartScanFillsThePageWhileFramesRun) {
    ScratchDir scratch;
    linkRuntimeResources(scratch.path());
    GamepadConfig::getInstance().load("config/gamepad.json");
    MediaFactory media("music");
    for (int i = 0; i < 6; ++i) {
        media.make("song" + std::to_string(i) + ".wav", {0.3});
    }
    SdlTestContext sdl;
    Player player;
    PlayList playList;
    Dialog dialog("", "", DialogType::INFO);
    dialog.init(sdl.renderer(), sdl.font());
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
