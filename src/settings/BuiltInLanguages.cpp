#include "settings/BuiltInLanguages.h"

namespace BuiltInLanguages {

const std::vector<BuiltInLanguage>& all() {
    static const std::vector<BuiltInLanguage> languages = {
        {"zh_CN", "简体中文", "无法创建中文语言文件"},
        {"en_US", "English", "无法创建英文语言文件"},
        {"ja_JP", "日本語", "无法创建日语语言文件"},
        {"ko_KR", "한국어", "无法创建韩语语言文件"},
        {"es_ES", "Español", "无法创建西班牙语语言文件"},
        {"de_DE", "Deutsch", "无法创建德语语言文件"},
        {"fr_FR", "Français", "无法创建法语语言文件"},
        {"it_IT", "Italiano", "无法创建意大利语语言文件"},
        {"pt_PT", "Português", "无法创建葡萄牙语语言文件"},
    };
    return languages;
}

} // namespace BuiltInLanguages
