// Makes the demo library that a first start finds in the runtime folder's music/: three short
// albums by three artists, synthesized here, encoded by the ffmpeg command-line tool with tags
// and an embedded cover drawn here, each song with a .lrc file timed to its phrases.
//   mp-demolib <runtime folder> <work folder> <interface font> <title font>
#include "Canvas.h"
#include "Synth.h"

#include <SDL_ttf.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>

namespace fs = std::filesystem;
using namespace art;

namespace {

constexpr int COVER = 300;
constexpr int BARS_PER_LYRIC = 2;

enum class Format { MP3, M4A, FLAC };

struct Track {
    std::string title;
    demo::Arrangement arrangement;
    std::vector<std::string> lyrics; // one line every two bars
};

struct Album {
    std::string name;
    std::string artist;
    std::string genre;
    Format format;
    std::function<Canvas(const Font& title, const Font& small)> cover;
    std::vector<Track> tracks;
};

demo::Arrangement arrangement(double bpm, int root, bool minor, std::vector<int> progression,
                              int bars, unsigned seed, demo::Lead lead, bool drums) {
    demo::Arrangement a;
    a.bpm = bpm;
    a.rootNote = root;
    a.minor = minor;
    a.progression = std::move(progression);
    a.bars = bars;
    a.melodySeed = seed;
    a.lead = lead;
    a.drums = drums;
    return a;
}

Canvas harbourCover(const Font& title, const Font& small) {
    Canvas c(COVER, COVER);
    c.fill(shape::box(0, 0, COVER, 175),
           paint::linear(0, 0, rgb(255, 196, 128), 0, 175, rgb(238, 112, 92)));
    c.fill(shape::circle(150, 170, 52), rgb(255, 240, 200));
    c.fill(shape::circle(150, 170, 70), rgb(255, 240, 200, 0.35f), 14);
    c.fill(shape::box(0, 170, COVER, 130),
           paint::linear(0, 170, rgb(48, 118, 146), 0, COVER, rgb(16, 48, 78)));
    for (int i = 0; i < 9; ++i) {
        const float y = 180.0f + i * 8.0f + i * i * 0.6f;
        c.fill(shape::capsule(110 - i * 6.0f, y, 190 + i * 6.0f, y, 0.8f),
               rgb(255, 230, 190, 0.55f - i * 0.05f));
    }
    c.fill(shape::polygon({{40, 166}, {84, 166}, {76, 176}, {46, 176}}), rgb(30, 34, 52));
    c.fill(shape::polygon({{60, 128}, {60, 164}, {82, 164}}), rgb(250, 250, 250, 0.9f));
    c.fill(shape::box(59, 126, 2, 40), rgb(30, 34, 52));
    c.text(title, "Café du Port", 150, 212, rgb(255, 255, 255), Align::CENTER);
    c.text(small, "LÉA FONTAINE", 150, 262, rgb(255, 236, 210, 0.85f), Align::CENTER);
    return c;
}

Canvas nightCover(const Font& title, const Font& small) {
    Canvas c(COVER, COVER);
    c.fill(shape::box(0, 0, COVER, COVER),
           paint::linear(0, 0, rgb(18, 22, 66), 0, COVER, rgb(84, 34, 96)));
    unsigned seed = 7;
    for (int i = 0; i < 70; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float x = (seed >> 8) % COVER, y = (seed >> 18) % 190;
        c.fill(shape::circle(x, y, 0.6f + (seed % 3) * 0.4f), rgb(255, 255, 255, 0.8f));
    }
    c.fill(shape::subtract(shape::circle(226, 70, 26), shape::circle(238, 62, 24)),
           rgb(255, 244, 200));
    c.fill(shape::box(0, 236, COVER, 64), rgb(10, 12, 30, 0.85f));
    for (int i = 0; i < 14; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float x = 20 + (seed >> 8) % 260, y = 215 + (seed >> 20) % 70;
        c.fill(shape::circle(x, y, 6), rgb(255, 230, 90, 0.35f), 6);
        c.fill(shape::circle(x, y, 1.6f), rgb(255, 245, 160));
    }
    c.text(title, "夏夜晚风", 150, 120, rgb(255, 255, 255), Align::CENTER);
    c.text(small, "林小雨", 150, 186, rgb(230, 220, 255, 0.9f), Align::CENTER);
    return c;
}

Canvas neonCover(const Font& title, const Font& small) {
    Canvas c(COVER, COVER);
    c.fill(shape::box(0, 0, COVER, COVER),
           paint::linear(0, 0, rgb(10, 6, 24), 0, COVER, rgb(46, 10, 60)));
    Shape sun = shape::circle(150, 150, 62);
    for (int i = 0; i < 5; ++i) {
        sun = shape::subtract(sun, shape::box(0, 160.0f + i * 10, COVER, 2.0f + i * 0.8f));
    }
    c.fill(sun, paint::linear(0, 88, rgb(255, 214, 80), 0, 212, rgb(255, 40, 140)));
    c.fill(shape::box(0, 200, COVER, 100), rgb(12, 4, 26));
    for (int i = -8; i <= 8; ++i) {
        c.fill(shape::capsule(150 + i * 14.0f, 200, 150 + i * 60.0f, COVER, 0.7f),
               rgb(60, 220, 255, 0.7f));
    }
    for (int i = 0; i < 7; ++i) {
        const float y = 200 + 4.0f * i * i;
        c.fill(shape::box(0, y, COVER, 1.2f), rgb(60, 220, 255, 0.7f));
    }
    c.text(title, "NEON ARCADE", 150, 28, rgb(255, 255, 255), Align::CENTER);
    c.text(small, "PIXEL HARBOR", 150, 70, rgb(255, 120, 200), Align::CENTER);
    return c;
}

std::vector<Album> albums() {
    using demo::Lead;
    return {
        {"Café du Port",
         "Léa Fontaine",
         "Chanson",
         Format::MP3,
         harbourCover,
         {{"Matin calme",
           arrangement(84, 60, false, {0, 5, 3, 4}, 8, 3, Lead::SOFT, false),
           {"Le café s'éveille au bord du port", "Les mouettes dansent sur l'eau",
            "Un rayon glisse sur la table", "Et le matin reste calme"}},
          {"Les quais",
           arrangement(96, 57, true, {0, 5, 2, 6}, 8, 7, Lead::BRIGHT, true),
           {"Sur les quais je marche seule", "Les bateaux rentrent lentement",
            "Le vent d'été chante encore", "Je garde ton nom dans ma main"}},
          {"Lumière d'été",
           arrangement(108, 65, false, {0, 4, 5, 3}, 10, 12, Lead::SOFT, true),
           {"Lumière d'été sur les façades", "Les rires montent des terrasses",
            "On danse jusqu'à la nuit", "Sous les étoiles du port", "Et l'été ne finit jamais"}}}},
        {"夏夜晚风",
         "林小雨",
         "华语流行",
         Format::M4A,
         nightCover,
         {{"晚风",
           arrangement(76, 62, false, {0, 2, 3, 4}, 6, 21, Lead::SOFT, false),
           {"晚风吹过城市的灯火", "把昨天轻轻带走", "你说夏天不会太久"}},
          {"萤火",
           arrangement(92, 64, true, {0, 3, 5, 4}, 8, 11, Lead::SOFT, true),
           {"萤火在草丛里闪烁", "像你眼里的光", "我们数着星星回家", "夜色温柔又漫长"}},
          {"星河",
           arrangement(100, 67, false, {0, 4, 5, 2, 3, 0, 3, 4}, 8, 5, Lead::BRIGHT, true),
           {"抬头是一整条星河", "我们在路口挥手", "星光落在你的眼眸", "这一刻慢慢停留"}}}},
        {"Neon Arcade",
         "Pixel Harbor",
         "Chiptune",
         Format::FLAC,
         neonCover,
         {{"Insert Coin",
           arrangement(132, 60, true, {0, 5, 6, 4}, 12, 9, Lead::SQUARE, true),
           {"Insert coin, the lights come on", "Player one is ready",
            "Jump the gaps and grab the stars", "Faster, faster, level two",
            "High score glowing in the dark", "Game over? Press start again"}},
          {"별빛 Starlight",
           arrangement(120, 58, false, {0, 3, 4, 0}, 10, 4, Lead::SQUARE, true),
           {"별빛이 쏟아지는 밤", "Starlight over the arcade", "너와 함께 달려가",
            "Pixels shining in your eyes", "이 노래가 끝나도"}}}},
    };
}

std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) {
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return result + "'";
}

