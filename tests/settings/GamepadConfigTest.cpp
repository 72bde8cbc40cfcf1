#include "settings/GamepadConfig.h"

#include "support/ScratchDir.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

TEST(GamepadConfigTest, BuiltInMappingWhenFileIsMissing) {
    ScratchDir scratch;
    GamepadConfig& config = GamepadConfig::getInstance();
    StderrCapture errors;
    EXPECT_FALSE(config.load("config/gamepad.json"));
    EXPECT_EQ(errors.take(), "");
    EXPECT_EQ(config.getButton("a"), 1);
    EXPECT_EQ(config.getButton("back"), -1);
}

TEST(GamepadConfigTest, FileOverridesAndAddsNames) {
    ScratchDir scratch;
    scratch.writeFile("config/gamepad.json", R"({"a": 0, "b": 1, "menu": 10, "back": 4})");
    GamepadConfig& config = GamepadConfig::getInstance();
    EXPECT_TRUE(config.load("config/gamepad.json"));
    EXPECT_EQ(config.getButton("a"), 0);
    EXPECT_EQ(config.getButton("b"), 1);
    EXPECT_EQ(config.getButton("menu"), 10);
    EXPECT_EQ(config.getButton("r1"), 10); // two names may share a number
    EXPECT_EQ(config.getButton("back"), 4);
    EXPECT_EQ(config.getButton("up"), 11); // untouched names keep their built-in numbers
}

TEST(GamepadConfigTest, MalformedFilesFallBackToBuiltIns) {
    ScratchDir scratch;
    GamepadConfig& config = GamepadConfig::getInstance();
    for (const char* text : {"{", "[1, 2]", "{\"a\": {\"nested\": 1}}", "{\"a\": 1e40}"}) {
        scratch.writeFile("config/gamepad.json", text);
        StderrCapture errors;
        EXPECT_FALSE(config.load("config/gamepad.json")) << text;
        EXPECT_NE(errors.take().find("[ERROR] 加载手柄配置失败: "), std::string::npos) << text;
        EXPECT_EQ(config.getButton("b"), 0) << text;
    }
}
