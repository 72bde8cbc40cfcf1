#include "library/CoverExtractor.h"

#include "core/FfmpegHandles.h"
#include "core/JsonFile.h"
#include "core/Log.h"
#include "core/MediaFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

namespace fs = std::filesystem;

namespace {

// A non-picture video stream is searched this many packets deep for a frame of its own.
constexpr int MAX_PACKETS_SEARCHED = 64;
// Larger pictures are refused rather than decoded: a damaged or hostile tag could otherwise ask
// for gigabytes.
constexpr int64_t MAX_COVER_PIXELS = 6000LL * 6000LL;
constexpr AVRational ENCODER_TIME_BASE = {1, 25};
// JPEG quantiser scale, as ffmpeg's -q:v (2 is best, 31 worst).
constexpr int JPEG_QUALITY = 3;
constexpr const char* COVER_EXTENSION = ".jpg";
constexpr const char* HASH_FORMAT = "%016llx";
constexpr std::size_t HASH_DIGITS = 16;

// A 64-bit hash of a picture's bytes, eight bytes a step (the murmur3 mixing constants).
constexpr uint64_t HASH_SEED = 0x9e3779b97f4a7c15ULL;
constexpr uint64_t HASH_MULTIPLIER_1 = 0x87c37b91114253d5ULL;
constexpr uint64_t HASH_MULTIPLIER_2 = 0x4cf5ad432745937fULL;
constexpr uint64_t FINAL_MULTIPLIER_1 = 0xff51afd7ed558ccdULL;
constexpr uint64_t FINAL_MULTIPLIER_2 = 0xc4ceb9fe1a85ec53ULL;
constexpr int WORD_ROTATION = 31;
constexpr int HASH_ROTATION = 27;
constexpr int FINAL_SHIFT = 33;
constexpr uint64_t HASH_ADDEND = 0x52dce729;
constexpr int HASH_SPREAD = 5;

uint64_t rotateLeft(uint64_t value, int bits) {
    return (value << bits) | (value >> (64 - bits));
}

uint64_t mixWord(uint64_t word) {
    return rotateLeft(word * HASH_MULTIPLIER_1, WORD_ROTATION) * HASH_MULTIPLIER_2;
}

uint64_t finalMix(uint64_t hash) {
    hash ^= hash >> FINAL_SHIFT;
    hash *= FINAL_MULTIPLIER_1;
    hash ^= hash >> FINAL_SHIFT;
    hash *= FINAL_MULTIPLIER_2;
    return hash ^ (hash >> FINAL_SHIFT);
}

uint64_t pictureHash(const uint8_t* data, std::size_t size) {
    uint64_t hash = HASH_SEED ^ size;
    std::size_t at = 0;
    for (; at + sizeof(uint64_t) <= size; at += sizeof(uint64_t)) {
        uint64_t word = 0;
        std::memcpy(&word, data + at, sizeof word);
        hash ^= mixWord(word);
        hash = rotateLeft(hash, HASH_ROTATION) * HASH_SPREAD + HASH_ADDEND;
    }
    uint64_t tail = 0;
    if (size > at) {
        std::memcpy(&tail, data + at, size - at);
    }
    return finalMix(hash ^ mixWord(tail));
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

// JPEG decoders can hand out the picture at a half, a quarter or an eighth of its size at a
// fraction of the cost; the largest such size that is still at least a cover's size is taken.
int reducedDecodingLevel(const AVCodec& codec, const AVCodecParameters& parameters) {
    int level = 0;
    const int shorterSide = std::min(parameters.width, parameters.height);
    while (level < codec.max_lowres &&
           (shorterSide >> (level + 1)) >= CoverExtractor::MAX_COVER_SIDE) {
        ++level;
    }
    return level;
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
    decoder->lowres = reducedDecodingLevel(*codec, *stream.codecpar);
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

// The size of a cover: the picture's own, or scaled down to fit MAX_COVER_SIDE, same shape.
void coverSize(const AVFrame& picture, int& width, int& height) {
    const int longer = std::max(picture.width, picture.height);
    if (longer <= CoverExtractor::MAX_COVER_SIDE) {
        width = picture.width;
        height = picture.height;
        return;
    }
    const auto scaled = [&](int side) {
        return std::max(1, static_cast<int>(static_cast<int64_t>(side) *
                                            CoverExtractor::MAX_COVER_SIDE / longer));
    };
    width = scaled(picture.width);
    height = scaled(picture.height);
}

// Full-range YUV 4:2:0, as JPEG files hold it.
Scaler makeCoverScaler(const AVFrame& picture, int width, int height) {
    bool fullRange = picture.color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat source =
        plainPixelFormat(static_cast<AVPixelFormat>(picture.format), fullRange);
    Scaler scaler(sws_getContext(picture.width, picture.height, source, width, height,
                                 AV_PIX_FMT_YUV420P, SWS_AREA, nullptr, nullptr, nullptr));
    if (scaler) {
        const int* coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
        constexpr int NEUTRAL_BRIGHTNESS = 0;
        constexpr int NEUTRAL_CONTRAST = 1 << 16;
        constexpr int NEUTRAL_SATURATION = 1 << 16;
        constexpr int FULL_RANGE = 1;
        sws_setColorspaceDetails(scaler.get(), coefficients, fullRange ? 1 : 0, coefficients,
                                 FULL_RANGE, NEUTRAL_BRIGHTNESS, NEUTRAL_CONTRAST,
                                 NEUTRAL_SATURATION);
    }
    return scaler;
}

Frame scaleToCover(const AVFrame& picture) {
    int width = 0;
    int height = 0;
    coverSize(picture, width, height);
    Scaler scaler = makeCoverScaler(picture, width, height);
    if (!scaler) {
        logError("无法创建格式转换上下文");
        return nullptr;
    }
    Frame cover(av_frame_alloc());
    if (!cover) {
        logError("无法为封面帧分配内存");
        return nullptr;
    }
    cover->format = AV_PIX_FMT_YUV420P;
    cover->color_range = AVCOL_RANGE_JPEG;
    cover->width = width;
    cover->height = height;
    if (av_frame_get_buffer(cover.get(), 0) < 0) {
        logError("无法为封面帧分配缓冲区");
        return nullptr;
    }
    sws_scale(scaler.get(), picture.data, picture.linesize, 0, picture.height, cover->data,
              cover->linesize);
    return cover;
}

Packet encodeJpeg(AVFrame& cover) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    if (!codec) {
        logError("无法找到JPEG编码器");
        return nullptr;
    }
    CodecContext encoder(avcodec_alloc_context3(codec));
    if (!encoder) {
        logError("无法分配JPEG编码器上下文");
        return nullptr;
    }
    encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder->color_range = AVCOL_RANGE_JPEG;
    encoder->time_base = ENCODER_TIME_BASE;
    encoder->width = cover.width;
    encoder->height = cover.height;
    encoder->thread_count = 1;
    encoder->flags |= AV_CODEC_FLAG_QSCALE;
    encoder->global_quality = FF_QP2LAMBDA * JPEG_QUALITY;
    cover.quality = encoder->global_quality;
    if (avcodec_open2(encoder.get(), codec, nullptr) < 0) {
        logError("无法打开JPEG编码器");
        return nullptr;
    }
    if (avcodec_send_frame(encoder.get(), &cover) < 0) {
        logError("发送封面帧到JPEG编码器失败");
        return nullptr;
    }
    Packet jpeg(av_packet_alloc());
    if (!jpeg) {
        logError("无法分配JPEG数据包");
        return nullptr;
    }
    if (avcodec_receive_packet(encoder.get(), jpeg.get()) < 0) {
        logError("从JPEG编码器接收数据包失败");
        return nullptr;
    }
    return jpeg;
}

// Decodes the picture and writes it as a cover; false after logging why.
bool writeCover(const AVStream& stream, const AVPacket& picture, const std::string& target) {
    Frame decoded = decodePicture(stream, picture);
    if (!decoded) {
        return false;
    }
    Frame cover = scaleToCover(*decoded);
    if (!cover) {
        return false;
    }
    Packet jpeg = encodeJpeg(*cover);
    if (!jpeg) {
        return false;
    }
    std::error_code ec;
    fs::create_directories(CoverExtractor::COVER_FOLDER, ec);
    std::string error;
    const std::string bytes(reinterpret_cast<const char*>(jpeg->data),
                            static_cast<std::size_t>(jpeg->size));
    if (!JsonFile::writeAtomically(target, bytes, &error)) {
        logError("写入封面文件失败: " + target + " - " + error);
        return false;
    }
    return true;
}

// A JPEG file starts with the start-of-image marker and ends with the end-of-image marker.
bool hasJpegEnds(const std::string& path) {
    constexpr unsigned char START[] = {0xFF, 0xD8};
    constexpr unsigned char END[] = {0xFF, 0xD9};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    unsigned char head[2] = {};
    unsigned char tail[2] = {};
    const bool read = std::fread(head, 1, 2, file) == 2 && std::fseek(file, -2, SEEK_END) == 0 &&
                      std::fread(tail, 1, 2, file) == 2;
    std::fclose(file);
    return read && std::memcmp(head, START, 2) == 0 && std::memcmp(tail, END, 2) == 0;
}

// Whether a cover file holds a picture that decodes: one that was cut short or overwritten is
// written again.
bool coverDecodes(const std::string& path) {
    if (!hasJpegEnds(path)) {
        return false;
    }
    FormatContext container = MediaFile::open(path);
    if (!container || container->nb_streams < 1) {
        return false;
    }
    Packet picture(av_packet_alloc());
    if (!picture || av_read_frame(container.get(), picture.get()) < 0) {
        return false;
    }
    return decodePicture(*container->streams[0], *picture) != nullptr;
}

struct UnreadableCovers {
    std::mutex mutex;
    std::unordered_set<std::string> paths;
};

UnreadableCovers& unreadableCovers() {
    static UnreadableCovers covers;
    return covers;
}

} // namespace

bool CoverExtractor::isWhole(const std::string& path) {
    return hasJpegEnds(path);
}

void CoverExtractor::noteUnreadableCover(const std::string& path) {
    const fs::path file(path);
    if (file.parent_path() != COVER_FOLDER) {
        return; // the placeholder and the skins' pictures are not the scan's to repair
    }
    UnreadableCovers& covers = unreadableCovers();
    std::lock_guard<std::mutex> lock(covers.mutex);
    covers.paths.insert(path);
}

std::unordered_set<std::string> CoverExtractor::takeUnreadableCovers() {
    UnreadableCovers& covers = unreadableCovers();
    std::lock_guard<std::mutex> lock(covers.mutex);
    return std::exchange(covers.paths, {});
}

std::string CoverExtractor::coverPathFor(const uint8_t* picture, std::size_t size) {
    char digits[HASH_DIGITS + 1];
    std::snprintf(digits, sizeof digits, HASH_FORMAT,
                  static_cast<unsigned long long>(pictureHash(picture, size)));
    return std::string(COVER_FOLDER) + "/" + digits + COVER_EXTENSION;
}

void CoverExtractor::extractCover(AVFormatContext* container, Song& song) {
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
        const std::string target =
            coverPathFor(picture->data, static_cast<std::size_t>(picture->size));
        if (isKnownCover(target) || writeCover(stream, *picture, target)) {
            knownCovers.insert(target);
            song.coverPath = target;
            return;
        }
    }
}

// A cover file that is there and decodes holds the picture its name says.
bool CoverExtractor::isKnownCover(const std::string& target) {
    if (knownCovers.count(target) > 0) {
        return true;
    }
    std::error_code ec;
    return fs::is_regular_file(target, ec) && coverDecodes(target);
}

void CoverExtractor::removeCoversNotUsedBy(const std::vector<Song>& songs) {
    std::unordered_set<std::string> used;
    for (const Song& song : songs) {
        used.insert(fs::path(song.coverPath).lexically_normal().string());
    }
    std::error_code ec;
    for (fs::directory_iterator entry(COVER_FOLDER, ec), end; !ec && entry != end;
         entry.increment(ec)) {
        const fs::path file = entry->path().lexically_normal();
        if (used.count(file.string()) == 0) {
            std::error_code removeError;
            fs::remove(file, removeError);
            if (removeError) {
                logError("删除封面缓存失败: " + file.string() + " - " + removeError.message());
            }
        }
    }
}
