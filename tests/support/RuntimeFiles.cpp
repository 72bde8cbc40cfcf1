#include "support/RuntimeFiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

void linkRuntimeFolders(const std::string& workingDirectory, const char* const* folders,
                        size_t count) {
    for (size_t i = 0; i < count; ++i) {
        fs::path source = fs::path(MP_RUNTIME_DIR) / folders[i];
        fs::path target = fs::path(workingDirectory) / folders[i];
        std::error_code ignored;
        if (fs::exists(source) && !fs::exists(target)) {
            fs::create_directory_symlink(source, target, ignored);
        }
    }
}

void linkRuntimeResources(const std::string& workingDirectory) {
    static const char* const folders[] = {"resources", "icons"};
    linkRuntimeFolders(workingDirectory, folders, 2);
}

std::string readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}
