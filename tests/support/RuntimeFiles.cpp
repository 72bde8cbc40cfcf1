#include "support/RuntimeFiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

void linkRuntimeResources(const std::string& workingDirectory,
                          std::initializer_list<const char*> folders) {
    for (const char* folder : folders) {
        fs::path source = fs::path(MP_RUNTIME_DIR) / folder;
        fs::path target = fs::path(workingDirectory) / folder;
        std::error_code ignored;
        if (fs::exists(source) && !fs::exists(target)) {
            fs::create_directory_symlink(source, target, ignored);
        }
    }
}

std::string readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}
