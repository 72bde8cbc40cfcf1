#include "library/CoverExtractor.h"

#include "core/Log.h"
#include "core/FfmpegHandles.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <string_view>

namespace fs = std::filesystem;

namespace {

// A non-picture video stream is searched this many packets deep for a frame of its own.
constexpr int MAX_PACKETS_SEARCHED = 64;
// Larger pictures are refused rather than decoded: a damaged or hostile tag could otherwise ask
// for gigabytes.
constexpr int64_t MAX_COVER_PIXELS = 6000LL * 6000LL;
constexpr AVRational ENCODER_TIME_BASE = {1, 25};
constexpr uint64_t FNV_OFFSET_BASIS = 14695981039346656037ULL;
constexpr uint64_t FNV_PRIME = 1099511628211ULL;

uint64_t fnv1a(const uint8_t* data, std::size_t size) {
    uint64_t hash = FNV_OFFSET_BASIS;
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * FNV_PRIME;
    }
    return hash;
}

enum class PictureSearch { FOUND, NOT_FOUND, END_OF_FILE };

// The stream's picture: the attached picture the demuxer keeps for it, else the stream's first
// packet within reach.
PictureSearch findPicture(AVFormatContext* container, const AVStream& stream, AVPacket& packet) {
    if ((stream.disposition & AV_DISPOSITION_ATTACHED_PIC) && stream.attached_pic.size > 0) {
        return av_packet_ref(&packet, &stream.attached_pic) == 0 ? PictureSearch::FOUND
                                                                 : PictureSearch::NOT_FOUND;
    }
    for (int searched = 0; searched < MAX_PACKETS_SEARCHED; ++searched) {
        if (av_read_frame(container, &packet) < 0) {
            return PictureSearch::END_OF_FILE;
        }
        if (packet.stream_index == stream.index && packet.size > 0) {
            return PictureSearch::FOUND;
        }
        av_packet_unref(&packet);
    }
    return PictureSearch::NOT_FOUND;
}

Frame decodePicture(const AVStream& stream, const AVPacket& picture) {
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!codec) {
        logError("无法找到适合的解码器");
        return nullptr;
    }
    CodecContext decoder(avcodec_alloc_context3(codec));
    if (!decoder) {
        logError("无法分配解码器上下文");
        return nullptr;
    }
    if (avcodec_parameters_to_context(decoder.get(), stream.codecpar) < 0) {
        logError("无法复制解码器参数");
        return nullptr;
    }
    decoder->thread_count = 1;
    decoder->max_pixels = MAX_COVER_PIXELS;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        logError("无法打开解码器");
        return nullptr;
    }
    Frame frame(av_frame_alloc());
    if (!frame) {
        logError("无法分配帧内存");
        return nullptr;
    }
    if (avcodec_send_packet(decoder.get(), &picture) < 0) {
        logError("发送封面数据包到解码器失败");
        return nullptr;
    }
    int result = avcodec_receive_frame(decoder.get(), frame.get());
    if (result == AVERROR(EAGAIN)) {
        // A decoder that holds frames back gives them up once it is told no more will come.
        avcodec_send_packet(decoder.get(), nullptr);
        result = avcodec_receive_frame(decoder.get(), frame.get());
    }
    if (result < 0 || frame->width <= 0 || frame->height <= 0) {
        logError("从解码器接收帧失败");
        return nullptr;
    }
    return frame;
}

// JPEG decoders report full-range YUV through the old "J" formats; the scaler wants the plain
// format and the range said separately.
AVPixelFormat plainPixelFormat(AVPixelFormat format, bool& fullRange) {
    switch (format) {
    case AV_PIX_FMT_YUVJ420P:
        fullRange = true;
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        fullRange = true;
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        fullRange = true;
        return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
        fullRange = true;
        return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P:
        fullRange = true;
        return AV_PIX_FMT_YUV411P;
    default:
        return format;
    }
}

Scaler makeRgbScaler(const AVFrame& picture) {
    bool fullRange = picture.color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat source =
        plainPixelFormat(static_cast<AVPixelFormat>(picture.format), fullRange);
    Scaler scaler(sws_getContext(picture.width, picture.height, source, picture.width,
                                 picture.height, AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr,
                                 nullptr));
    if (scaler && fullRange) {
        const int* coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
        constexpr int NEUTRAL_BRIGHTNESS = 0;
        constexpr int NEUTRAL_CONTRAST = 1 << 16;
        constexpr int NEUTRAL_SATURATION = 1 << 16;
        sws_setColorspaceDetails(scaler.get(), coefficients, 1, coefficients, 1, NEUTRAL_BRIGHTNESS,
                                 NEUTRAL_CONTRAST, NEUTRAL_SATURATION);
    }
    return scaler;
}

