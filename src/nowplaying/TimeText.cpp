#include "nowplaying/TimeText.h"

#include <algorithm>
#include <cstdio>

namespace TimeText {

namespace {

constexpr int SECONDS_PER_MINUTE = 60;
constexpr size_t TEXT_SIZE = 32;
constexpr double LONGEST_SECONDS = 1.0e9; // keeps the conversion to int defined

std::string format(const char* pattern, double seconds) {
    int whole = seconds > 0.0 ? static_cast<int>(std::min(seconds, LONGEST_SECONDS)) : 0;
    char text[TEXT_SIZE];
    std::snprintf(text, sizeof text, pattern, whole / SECONDS_PER_MINUTE,
                  whole % SECONDS_PER_MINUTE);
    return text;
}

} // namespace

std::string clock(double seconds) {
    return format("%02d:%02d", seconds);
}

std::string remaining(double duration, double current) {
    return format("-%02d:%02d", duration - current);
}

} // namespace TimeText
