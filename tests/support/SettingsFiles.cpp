#include "support/SettingsFiles.h"

#include "core/JsonFile.h"
#include "settings/Config.h"

#include <gtest/gtest.h>

Json::Value readJsonFile(const ScratchDir& scratch, const std::string& relativePath) {
    Json::Value root;
    std::string error;
    EXPECT_TRUE(JsonFile::parse(scratch.readFile(relativePath), root, error))
        << relativePath << ": " << error;
    return root;
}

Config& loadSettingsText(const ScratchDir& scratch, Config& config, const std::string& text) {
    scratch.writeFile(Config::DEFAULT_PATH, text);
    EXPECT_TRUE(config.reset()) << text;
    return config;
}
