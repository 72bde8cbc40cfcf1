#include "support/ScratchDir.h"

#include "support/RuntimeFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

ScratchDir::ScratchDir() : previousDirectory(fs::current_path().string()) {
    std::string pattern = (fs::temp_directory_path() / "musicplayer-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a scratch folder");
    }
    folder = pattern;
    fs::current_path(folder);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::current_path(previousDirectory, ignored);
    fs::remove_all(folder, ignored);
}

void ScratchDir::writeFile(const std::string& relativePath, const std::string& text) const {
    fs::path target = fs::path(folder) / relativePath;
    fs::create_directories(target.parent_path());
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    file << text;
}

std::string ScratchDir::readFile(const std::string& relativePath) const {
    return readWholeFile((fs::path(folder) / relativePath).string());
}

bool ScratchDir::exists(const std::string& relativePath) const {
    return fs::exists(fs::path(folder) / relativePath);
}