void run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("command failed: " + command);
    }
}

std::string timeTag(double seconds) {
    const int hundredths = static_cast<int>(std::lround(seconds * 100));
    char tag[16];
    std::snprintf(tag, sizeof tag, "[%02d:%02d.%02d]", hundredths / 6000, hundredths / 100 % 60,
                  hundredths % 100);
    return tag;
}

void writeLyrics(const fs::path& path, const Album& album, const Track& track) {
    std::ofstream file(path, std::ios::trunc);
    file << "[ti:" << track.title << "]\n[ar:" << album.artist << "]\n[al:" << album.name
         << "]\n[by:demo]\n";
    const double bar = demo::barSeconds(track.arrangement);
    for (std::size_t i = 0; i < track.lyrics.size(); ++i) {
        file << timeTag(i * BARS_PER_LYRIC * bar) << track.lyrics[i] << "\n";
    }
}

std::string encoderOptions(Format format) {
    switch (format) {
    case Format::MP3:
        return "-c:a libmp3lame -b:a 128k -id3v2_version 3";
    case Format::M4A:
        return "-c:a aac -b:a 112k";
    case Format::FLAC:
        return "-c:a flac -ar 22050 -ac 1";
    }
    return "";
}

const char* extension(Format format) {
    switch (format) {
    case Format::MP3:
        return ".mp3";
    case Format::M4A:
        return ".m4a";
    case Format::FLAC:
        return ".flac";
    }
    return "";
}