Frame convertToRgb(const AVFrame& picture) {
    Scaler scaler = makeRgbScaler(picture);
    if (!scaler) {
        logError("无法创建格式转换上下文");
        return nullptr;
    }
    Frame rgb(av_frame_alloc());
    if (!rgb) {
        logError("无法为RGB帧分配内存");
        return nullptr;
    }
    rgb->format = AV_PIX_FMT_RGB24;
    rgb->width = picture.width;
    rgb->height = picture.height;
    if (av_frame_get_buffer(rgb.get(), 0) < 0) {
        logError("无法为RGB帧分配缓冲区");
        return nullptr;
    }
    sws_scale(scaler.get(), picture.data, picture.linesize, 0, picture.height, rgb->data,
              rgb->linesize);
    return rgb;
}

Packet encodePng(const AVFrame& rgb) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PNG);
    if (!codec) {
        logError("无法找到PNG编码器");
        return nullptr;
    }
    CodecContext encoder(avcodec_alloc_context3(codec));
    if (!encoder) {
        logError("无法分配PNG编码器上下文");
        return nullptr;
    }
    encoder->pix_fmt = AV_PIX_FMT_RGB24;
    encoder->time_base = ENCODER_TIME_BASE;
    encoder->width = rgb.width;
    encoder->height = rgb.height;
    encoder->thread_count = 1;
    if (avcodec_open2(encoder.get(), codec, nullptr) < 0) {
        logError("无法打开PNG编码器");
        return nullptr;
    }
    if (avcodec_send_frame(encoder.get(), &rgb) < 0) {
        logError("发送RGB帧到PNG编码器失败");
        return nullptr;
    }
    Packet png(av_packet_alloc());
    if (!png) {
        logError("无法分配PNG数据包");
        return nullptr;
    }
    if (avcodec_receive_packet(encoder.get(), png.get()) < 0) {
        logError("从PNG编码器接收数据包失败");
        return nullptr;
    }
    return png;
}

// A file that cannot be completely written is removed rather than left half there.
bool writeCoverFile(const std::string& target, const AVPacket& png) {
    std::error_code ec;
    fs::create_directories(CoverExtractor::COVER_FOLDER, ec);
    fs::remove(target, ec); // it may be a second name of another song's cover: never write through
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    if (!file) {
        return false;
    }
    file.write(reinterpret_cast<const char*>(png.data), png.size);
    file.close();
    if (!file) {
        logError("写入封面文件失败: " + target);
        fs::remove(target, ec);
        return false;
    }
    return true;
}

} // namespace

std::string CoverExtractor::coverPathFor(const std::string& songPath) {
    return std::string(COVER_FOLDER) + "/" + std::to_string(std::hash<std::string>{}(songPath)) +
           ".png";
}

void CoverExtractor::extractCover(AVFormatContext* container, Song& song) {
    const std::string target = coverPathFor(song.filepath);
    for (unsigned i = 0; i < container->nb_streams; ++i) {
        const AVStream& stream = *container->streams[i];
        if (stream.codecpar->codec_type != AVMEDIA_TYPE_VIDEO) {
            continue;
        }
        Packet picture(av_packet_alloc());
        if (!picture) {
            logError("无法分配内存给封面数据包");
            continue;
        }
        const PictureSearch search = findPicture(container, stream, *picture);
        if (search == PictureSearch::END_OF_FILE) {
            return;
        }
        if (search == PictureSearch::NOT_FOUND) {
            continue;
        }
        const PictureKey key = keyOf(stream, *picture);
        if (reuseEncodedPicture(key, target) || encodePicture(stream, *picture, target)) {
            encodedPictures.emplace(key, target);
            song.coverPath = target;
            return;
        }
    }
}

CoverExtractor::PictureKey CoverExtractor::keyOf(const AVStream& stream, const AVPacket& picture) {
    const std::size_t size = static_cast<std::size_t>(picture.size);
    const std::string_view bytes(reinterpret_cast<const char*>(picture.data), size);
    return {stream.codecpar->codec_id, size, std::hash<std::string_view>{}(bytes),
            fnv1a(picture.data, size)};
}

bool CoverExtractor::reuseEncodedPicture(const PictureKey& key, const std::string& target) const {
    auto found = encodedPictures.find(key);
    if (found == encodedPictures.end()) {
        return false;
    }
    if (found->second == target) {
        return true;
    }
    // A second name for the same file costs no copying; where the file system has no such
    // links (FAT on a memory card), the bytes are copied.
    std::error_code ec;
    fs::remove(target, ec);
    fs::create_hard_link(found->second, target, ec);
    if (!ec) {
        return true;
    }
    return fs::copy_file(found->second, target, fs::copy_options::overwrite_existing, ec) && !ec;
}

bool CoverExtractor::encodePicture(const AVStream& stream, const AVPacket& picture,
                                   const std::string& target) const {
    Frame decoded = decodePicture(stream, picture);
    if (!decoded) {
        return false;
    }
    Frame rgb = convertToRgb(*decoded);
    if (!rgb) {
        return false;
    }
    Packet png = encodePng(*rgb);
    return png && writeCoverFile(target, *png);
}
