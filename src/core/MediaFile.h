#pragma once

#include "core/FfmpegHandles.h"

#include <string>

// Opens local media files with FFmpeg. Only the "file" protocol is allowed, so a file crafted to
// look like a playlist or a reference cannot make FFmpeg open network or other resources.
namespace MediaFile {

// The demuxer of path, or null with FFmpeg's error code in error (when given). interrupt, when
// given, is asked during blocking reads whether to give up (see AVIOInterruptCB).
FormatContext open(const std::string& path, int* error = nullptr,
                   const AVIOInterruptCB* interrupt = nullptr);

} // namespace MediaFile
