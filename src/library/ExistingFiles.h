#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

// Answers "does this path still exist?" for the many song paths of a cache or favourites file.
// Each folder is listed once, so a library of 10,000 songs in 1,000 album folders costs 1,000
// folder reads instead of 10,000 questions to the file system. A name the listing does not
// show as a plain entry (a symbolic link, a file system that ignores case, a file created since)
// is asked about directly, so the answers are those of std::filesystem::exists.
class ExistingFiles {
public:
    bool contains(const std::string& path);

private:
    using Names = std::unordered_set<std::string>;

    const Names& namesIn(std::string_view folder);

    std::unordered_map<std::string, Names> folders;
    std::string lastFolder;
    const Names* lastNames = nullptr;
};
