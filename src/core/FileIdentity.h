#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What tells one version of a file from another without reading it: its size and its
// modification time. A file rewritten in place with the same size still gets a new time.
// FAT cards keep the time in 2-second steps, so a change within the same step as the
// previous look is not seen by the time alone: isSettled() says whether a time can be trusted.
struct FileIdentity {
    uint64_t size = 0;
    int64_t modifiedNs = 0; // nanoseconds since the epoch

    // The identity of the file at path now, or nothing when it cannot be read.
    static std::optional<FileIdentity> of(const std::string& path);

    // True when the time lies far enough in the past (before now, by more than the coarsest
    // file system's step) that a later write would show as a different time.
    bool isSettled(int64_t nowNs) const;

    bool operator==(const FileIdentity& other) const {
        return size == other.size && modifiedNs == other.modifiedNs;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};
