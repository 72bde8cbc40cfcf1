#include "core/FileIdentity.h"

#include <sys/stat.h>

namespace {
// FAT's modification time has a 2-second resolution.
constexpr int64_t COARSEST_TIME_STEP_NS = 2'000'000'000LL;
constexpr int64_t NS_PER_SECOND = 1'000'000'000LL;
} // namespace

std::optional<FileIdentity> FileIdentity::of(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    FileIdentity identity;
    identity.size = static_cast<uint64_t>(info.st_size);
    identity.modifiedNs =
        static_cast<int64_t>(info.st_mtim.tv_sec) * NS_PER_SECOND + info.st_mtim.tv_nsec;
    return identity;
}

bool FileIdentity::isSettled(int64_t nowNs) const {
    return nowNs - modifiedNs > COARSEST_TIME_STEP_NS;
}
