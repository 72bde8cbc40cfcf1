#pragma once

#include "core/SdlHandles.h"

#include <future>
#include <map>
#include <string>
#include <vector>

class ThemeAssetCodec;

// A skin's pictures, read ahead on a thread of their own so that showing the skin only has to
// make textures of them on the drawing thread. A picture that was not read ahead (another skin
// was chosen meanwhile) is read when it is asked for.
class SkinPictures {
public:
    explicit SkinPictures(const ThemeAssetCodec& codec) : codec(codec) {}
    ~SkinPictures();
    // Where the pictures of a skin folder lie: "icons/<folder>/".
    static std::string folderPath(const std::string& folder) { return "icons/" + folder + "/"; }
    SkinPictures(const SkinPictures&) = delete;
    SkinPictures& operator=(const SkinPictures&) = delete;

    // Starts reading the pictures at paths; what an earlier read-ahead left untaken is dropped.
    void readAhead(std::vector<std::string> paths);
    // The picture at path (waiting for the read-ahead when it is on its way); null, and
    // logged, when it cannot be read.
    SurfacePtr take(const std::string& path);

private:
    using Read = std::map<std::string, SurfacePtr>;

    void collect();

    const ThemeAssetCodec& codec;
    std::future<Read> reading;
    Read ready;
};
