#include "settings/GamepadConfig.h"

#include "core/JsonFile.h"
#include "core/Log.h"

#include <SDL.h>

#include <exception>

namespace {

const std::map<std::string, int>& builtInMapping() {
    // The console reports its "a" and "b" buttons where SDL has B and A, and its L2/R2 as
    // stick clicks.
    static const std::map<std::string, int> mapping = {
        {"up", SDL_CONTROLLER_BUTTON_DPAD_UP},
        {"down", SDL_CONTROLLER_BUTTON_DPAD_DOWN},
        {"left", SDL_CONTROLLER_BUTTON_DPAD_LEFT},
        {"right", SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
        {"a", SDL_CONTROLLER_BUTTON_B},
        {"b", SDL_CONTROLLER_BUTTON_A},
        {"y", SDL_CONTROLLER_BUTTON_Y},
        {"x", SDL_CONTROLLER_BUTTON_X},
        {"select", SDL_CONTROLLER_BUTTON_BACK},
        {"start", SDL_CONTROLLER_BUTTON_START},
        {"menu", SDL_CONTROLLER_BUTTON_GUIDE},
        {"l1", SDL_CONTROLLER_BUTTON_LEFTSHOULDER},
        {"l2", SDL_CONTROLLER_BUTTON_LEFTSTICK},
        {"r1", SDL_CONTROLLER_BUTTON_RIGHTSHOULDER},
        {"r2", SDL_CONTROLLER_BUTTON_RIGHTSTICK},
    };
    return mapping;
}

} // namespace

GamepadConfig& GamepadConfig::getInstance() {
    static GamepadConfig instance;
    return instance;
}

GamepadConfig::GamepadConfig() {
    applyBuiltInMapping();
}

void GamepadConfig::applyBuiltInMapping() {
    mapping = builtInMapping();
}

bool GamepadConfig::load(const std::string& path) {
    applyBuiltInMapping();
    JsonFile::ReadResult file = JsonFile::read(path);
    switch (file.status) {
    case JsonFile::ReadStatus::Missing:
        return false;
    case JsonFile::ReadStatus::OpenFailed:
        logError("无法打开手柄配置文件: " + path + " - " + file.error);
        return false;
    case JsonFile::ReadStatus::ParseFailed:
        logError("加载手柄配置失败: " + file.error);
        return false;
    case JsonFile::ReadStatus::Ok:
        break;
    }
    try {
        // Members in jsoncpp's order (sorted by name); those before a bad one stay applied.
        for (const std::string& name : file.root.getMemberNames()) {
            mapping[name] = file.root[name].asInt();
        }
    } catch (const std::exception& error) {
        logError(std::string("加载手柄配置失败: ") + error.what());
        return false;
    }
    return true;
}

int GamepadConfig::getButton(const std::string& name) const {
    auto entry = mapping.find(name);
    return entry == mapping.end() ? -1 : entry->second;
}
