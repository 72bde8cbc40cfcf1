#include "core/MediaFile.h"

namespace {

constexpr const char* LOCAL_FILES_ONLY = "file";

} // namespace

FormatContext MediaFile::open(const std::string& path, int* error,
                              const AVIOInterruptCB* interrupt) {
    FormatContext context(avformat_alloc_context());
    if (!context) {
        if (error) {
            *error = AVERROR(ENOMEM);
        }
        return nullptr;
    }
    if (interrupt) {
        context->interrupt_callback = *interrupt;
    }
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", LOCAL_FILES_ONLY, 0);
    // On failure avformat_open_input frees the context it was given; the options it did not
    // use are left in the dictionary.
    AVFormatContext* opening = context.release();
    int result = avformat_open_input(&opening, path.c_str(), nullptr, &options);
    Dictionary unusedOptions(options);
    if (error) {
        *error = result;
    }
    return FormatContext(result < 0 ? nullptr : opening);
}
