#pragma once

#include "core/SdlHandles.h"

#include <cstdint>
#include <string>
#include <vector>

// Reads the skin images of the now-playing themes. They are stored scrambled: byte i of the
// file is byte i of the PNG image XOR byte (i mod key length) of the key. A file that already
// starts with the PNG signature is taken as a plain image, so pictures that are also read with
// IMG_Load (the default covers) can be stored once and read by both kinds of reader.
class ThemeAssetCodec {
public:
    // The key every page uses; a constant of the program, not a setting.
    static constexpr const char* ASSET_KEY = "3B7C1D90-5A2E-4F81-9C06-D2E4B8A7F153";
    // Files larger than this are refused before anything is allocated for them.
    static constexpr std::int64_t MAX_ASSET_BYTES = 64 * 1024 * 1024;

    ThemeAssetCodec();
    explicit ThemeAssetCodec(std::string key);

    // Reads a whole file into bytes; logs and returns false when it cannot.
    bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes) const;

    // Applies the key. The operation is its own inverse.
    std::vector<std::uint8_t> transform(const std::vector<std::uint8_t>& bytes) const;

    // The image bytes of an asset file: unscrambled, or unchanged when the file is a plain PNG.
    // An empty result (and ok false) when the file cannot be read.
    std::vector<std::uint8_t> decodeAsset(const std::string& path, bool* ok = nullptr) const;

    // Decodes image bytes held in memory.
    SurfacePtr surfaceFromMemory(const std::vector<std::uint8_t>& bytes, bool* ok = nullptr) const;
    TexturePtr textureFromMemory(const std::vector<std::uint8_t>& bytes, SDL_Renderer* renderer,
                                 bool* ok = nullptr) const;

    // decodeAsset followed by textureFromMemory.
    TexturePtr loadAssetTexture(const std::string& path, SDL_Renderer* renderer,
                                bool* ok = nullptr) const;

    // loadAssetTexture with a failure line of its own when no texture came out.
    TexturePtr loadTexture(SDL_Renderer* renderer, const std::string& path) const;

    // decodeAsset followed by surfaceFromMemory, for callers that work on the pixels.
    SurfacePtr loadSurface(const std::string& path, bool* ok = nullptr) const;

    // True when the bytes begin with the eight-byte PNG signature.
    static bool isPlainPng(const std::vector<std::uint8_t>& bytes);

private:
    std::string key;
};
