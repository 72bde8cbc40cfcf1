#pragma once

#include "Canvas.h"

#include <string>

namespace art {

// Where the generator writes: plain PNG files, or skin pictures stored scrambled the way the
// player's theme-asset reader expects them.
class ArtOutput {
public:
    ArtOutput(std::string runtimeDir, std::string uiFontPath, std::string titleFontPath);

    void plain(const Canvas& canvas, const std::string& relativePath) const;
    void scrambled(const Canvas& canvas, const std::string& relativePath) const;

    const std::string& uiFont() const { return uiFontPath; }
    const std::string& titleFont() const { return titleFontPath; }

private:
    std::string root;
    std::string uiFontPath;
    std::string titleFontPath;

    std::string prepare(const std::string& relativePath) const;
};

} // namespace art
