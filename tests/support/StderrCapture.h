#pragma once

#include <string>

// Captures what the code under test writes to standard error (the program's error lines).
class StderrCapture {
public:
    StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;
    ~StderrCapture();

    // Everything written since construction or the last call.
    std::string take();

private:
    int savedFd = -1;
    std::string capturePath;
    long consumed = 0;
};
