#pragma once

#include "support/ScratchDir.h"

#include <json/json.h>

#include <string>

class Config;

// Parses a JSON file of the scratch folder; a file that does not parse fails the test.
Json::Value readJsonFile(const ScratchDir& scratch, const std::string& relativePath);

// Writes text as "config/settings.json" and has config start over from it.
Config& loadSettingsText(const ScratchDir& scratch, Config& config, const std::string& text);
