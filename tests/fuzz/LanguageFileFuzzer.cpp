// Loads fuzz input both as a language file and as the remembered language choice, and switches
// to it, the way a start-up and the settings page would.
#include "FuzzSupport.h"

#include "settings/LanguageManager.h"

MP_FILE_FUZZER("language_settings.json") {
    LanguageManager& languages = LanguageManager::getInstance();
    const std::string folder = FuzzSupport::scratchFolder() + "/lan";
    // The first start fills the empty folder with the built-in languages.
    [[maybe_unused]] static const bool filled = (languages.init(folder, path), true);
    FuzzSupport::writeInput(folder + "/fuzz.json", data, size);
    languages.init(folder, path);
    languages.getText("main_menu_songs");
    languages.setLanguage("fuzz");
    languages.getText("main_menu_songs");
    languages.getText("");
}
