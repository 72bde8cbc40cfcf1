#pragma once

#include <string>

// A fresh folder under /tmp that becomes the working directory for the lifetime of the object,
// since the program resolves every path against its working directory. The previous working
// directory is restored and the folder removed afterwards.
class ScratchDir {
public:
    ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir();

    const std::string& path() const { return folder; }

    // Paths are relative to the folder; writing creates parent folders.
    void writeFile(const std::string& relativePath, const std::string& text) const;
    std::string readFile(const std::string& relativePath) const;
    bool exists(const std::string& relativePath) const;

private:
    std::string folder;
    std::string previousDirectory;
};
