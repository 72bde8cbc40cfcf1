#include "core/Log.h"

#include <cstdio>

namespace {

void writeLine(std::FILE* stream, const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fflush(stream);
}

} // namespace

void logError(const std::string& message) {
    writeLine(stderr, "[ERROR] " + message + "\n");
}

void logInfo(const std::string& message) {
    writeLine(stdout, message + "\n");
}
