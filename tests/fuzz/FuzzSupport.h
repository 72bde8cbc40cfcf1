#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

// Helpers shared by the fuzz targets that feed a file to a loader.
namespace FuzzSupport {

// The program's error lines would flood the fuzzer's output: ask libFuzzer to discard the
// target's standard error (its own reports and the sanitizers' still come through).
inline void discardProgramErrors(int* argc, char*** argv) {
    static std::vector<char*> arguments;
    static char flag[] = "-close_fd_mask=2";
    arguments.assign(*argv, *argv + *argc);
    arguments.insert(arguments.begin() + 1, flag);
    arguments.push_back(nullptr);
    *argc = static_cast<int>(arguments.size()) - 1;
    *argv = arguments.data();
}

// A file in a private temporary folder, rewritten with each input.
inline const std::string& inputFile(const char* name) {
    static const std::string folder = [] {
        char pattern[] = "/tmp/musicplayer-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    static const std::string path = folder + "/" + name;
    return path;
}

inline void writeInput(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

} // namespace FuzzSupport
