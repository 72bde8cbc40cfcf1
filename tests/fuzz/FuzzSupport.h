#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

// Shared by the fuzz targets that feed a file to a loader; include it in exactly one source
// of each target.
namespace FuzzSupport {

// The input written to a file in a private temporary folder (the same file for every input);
// returns its path.
inline const std::string& writeInputFile(const char* name, const uint8_t* data, size_t size) {
    static const std::string folder = [] {
        char pattern[] = "/tmp/musicplayer-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    static const std::string path = folder + "/" + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

} // namespace FuzzSupport

// The program's error lines would flood the fuzzer's output: ask libFuzzer to discard the
// target's standard error (its own reports and the sanitizers' still come through).
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static std::vector<char*> arguments;
    static char flag[] = "-close_fd_mask=2";
    arguments.assign(*argv, *argv + *argc);
    arguments.insert(arguments.begin() + 1, flag);
    arguments.push_back(nullptr);
    *argc = static_cast<int>(arguments.size()) - 1;
    *argv = arguments.data();
    return 0;
}