void makeAlbum(const Album& album, int number, const fs::path& music, const fs::path& work,
               const Font& titleFont, const Font& smallFont) {
    const fs::path folder = music / album.artist / album.name;
    fs::create_directories(folder);
    const fs::path coverPng = work / ("cover-" + std::to_string(number) + ".png");
    const fs::path coverJpeg = work / ("cover-" + std::to_string(number) + ".jpg");
    if (!album.cover(titleFont, smallFont).savePng(coverPng.string())) {
        throw std::runtime_error("cannot write " + coverPng.string());
    }
    run("ffmpeg -nostdin -y -loglevel error -i " + quoted(coverPng.string()) + " -q:v 3 " +
        quoted(coverJpeg.string()));
    for (std::size_t i = 0; i < album.tracks.size(); ++i) {
        const Track& track = album.tracks[i];
        const fs::path wave = work / "track.wav";
        demo::writeWave(wave.string(), demo::render(track.arrangement),
                        track.arrangement.sampleRate, track.arrangement.channels);
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%02zu ", i + 1);
        const std::string name = prefix + track.title;
        const fs::path audio = folder / (name + extension(album.format));
        run("ffmpeg -nostdin -y -loglevel error -i " + quoted(wave.string()) + " -i " +
            quoted(coverJpeg.string()) + " -map 0:a -map 1:v " + encoderOptions(album.format) +
            " -c:v copy -disposition:v:0 attached_pic" + " -metadata title=" + quoted(track.title) +
            " -metadata artist=" + quoted(album.artist) + " -metadata album=" + quoted(album.name) +
            " -metadata genre=" + quoted(album.genre) +
            " -metadata track=" + std::to_string(i + 1) + "/" +
            std::to_string(album.tracks.size()) + " -metadata date=2024 " + quoted(audio.string()));
        writeLyrics(folder / (name + ".lrc"), album, track);
        fs::remove(wave);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s <runtime folder> <work folder> <ui font> <title font>\n",
                     argv[0]);
        return 2;
    }
    if (TTF_Init() != 0) {
        return 1;
    }
    int status = 0;
    try {
        const fs::path music = fs::path(argv[1]) / "music";
        const fs::path work = argv[2];
        fs::remove_all(music);
        fs::create_directories(work);
        const Font titleFont(argv[4], 30);
        const Font smallFont(argv[3], 15);
        const std::vector<Album> library = albums();
        for (std::size_t i = 0; i < library.size(); ++i) {
            makeAlbum(library[i], static_cast<int>(i + 1), music, work, titleFont, smallFont);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "demo library: %s\n", error.what());
        status = 1;
    }
    TTF_Quit();
    return status;
}
