// Loads fuzz input both as a language file and as the remembered language choice, and switches
// to it, the way a start-up and the settings page would.
#include "FuzzSupport.h"

#include "settings/LanguageManager.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

std::string languageFolder() {
    return FuzzSupport::scratchFolder() + "/lan";
}

std::string settingsFile() {
    return FuzzSupport::scratchFolder() + "/language_settings.json";
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::silenceErrorLines();
    // The first start fills the empty folder with the built-in languages.
    LanguageManager::getInstance().init(languageFolder(), settingsFile());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSupport::writeInput(languageFolder() + "/fuzz.json", data, size);
    FuzzSupport::writeInput(settingsFile(), data, size);
    LanguageManager& languages = LanguageManager::getInstance();
    languages.init(languageFolder(), settingsFile());
    languages.getText("main_menu_songs");
    languages.setLanguage("fuzz");
    languages.getText("main_menu_songs");
    languages.getText("");
    return 0;
}
