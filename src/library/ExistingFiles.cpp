#include "library/ExistingFiles.h"

#include <dirent.h>
#include <filesystem>
#include <memory>

namespace {

struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};

// The names of a folder's entries that are neither symbolic links nor of unknown type.
std::unordered_set<std::string> listPlainEntries(const std::string& folder) {
    std::unordered_set<std::string> names;
    std::unique_ptr<DIR, FolderCloser> listing(opendir(folder.c_str()));
    if (!listing) {
        return names;
    }
    while (const dirent* entry = readdir(listing.get())) {
        if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) {
            names.insert(entry->d_name);
        }
    }
    return names;
}

} // namespace

bool ExistingFiles::contains(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    const std::size_t slash = path.rfind('/');
    const std::string_view folder = slash == std::string::npos
                                        ? std::string_view(".")
                                        : std::string_view(path).substr(0, slash == 0 ? 1 : slash);
    const std::string_view name = slash == std::string::npos
                                      ? std::string_view(path)
                                      : std::string_view(path).substr(slash + 1);
    if (!name.empty() && name != "." && name != ".." &&
        namesIn(folder).count(std::string(name)) > 0) {
        return true;
    }
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

const ExistingFiles::Names& ExistingFiles::namesIn(std::string_view folder) {
    if (lastNames && folder == lastFolder) {
        return *lastNames;
    }
    lastFolder.assign(folder);
    auto found = folders.find(lastFolder);
    if (found == folders.end()) {
        found = folders.emplace(lastFolder, listPlainEntries(lastFolder)).first;
    }
    lastNames = &found->second;
    return *lastNames;
}
