#include "settings/ThemeManager.h"

#include "support/ScratchDir.h"
#include "support/SettingsFiles.h"

#include <gtest/gtest.h>

namespace {

const char* const THEMES = "config/themes.json";

} // namespace

TEST(ThemeManagerTest, ChoosingTheDefaultThemeWritesItsColoursAndAnUnknownOneNothing) {
    ScratchDir scratch;
    ThemeManager themes;
    EXPECT_FALSE(themes.setCurrentTheme("磁带"));
    EXPECT_FALSE(scratch.exists("config"));
    ASSERT_TRUE(themes.setCurrentTheme(themes.getCurrentTheme()));

    const Json::Value root = readJsonFile(scratch, THEMES);
    const Json::Value& theme = root["themes"][themes.getCurrentTheme()];
    const SDL_Color primary = themes.getCurrentColors().primary;
    EXPECT_EQ(theme["primary"]["b"], primary.b);
    EXPECT_EQ(theme["topbar"]["battery"]["low"]["r"], themes.getCurrentColors().batteryLow.r);
}
