// Every picture the pages load is in the runtime folder and reads the way its page reads it:
// plain images with SDL_image, skin images through the theme-asset codec (and scrambled, so the
// plain reader refuses them), and the default covers of the skin folders with either reader.
#include "ui/ThemeAssetCodec.h"

#include "support/SdlTestContext.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string runtimePath(const std::string& relative) {
    return std::string(MP_RUNTIME_DIR) + "/" + relative;
}

std::vector<std::string> plainPictures() {
    std::vector<std::string> pictures = {"icons/bg.png",    "icons/tbg.png",    "icons/1.png",
                                         "icons/2.png",     "icons/qbgz.png",   "icons/tfm.png",
                                         "icons/ty.png",    "icons/rtfm.png",   "icons/zg.png",
                                         "icons/dx.png",    "icons/ss.png",     "icons/ssx.png",
                                         "icons/sj.png",    "icons/eq/jd.png",  "icons/eq/e1.png",
                                         "icons/eq/e2.png", "icons/eq/dbzg.png"};
    for (const char* icon :
         {"gequ", "zhuanji", "yishujia", "shoucang", "eq", "shezhi", "bofang", "song", "gs"}) {
        pictures.push_back(std::string("icons/") + icon + ".png");
        pictures.push_back(std::string("icons/") + icon + "_l.png");
    }
    return pictures;
}

std::vector<std::string> scrambledPictures() {
    std::vector<std::string> pictures = {"icons/record/bg.png",  "icons/record/cp.png",
                                         "icons/record/pp.png",  "icons/record/bo.png",
                                         "icons/record/tn.png",  "icons/record/dbzg.png",
                                         "icons/record/zjzz.png"};
    for (const std::string folder : {"type", "typepink"}) {
        for (const char* name : {"bg", "typebg", "c", "zdbg", "db"}) {
            pictures.push_back("icons/" + folder + "/" + name + ".png");
        }
        for (int i = 1; i <= 10; ++i) {
            for (int j = 1; j <= 3; ++j) {
                pictures.push_back("icons/" + folder + "/k/" + std::to_string(i) + "-" +
                                   std::to_string(j) + ".png");
            }
        }
    }
    return pictures;
}

bool plainReaderReads(const std::string& relative) {
    return SurfacePtr(IMG_Load(runtimePath(relative).c_str())) != nullptr;
}

bool codecReads(SDL_Renderer* renderer, const std::string& relative) {
    return ThemeAssetCodec().loadTexture(renderer, runtimePath(relative)) != nullptr;
}

} // namespace

TEST(ArtworkTest, EveryPictureReadsTheWayItsPageReadsIt) {
    SdlTestContext sdl;
    for (const std::string& picture : plainPictures()) {
        EXPECT_TRUE(plainReaderReads(picture)) << picture;
    }
    for (const std::string& picture : scrambledPictures()) {
        EXPECT_TRUE(codecReads(sdl.renderer(), picture)) << picture;
        EXPECT_FALSE(plainReaderReads(picture)) << picture << " is not scrambled";
    }
    for (const std::string picture :
         {"icons/type/tfm.png", "icons/typepink/tfm.png", "icons/record/rtfm.png"}) {
        EXPECT_TRUE(plainReaderReads(picture)) << picture;
        EXPECT_TRUE(codecReads(sdl.renderer(), picture)) << picture;
    }
}
