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

// A target that loads its input from the file fileName of the scratch folder: defines
// libFuzzer's entry points (error lines silenced) around the body that follows, which sees the
// file's path and the input's bytes.
#define MP_FILE_FUZZER(fileName)                                                                   \
    static void fuzzFile(const std::string& path, const uint8_t* data, size_t size);               \
    extern "C" int LLVMFuzzerInitialize(int*, char***) {                                           \
        FuzzSupport::silenceErrorLines();                                                          \
        return 0;                                                                                  \
    }                                                                                              \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {                      \
        const std::string path = FuzzSupport::scratchFolder() + "/" fileName;                      \
        FuzzSupport::writeInput(path, data, size);                                                 \
        fuzzFile(path, data, size);                                                                \
        return 0;                                                                                  \
    }                                                                                              \
    static void fuzzFile([[maybe_unused]] const std::string& path,                                 \
                         [[maybe_unused]] const uint8_t* data, [[maybe_unused]] size_t size)
