#pragma once

#include <string>
#include <utility>
#include <vector>

// The nine languages the program ships, written into an empty language folder so that a fresh
// installation works in every one of them.
struct BuiltInLanguage {
    const char* code;
    // How the language names itself in the settings.
    const char* displayName;
    // The error line when its file cannot be written.
    const char* writeFailedMessage;
    // Every label key with its text; all languages have the same keys.
    std::vector<std::pair<const char*, const char*>> texts;
};

namespace BuiltInLanguages {

// In the order the files are written and the settings list them: zh_CN, en_US, ja_JP, ko_KR,
// es_ES, de_DE, fr_FR, it_IT, pt_PT.
const std::vector<BuiltInLanguage>& all();

} // namespace BuiltInLanguages
