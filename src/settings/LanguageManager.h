#pragma once

#include <map>
#include <string>
#include <vector>

// Turns label keys into the words of the user's language. Each language is a JSON file
// "<code>.json" in the language folder; the choice is remembered in
// "config/language_settings.json". A key without a translation reads as the key itself.
class LanguageManager {
public:
    static constexpr const char* DEFAULT_LANGUAGE = "zh_CN";
    static constexpr const char* DEFAULT_SETTINGS_PATH = "config/language_settings.json";

    static LanguageManager& getInstance();

    // No language loaded until init: every key reads as itself.
    LanguageManager() = default;

    LanguageManager(const LanguageManager&) = delete;
    LanguageManager& operator=(const LanguageManager&) = delete;

    // Lists the languages of the folder (writing the built-in ones into it when it holds none),
    // reads the saved choice and loads that language. True when its file was loaded.
    bool init(const std::string& directory,
              const std::string& settingsFile = DEFAULT_SETTINGS_PATH);

    std::string getText(const std::string& key) const;

    // Switches to an available language and remembers the choice.
    bool setLanguage(const std::string& code);
    // Switches to an available language without remembering it. A language whose file cannot be
    // read is refused (logged) and the current one stays, with its words.
    bool useLanguage(const std::string& code);
    // Replaces the words by those of the language's file; none when it cannot be read.
    bool loadLanguageFile(const std::string& code);
    bool loadLanguageSettings();
    bool saveLanguageSettings();

    const std::string& getCurrentLanguage() const { return currentLanguage; }
    const std::vector<std::string>& getAvailableLanguages() const { return availableLanguages; }

    // How a language names itself ("English"); the code itself for a language we do not ship.
    static std::string getDisplayName(const std::string& code);

private:
    void listLanguages();
    void writeBuiltInFiles();
    std::string languageFilePath(const std::string& code) const;
    bool readLanguageFile(const std::string& code, std::map<std::string, std::string>& into) const;

    std::string languageDir;
    std::string currentLanguage = DEFAULT_LANGUAGE;
    std::vector<std::string> availableLanguages;
    std::map<std::string, std::string> translations;
    std::string settingsPath = DEFAULT_SETTINGS_PATH;
};
