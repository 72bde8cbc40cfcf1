#include "audio/EqualizerChain.h"

#include "core/Log.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

#include <cinttypes>
#include <cstdio>

namespace {

struct Band {
    float frequency; // Hz
    float width;     // Hz
};

constexpr Band BANDS[EqualizerChain::BAND_COUNT] = {
    {31, 20},    {62, 40},     {125, 80},    {250, 160},   {500, 320},
    {1000, 640}, {2000, 1280}, {4000, 2560}, {8000, 5120}, {16000, 10240},
};

// The format "anequalizer" works in: with the whole graph in it, nothing is converted inside the
// graph, and its output goes to the device's format in one step, as in FFmpeg's own tool.
constexpr AVSampleFormat FILTER_SAMPLE_FORMAT = AV_SAMPLE_FMT_DBLP;
constexpr size_t SOURCE_ARGUMENTS_CAPACITY = 512;
constexpr int EQUALIZED_CHANNELS = 2; // only the front left and right channels are shaped

std::string channelBandText(int channel, const Band& band, float gain) {
    char text[128];
    std::snprintf(text, sizeof text, "c%d f=%f w=%f g=%f t=0", channel, band.frequency, band.width,
                  gain);
    return text;
}

// One filter of the chain: what it is, its name in the graph and its error lines.
struct FilterRecipe {
    const char* filterName;
    const char* instanceName;
    const char* missingMessage;
    const char* createMessage;
    bool appendErrorText;
};

constexpr FilterRecipe SOURCE_RECIPE{"abuffer", "src", "找不到abuffer滤镜", "无法创建源滤镜",
                                     false};
constexpr FilterRecipe EQUALIZER_RECIPE{"anequalizer", "anequalizer", "找不到anequalizer滤镜",
                                        "无法创建均衡器滤镜: ", true};
constexpr FilterRecipe SINK_RECIPE{"abuffersink", "sink", "找不到abuffersink滤镜",
                                   "无法创建接收滤镜", false};

AVFilterContext* createFilter(AVFilterGraph* graph, const FilterRecipe& recipe,
                              const std::string& arguments) {
    const AVFilter* filter = avfilter_get_by_name(recipe.filterName);
    if (!filter) {
        logError(recipe.missingMessage);
        return nullptr;
    }
    AVFilterContext* context = nullptr;
    int result = avfilter_graph_create_filter(&context, filter, recipe.instanceName,
                                              arguments.empty() ? nullptr : arguments.c_str(),
                                              nullptr, graph);
    if (result < 0) {
        logError(std::string(recipe.createMessage) +
                 (recipe.appendErrorText ? ffmpegErrorText(result) : ""));
        return nullptr;
    }
    return context;
}

// Sets a list option of the sink; FFmpeg versions without that option leave the sink open,
// which is harmless because the output converter takes whatever the graph produces.
template <typename Value>
bool setSinkList(AVFilterContext* sink, const char* name, const Value& value) {
    int result = av_opt_set_bin(sink, name, reinterpret_cast<const uint8_t*>(&value), sizeof value,
                                AV_OPT_SEARCH_CHILDREN);
    return result >= 0 || result == AVERROR_OPTION_NOT_FOUND;
}

void logConverterFailure(AudioConverter::Status status, const char* allocationMessage,
                         const char* initialisationMessage) {
    logError(status == AudioConverter::Status::ALLOCATION_FAILED ? allocationMessage
                                                                 : initialisationMessage);
}

} // namespace

std::string EqualizerChain::bandArguments(const std::vector<float>& gains, int channelCount) {
    int channels = channelCount < EQUALIZED_CHANNELS ? 1 : EQUALIZED_CHANNELS;
    std::string text;
    for (int band = 0; band < BAND_COUNT; ++band) {
        float gain = band < static_cast<int>(gains.size()) ? gains[band] : 0.0f;
        for (int channel = 0; channel < channels; ++channel) {
            if (!text.empty()) {
                text += "|";
            }
            text += channelBandText(channel, BANDS[band], gain);
        }
    }
    return text;
}

std::string EqualizerChain::sourceArguments(const AudioFormat& format) {
    char text[SOURCE_ARGUMENTS_CAPACITY];
    std::snprintf(
        text, sizeof text,
        "time_base=%d/%d:sample_rate=%d:sample_fmt=%s:channel_layout=0x%" PRIx64 ":channels=%d", 1,
        format.sampleRate, format.sampleRate, av_get_sample_fmt_name(FILTER_SAMPLE_FORMAT),
        format.channelMask, format.channelCount);
    return text;
}

bool EqualizerChain::isFlat(const std::vector<float>& gains) {
    for (float gain : gains) {
        if (gain != 0.0f) {
            return false;
        }
    }
    return true;
}

bool EqualizerChain::build(const AudioFormat& streamFormat, const std::vector<float>& gains) {
    filterGraph.reset();
    bufferSrcContext = equalizerContext = bufferSinkContext = nullptr;
    format = streamFormat;
    filterInput.reset(av_frame_alloc());
    filterOutput.reset(av_frame_alloc());
    if (!filterInput || !filterOutput) {
        logError("无法分配临时帧");
        return false;
    }
    if (!createFilters(streamFormat, gains)) {
        filterGraph.reset();
        bufferSrcContext = equalizerContext = bufferSinkContext = nullptr;
        return false;
    }
    return true;
}

