#include "ui/ThemeAssetCodec.h"

#include "core/Log.h"

#include <SDL_image.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <utility>

namespace {

constexpr std::array<std::uint8_t, 8> PNG_SIGNATURE = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void setOk(bool* ok, bool value) {
    if (ok != nullptr) {
        *ok = value;
    }
}

std::string sizeText(std::size_t size) {
    return std::to_string(size) + " bytes";
}

} // namespace

ThemeAssetCodec::ThemeAssetCodec() : ThemeAssetCodec(ASSET_KEY) {
}

ThemeAssetCodec::ThemeAssetCodec(std::string key) : key(std::move(key)) {
}

bool ThemeAssetCodec::readFile(const std::string& path, std::vector<std::uint8_t>& bytes) const {
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        logError("无法打开文件: " + path);
        return false;
    }
    file.seekg(0, std::ios::end);
    const std::int64_t size = static_cast<std::int64_t>(file.tellg());
    // A directory opens but has no size; a huge file is not a skin picture.
    if (size < 1 || size > MAX_ASSET_BYTES) {
        logError("文件大小异常: " + path + " (size: " + std::to_string(size) + ")");
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    file.seekg(0, std::ios::beg);
    file.read(reinterpret_cast<char*>(bytes.data()), size);
    if (!file.good()) {
        logError("读取文件失败: " + path);
        bytes.clear();
        return false;
    }
    logInfo("成功读取文件: " + path + " (size: " + sizeText(bytes.size()) + ")");
    return true;
}

std::vector<std::uint8_t> ThemeAssetCodec::transform(const std::vector<std::uint8_t>& bytes) const {
    std::vector<std::uint8_t> result(bytes);
    if (key.empty()) {
        return result;
    }
    for (std::size_t i = 0; i < result.size(); ++i) {
        result[i] ^= static_cast<std::uint8_t>(key[i % key.size()]);
    }
    return result;
}

bool ThemeAssetCodec::isPlainPng(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= PNG_SIGNATURE.size() &&
           std::equal(PNG_SIGNATURE.begin(), PNG_SIGNATURE.end(), bytes.begin());
}

std::vector<std::uint8_t> ThemeAssetCodec::decodeAsset(const std::string& path, bool* ok) const {
    std::vector<std::uint8_t> bytes;
    if (!readFile(path, bytes)) {
        logError("解密失败：无法读取文件 " + path);
        setOk(ok, false);
        return {};
    }
    if (bytes.empty()) {
        logError("解密失败：文件为空 " + path);
        setOk(ok, false);
        return {};
    }
    setOk(ok, true);
    if (isPlainPng(bytes)) {
        logInfo("未加密的PNG图片，直接使用: " + path);
        return bytes;
    }
    logInfo("开始解密数据，大小: " + sizeText(bytes.size()));
    std::vector<std::uint8_t> restored = transform(bytes);
    logInfo("解密完成，解密后大小: " + sizeText(restored.size()));
    return restored;
}

SurfacePtr ThemeAssetCodec::surfaceFromMemory(const std::vector<std::uint8_t>& bytes,
                                              bool* ok) const {
    setOk(ok, false);
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (stream == nullptr) {
        logError(std::string("创建SDL_RWops失败: ") + SDL_GetError());
        return nullptr;
    }
    SurfacePtr surface(IMG_Load_RW(stream, 1));
    if (!surface) {
        logError(std::string("加载图片失败: ") + IMG_GetError());
        return nullptr;
    }
    setOk(ok, true);
    return surface;
}

TexturePtr ThemeAssetCodec::textureFromMemory(const std::vector<std::uint8_t>& bytes,
                                              SDL_Renderer* renderer, bool* ok) const {
    SurfacePtr surface = surfaceFromMemory(bytes, ok);
    if (!surface) {
        return nullptr;
    }
    TexturePtr texture(SDL_CreateTextureFromSurface(renderer, surface.get()));
    if (!texture) {
        logError(std::string("创建纹理失败: ") + SDL_GetError());
        setOk(ok, false);
        return nullptr;
    }
    return texture;
}

TexturePtr ThemeAssetCodec::loadAssetTexture(const std::string& path, SDL_Renderer* renderer,
                                             bool* ok) const {
    if (renderer == nullptr) {
        logError("无效的SDL渲染器");
        setOk(ok, false);
        return nullptr;
    }
    bool decoded = false;
    std::vector<std::uint8_t> bytes = decodeAsset(path, &decoded);
    if (!decoded) {
        setOk(ok, false);
        return nullptr;
    }
    return textureFromMemory(bytes, renderer, ok);
}

TexturePtr ThemeAssetCodec::loadTexture(SDL_Renderer* renderer, const std::string& path) const {
    bool ok = false;
    TexturePtr texture = loadAssetTexture(path, renderer, &ok);
    if (!texture || !ok) {
        logError("加载加密纹理失败");
        return nullptr;
    }
    return texture;
}

SurfacePtr ThemeAssetCodec::loadSurface(const std::string& path, bool* ok) const {
    bool decoded = false;
    std::vector<std::uint8_t> bytes = decodeAsset(path, &decoded);
    if (!decoded) {
        setOk(ok, false);
        return nullptr;
    }
    return surfaceFromMemory(bytes, ok);
}
