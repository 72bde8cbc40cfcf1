#include "settings/LanguageManager.h"

#include "core/JsonFile.h"
#include "core/JsonPath.h"
#include "core/Log.h"
#include "settings/BuiltInLanguages.h"

#include <algorithm>
#include <exception>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr const char* LANGUAGE_FILE_EXTENSION = ".json";
constexpr const char* LANGUAGE_MEMBER = "language";

// A code names a file inside the language folder, never a path leading out of it.
bool isValidCode(const std::string& code) {
    return !code.empty() && code != "." && code != ".." &&
           code.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

} // namespace

LanguageManager& LanguageManager::getInstance() {
    static LanguageManager instance;
    return instance;
}

bool LanguageManager::init(const std::string& directory, const std::string& settingsFile) {
    languageDir = directory;
    settingsPath = settingsFile;
    std::error_code error;
    if (!fs::is_directory(languageDir, error)) {
        fs::create_directories(languageDir, error);
        if (error) {
            logError("无法创建语言目录: " + languageDir);
        }
    }
    listLanguages();
    if (availableLanguages.empty()) {
        writeBuiltInFiles();
        listLanguages();
    }
    loadLanguageSettings();
    return loadLanguageFile(currentLanguage);
}

void LanguageManager::listLanguages() {
    availableLanguages.clear();
    std::error_code error;
    fs::directory_iterator entry(languageDir, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::error_code typeError;
        const fs::path& path = entry->path();
        if (entry->is_regular_file(typeError) && path.extension() == LANGUAGE_FILE_EXTENSION) {
            availableLanguages.push_back(path.stem().string());
        }
    }
}

void LanguageManager::writeBuiltInFiles() {
    for (const BuiltInLanguage& language : BuiltInLanguages::all()) {
        const char* text = BuiltInLanguages::fileText(language.code);
        const std::string path = languageFilePath(language.code);
        if (!text || !JsonFile::ensureParentFolder(path) ||
            !JsonFile::writeAtomically(path, text)) {
            logError(language.writeFailedMessage);
        }
    }
}

std::string LanguageManager::languageFilePath(const std::string& code) const {
    return languageDir + "/" + code + LANGUAGE_FILE_EXTENSION;
}

std::string LanguageManager::getText(const std::string& key) const {
    auto entry = translations.find(key);
    return entry == translations.end() ? key : entry->second;
}

bool LanguageManager::setLanguage(const std::string& code) {
    if (!useLanguage(code)) {
        return false;
    }
    saveLanguageSettings();
    return true;
}

bool LanguageManager::useLanguage(const std::string& code) {
    if (std::find(availableLanguages.begin(), availableLanguages.end(), code) ==
        availableLanguages.end()) {
        logError("语言不可用: " + code);
        return false;
    }
    std::map<std::string, std::string> words;
    if (!readLanguageFile(code, words)) {
        return false;
    }
    currentLanguage = code;
    translations = std::move(words);
    return true;
}

bool LanguageManager::loadLanguageFile(const std::string& code) {
    translations.clear();
    return readLanguageFile(code, translations);
}

bool LanguageManager::readLanguageFile(const std::string& code,
                                       std::map<std::string, std::string>& into) const {
    const std::string path = languageFilePath(code);
    try {
        if (!isValidCode(code)) {
            logError("语言文件不存在: " + path);
            return false;
        }
        JsonFile::ReadResult file = JsonFile::readReporting(
            path, {"语言文件不存在: ", "无法打开语言文件: ", "解析语言文件失败: "});
        if (file.status != JsonFile::ReadStatus::Ok) {
            return false;
        }
        if (!file.root.isObject()) {
            logError("加载语言文件时出错: " + path + " 的内容不是 JSON 对象");
            return false;
        }
        std::vector<std::string> skipped;
        for (const std::string& key : file.root.getMemberNames()) {
            if (std::optional<std::string> text = JsonPath::toString(file.root[key])) {
                into[key] = *text;
            } else {
                skipped.push_back(key);
            }
        }
        if (!skipped.empty()) {
            // The other labels of the file are still good; only these keys show themselves.
            logError("加载语言文件时出错: " + path + " 中有 " + std::to_string(skipped.size()) +
                     " 项的值不是文本，已忽略，第一项: " + skipped.front());
        }
        return true;
    } catch (const std::exception& error) {
        logError(std::string("加载语言文件时出错: ") + error.what());
        return false;
    }
}

bool LanguageManager::loadLanguageSettings() {
    try {
        JsonFile::ReadResult file = JsonFile::readReporting(
            settingsPath, {"", "无法打开语言设置文件: ", "解析语言设置文件失败: "});
        if (file.status != JsonFile::ReadStatus::Ok) {
            return false;
        }
        const Json::Value* language = JsonPath::find(file.root, LANGUAGE_MEMBER);
        if (!language) {
            if (!file.root.isObject()) {
                logError("加载语言设置时出错: " + settingsPath + " 的内容不是 JSON 对象");
                return false;
            }
            return true;
        }
        std::optional<std::string> code = JsonPath::toString(*language);
        if (!code || !isValidCode(*code)) {
            logError("加载语言设置时出错: 无效的语言代码");
            return false;
        }
        currentLanguage = *code;
        return true;
    } catch (const std::exception& error) {
        logError(std::string("加载语言设置时出错: ") + error.what());
        return false;
    }
}

bool LanguageManager::saveLanguageSettings() {
    try {
        Json::Value settings(Json::objectValue);
        settings[LANGUAGE_MEMBER] = currentLanguage;
        if (!JsonFile::saveStyled(settingsPath, settings)) {
            logError("无法打开语言设置文件: " + settingsPath);
            return false;
        }
        return true;
    } catch (const std::exception& error) {
        logError(std::string("保存语言设置时出错: ") + error.what());
        return false;
    }
}

std::string LanguageManager::getDisplayName(const std::string& code) {
    for (const BuiltInLanguage& language : BuiltInLanguages::all()) {
        if (code == language.code) {
            return language.displayName;
        }
    }
    return code;
}
