#include "support/StderrCapture.h"

#include "support/RuntimeFiles.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

StderrCapture::StderrCapture() {
    char pattern[] = "/tmp/musicplayer-stderr-XXXXXX";
    int fd = mkstemp(pattern);
    if (fd < 0) {
        throw std::runtime_error("cannot create a capture file");
    }
    capturePath = pattern;
    std::fflush(stderr);
    savedFd = dup(STDERR_FILENO);
    dup2(fd, STDERR_FILENO);
    close(fd);
}

StderrCapture::~StderrCapture() {
    std::fflush(stderr);
    dup2(savedFd, STDERR_FILENO);
    close(savedFd);
    unlink(capturePath.c_str());
}

std::string StderrCapture::take() {
    std::fflush(stderr);
    const std::string all = readWholeFile(capturePath);
    std::string fresh = all.substr(static_cast<size_t>(consumed));
    consumed = static_cast<long>(all.size());
    return fresh;
}
