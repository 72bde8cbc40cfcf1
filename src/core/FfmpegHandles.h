#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <string>

// Owners of FFmpeg objects: each frees its object when it goes out of scope and can only be
// moved, so every error path releases what it took.
struct FfmpegDeleter {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
    void operator()(SwrContext* context) const { swr_free(&context); }
    void operator()(SwsContext* context) const { sws_freeContext(context); }
    void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
    void operator()(uint8_t* bytes) const { av_free(bytes); }
    void operator()(AVDictionary* dictionary) const { av_dict_free(&dictionary); }
};

using FormatContext = std::unique_ptr<AVFormatContext, FfmpegDeleter>;
using CodecContext = std::unique_ptr<AVCodecContext, FfmpegDeleter>;
using Frame = std::unique_ptr<AVFrame, FfmpegDeleter>;
using Packet = std::unique_ptr<AVPacket, FfmpegDeleter>;
using Resampler = std::unique_ptr<SwrContext, FfmpegDeleter>;
using Scaler = std::unique_ptr<SwsContext, FfmpegDeleter>;
using FilterGraph = std::unique_ptr<AVFilterGraph, FfmpegDeleter>;
using AvBytes = std::unique_ptr<uint8_t, FfmpegDeleter>; // memory from av_malloc
using Dictionary = std::unique_ptr<AVDictionary, FfmpegDeleter>;

// FFmpeg's text for an error code, as av_strerror gives it in a 64-byte buffer.
inline std::string ffmpegErrorText(int error) {
    char buffer[64] = {};
    av_strerror(error, buffer, sizeof buffer);
    return buffer;
}
