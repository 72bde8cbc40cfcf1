// Every picture the pages load is in the runtime folder and reads the way its page reads it:
// plain images with SDL_image, skin images through the theme-asset codec (and scrambled, so the
// plain reader refuses them), and the default covers of the skin folders with either reader.
#include "ui/ThemeAssetCodec.h"

#include "support/SdlTestContext.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

// Skin pictures are scrambled; the menu's pictures and the skins' default covers are plain.
bool isScrambledSkinPicture(const fs::path& relative) {
    const std::string top = relative.begin()->string();
    const std::string name = relative.filename().string();
    return (top == "record" || top == "type" || top == "typepink") && name != "tfm.png" &&
           name != "rtfm.png";
}

} // namespace

TEST(ArtworkTest, EveryPictureReadsTheWayItsPageReadsIt) {
    SdlTestContext sdl;
    const fs::path icons = fs::path(MP_RUNTIME_DIR) / "icons";
    int scrambled = 0;
    for (const auto& entry : fs::recursive_directory_iterator(icons)) {
        if (entry.path().extension() != ".png") {
            continue;
        }
        const std::string path = entry.path().string();
        const bool plainReads = SurfacePtr(IMG_Load(path.c_str())) != nullptr;
        EXPECT_NE(ThemeAssetCodec().loadTexture(sdl.renderer(), path), nullptr) << path;
        if (isScrambledSkinPicture(fs::relative(entry.path(), icons))) {
            EXPECT_FALSE(plainReads) << path << " is not scrambled";
            ++scrambled;
        } else {
            EXPECT_TRUE(plainReads) << path;
        }
    }
    EXPECT_GT(scrambled, 0);
}
