#include "settings/GamepadConfig.h"

#include "support/ScratchDir.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

TEST(GamepadConfigTest, AFileOverridesAndAddsNamesOverTheBuiltInMappingOrFallsBackToIt) {
    ScratchDir scratch;
    GamepadConfig config;
    StderrCapture errors;
    EXPECT_FALSE(config.load("config/gamepad.json")); // missing: built in, and no complaint
    EXPECT_EQ(errors.take(), "");
    const int up = config.getButton("up");
    EXPECT_EQ(config.getButton("back"), -1);

    scratch.writeFile("config/gamepad.json", R"({"a": 0, "menu": 10, "back": 4})");
    EXPECT_TRUE(config.load("config/gamepad.json"));
    EXPECT_EQ(errors.take(), "");
    EXPECT_EQ(config.getButton("a"), 0);
    EXPECT_EQ(config.getButton("menu"), 10);
    EXPECT_EQ(config.getButton("back"), 4);
    EXPECT_EQ(config.getButton("up"), up);

    // A malformed file falls back to the built-in mapping.
    for (const char* text : {"{", "[1, 2]", "{\"a\": {\"nested\": 1}}", "{\"a\": 1e40}"}) {
        scratch.writeFile("config/gamepad.json", text);
        EXPECT_FALSE(config.load("config/gamepad.json")) << text;
        EXPECT_NE(errors.take(), "") << text;
        EXPECT_NE(config.getButton("a"), config.getButton("b")) << text;
    }
}
