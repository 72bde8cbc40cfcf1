#pragma once

#include <string>

// The program's two kinds of diagnostic line. Both are written in one piece, so lines from
// the audio thread and the loading thread never interleave with the main thread's.

// "[ERROR] " + message, on standard error.
void logError(const std::string& message);

// A progress line, on standard output.
void logInfo(const std::string& message);
