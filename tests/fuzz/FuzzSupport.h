#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// Helpers shared by the file-loader fuzz targets.
namespace FuzzSupport {

// The loaders write an error line for nearly every input; sent to the log by the thousand they
// would drown it. The program's error lines go through the C stream stderr, while libFuzzer and
// the sanitizers write to the file descriptor directly, so their reports still appear.
inline void silenceErrorLines() {
    if (std::FILE* nowhere = std::fopen("/dev/null", "w")) {
        stderr = nowhere;
    }
}

// A fresh folder, in memory where the system offers one, removed when the fuzzer exits.
inline const std::string& scratchFolder() {
    // Never destroyed, so the exit handler below can still read it.
    static const std::string* folder = [] {
        std::string pattern = std::filesystem::is_directory("/dev/shm")
                                  ? "/dev/shm/musicplayer-fuzz-XXXXXX"
                                  : "/tmp/musicplayer-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::abort();
        }
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchFolder(), ignored);
        });
        return new std::string(pattern);
    }();
    return *folder;
}

inline void writeInput(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

} // namespace FuzzSupport
