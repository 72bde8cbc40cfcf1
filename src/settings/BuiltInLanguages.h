#pragma once

#include <string>
#include <vector>

// The nine languages the program ships, written into an empty language folder so that a fresh
// installation works in every one of them. The texts are the language files of assets/lan,
// compiled in at build time, so the program and the shipped files never differ.
struct BuiltInLanguage {
    const char* code;
    // How the language names itself in the settings.
    const char* displayName;
    // The error line when its file cannot be written.
    const char* writeFailedMessage;
};

namespace BuiltInLanguages {

// In the order the files are written and the settings list them: zh_CN, en_US, ja_JP, ko_KR,
// es_ES, de_DE, fr_FR, it_IT, pt_PT.
const std::vector<BuiltInLanguage>& all();

// The JSON text of a shipped language file, or null for a code the program does not ship.
const char* fileText(const std::string& code);

} // namespace BuiltInLanguages
