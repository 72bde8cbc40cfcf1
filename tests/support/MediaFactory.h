#pragma once

#include "support/SyntheticMedia.h"

// Tones made into one folder (relative paths resolve against the working directory).
class MediaFactory {
public:
    using Options = SyntheticMedia::Tone;

    explicit MediaFactory(std::string folder = ".") : folder(std::move(folder)) {}

    std::string make(const std::string& fileName, const Options& options = {}) const {
        return SyntheticMedia::makeTone(folder + "/" + fileName, options);
    }

    static std::vector<int16_t> reference(const std::string& path,
                                          const std::string& audioFilter = "") {
        return SyntheticMedia::reference(path, audioFilter);
    }

private:
    std::string folder;
};
