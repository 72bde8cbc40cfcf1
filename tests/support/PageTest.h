#pragma once

#include "audio/Player.h"
#include "library/PlayList.h"
#include "support/Events.h"
#include "support/RuntimeFiles.h"
#include "support/ScratchDir.h"
#include "support/SdlTestContext.h"
#include "support/TestServices.h"
#include "ui/Dialog.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

// The pixels of one frame, compared whole.
using Frame = std::vector<uint32_t>;

// What a page test needs: a scratch working directory with the runtime's read-only files, a
// software renderer with the program's font, the services of the test's own, and the audio
// engine, play list and dialog that the application lends its pages.
class PageTest : public ::testing::Test {
protected:
    PageTest() {
        linkRuntimeResources(scratch.path(), {"resources", "icons", "lan"});
        dialog.init(sdl.renderer(), sdl.font());
        playList.setPlayer(&player);
        own.languages.init("lan");
    }

    static void deliver(UIBase& element, SDL_Event event) { element.handleEvent(&event); }
    void answerDialog(SDL_Keycode key) { deliver(dialog, keyDown(key)); }

    // Updates the element until what it prepares on other threads (a cover) is ready, so that
    // what a test draws does not depend on their pace.
    static void settle(UIBase& element) {
        element.update();
        while (!element.readyToShow()) {
            std::this_thread::yield();
            element.update();
        }
    }

    // What the element draws on a cleared screen.
    Frame drawn(UIBase& element) {
        sdl.clear({0, 0, 0, 255});
        element.render();
        SDL_RenderPresent(sdl.renderer());
        const auto* first = static_cast<const uint32_t*>(sdl.target()->pixels);
        return Frame(first, first + SdlTestContext::WIDTH * SdlTestContext::HEIGHT);
    }

    ScratchDir scratch;
    SdlTestContext sdl;
    TestServices own;
    PageServices services = own.pages();
    Player player;
    PlayList playList;
    Dialog dialog{own.input};
};