bool EqualizerChain::createFilters(const AudioFormat& streamFormat,
                                   const std::vector<float>& gains) {
    filterGraph.reset(avfilter_graph_alloc());
    if (!filterGraph) {
        logError("无法创建滤镜图");
        return false;
    }
    // One thread: on a battery device the equalizer's work spread over every core costs more
    // CPU time for little gain in speed.
    filterGraph->nb_threads = 1;
    bufferSrcContext =
        createFilter(filterGraph.get(), SOURCE_RECIPE, sourceArguments(streamFormat));
    if (!bufferSrcContext) {
        return false;
    }
    equalizerContext = createFilter(filterGraph.get(), EQUALIZER_RECIPE,
                                    bandArguments(gains, streamFormat.channelCount));
    if (!equalizerContext) {
        return false;
    }
    bufferSinkContext = createFilter(filterGraph.get(), SINK_RECIPE, "");
    if (!bufferSinkContext) {
        return false;
    }
    if (avfilter_link(bufferSrcContext, 0, equalizerContext, 0) < 0) {
        logError("无法连接源滤镜到均衡器");
        return false;
    }
    if (avfilter_link(equalizerContext, 0, bufferSinkContext, 0) < 0) {
        logError("无法连接均衡器到接收滤镜");
        return false;
    }
    if (!restrictSink(streamFormat)) {
        logError("无法配置滤镜图: 无法设置接收滤镜的格式");
        return false;
    }
    int result = avfilter_graph_config(filterGraph.get(), nullptr);
    if (result < 0) {
        logError("无法配置滤镜图: " + ffmpegErrorText(result));
        return false;
    }
    return true;
}

bool EqualizerChain::restrictSink(const AudioFormat& streamFormat) {
    // Each list is handed over without its -1 terminator.
    const int sampleFormats[] = {FILTER_SAMPLE_FORMAT};
    const int sampleRates[] = {streamFormat.sampleRate};
    const int64_t channelLayouts[] = {static_cast<int64_t>(streamFormat.channelMask)};
    return setSinkList(bufferSinkContext, "sample_fmts", sampleFormats) &&
           setSinkList(bufferSinkContext, "sample_rates", sampleRates) &&
           (streamFormat.channelMask == 0 ||
            setSinkList(bufferSinkContext, "channel_layouts", channelLayouts));
}

bool EqualizerChain::accepts(const AVFrame& frame) const {
    return AudioFormat::ofFrame(frame).withSampleFormat(format.sampleFormat) == format;
}

const AVFrame* EqualizerChain::filter(const AVFrame& frame) {
    av_frame_unref(filterOutput.get());
    if (!filterGraph || !fillFilterInput(frame)) {
        return nullptr;
    }
    // The graph takes the input's buffers over and works on them in place where it may.
    int result = av_buffersrc_add_frame_flags(bufferSrcContext, filterInput.get(), 0);
    if (result < 0) {
        logError("无法推送帧到滤镜: " + ffmpegErrorText(result));
        return nullptr;
    }
    result = av_buffersink_get_frame(bufferSinkContext, filterOutput.get());
    if (result == AVERROR(EAGAIN)) {
        return nullptr;
    }
    if (result < 0) {
        logError("无法从滤镜获取帧: " + ffmpegErrorText(result));
        return nullptr;
    }
    return filterOutput.get();
}

bool EqualizerChain::fillFilterInput(const AVFrame& frame) {
    av_frame_unref(filterInput.get());
    if (frame.format == FILTER_SAMPLE_FORMAT && frame.ch_layout.order == AV_CHANNEL_ORDER_NATIVE &&
        frame.ch_layout.u.mask == format.channelMask) {
        return av_frame_ref(filterInput.get(), &frame) >= 0; // no copy needed
    }
    AudioFormat filterFormat = format.withSampleFormat(FILTER_SAMPLE_FORMAT);
    filterInput->nb_samples = frame.nb_samples;
    filterInput->format = FILTER_SAMPLE_FORMAT;
    filterInput->ch_layout = filterFormat.channelLayout();
    filterInput->sample_rate = filterFormat.sampleRate;
    filterInput->pts = frame.pts;
    if (av_frame_get_buffer(filterInput.get(), 0) < 0) {
        logError("无法为临时帧分配缓冲区");
        return false;
    }
    AudioConverter::Status status =
        inputConverter.configure(AudioFormat::ofFrame(frame), filterFormat);
    if (status != AudioConverter::Status::READY) {
        logConverterFailure(status, "无法创建输入重采样上下文", "无法初始化输入重采样上下文");
        return false;
    }
    if (inputConverter.convert(filterInput->extended_data, filterInput->nb_samples,
                               frame.extended_data, frame.nb_samples) < 0) {
        logError("格式转换失败");
        return false;
    }
    return true;
}
