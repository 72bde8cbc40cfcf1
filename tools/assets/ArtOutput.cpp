#include "ArtOutput.h"

#include "ui/ThemeAssetCodec.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace art {

ArtOutput::ArtOutput(std::string runtimeDir, std::string uiFontPath, std::string titleFontPath)
    : root(std::move(runtimeDir)), uiFontPath(std::move(uiFontPath)),
      titleFontPath(std::move(titleFontPath)) {
}

std::string ArtOutput::prepare(const std::string& relativePath) const {
    fs::path target = fs::path(root) / relativePath;
    fs::create_directories(target.parent_path());
    return target.string();
}

void ArtOutput::plain(const Canvas& canvas, const std::string& relativePath) const {
    const std::string target = prepare(relativePath);
    if (!canvas.savePng(target)) {
        throw std::runtime_error("cannot write " + target);
    }
}

void ArtOutput::scrambled(const Canvas& canvas, const std::string& relativePath) const {
    const std::string target = prepare(relativePath);
    const std::string temporary = target + ".plain";
    if (!canvas.savePng(temporary)) {
        throw std::runtime_error("cannot write " + temporary);
    }
    std::ifstream in(temporary, std::ios::binary);
    std::vector<std::uint8_t> png((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    in.close();
    fs::remove(temporary);
    const std::vector<std::uint8_t> stored = ThemeAssetCodec().transform(png);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(stored.data()), static_cast<long>(stored.size()));
    if (!out.good()) {
        throw std::runtime_error("cannot write " + target);
    }
}

} // namespace art
