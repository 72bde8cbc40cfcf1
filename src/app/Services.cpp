#include "app/Services.h"

#include "library/MusicScanner.h"
#include "settings/Config.h"
#include "settings/GamepadConfig.h"
#include "settings/LanguageManager.h"
#include "settings/ThemeManager.h"

#include <utility>

Stores Stores::processWide() {
    return {Config::getInstance(), LanguageManager::getInstance(), ThemeManager::getInstance(),
            GamepadConfig::getInstance(), MusicScanner::getInstance()};
}

Services::Services(const Stores& stores, Clock clock)
    : stores(stores), clock(std::move(clock)), input(stores.gamepad), battery(this->clock) {
}

PageServices Services::forPages() {
    return {stores.config, stores.languages, stores.themes, input, battery, stores.scanner};
}
