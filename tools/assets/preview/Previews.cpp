// Renders composed screens of the player from the staged runtime folder, using the positions and
// sizes the pages draw with, so that the artwork can be judged together:
//   mp-previews <runtime folder> <output folder> [sample cover …]
#include "core/SdlHandles.h"
#include "ui/ThemeAssetCodec.h"

#include <SDL_image.h>
#include <json/json.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int SCREEN_W = 640;
constexpr int SCREEN_H = 480;
const SDL_Color WHITE{255, 255, 255, 255};

enum class Align { LEFT, CENTER, RIGHT };

struct SampleAlbum {
    std::string name;
    std::string artist;
    std::string cover;
    std::vector<std::string> songs;
};

class Preview {
public:
    Preview(std::string runtime, std::string output)
        : runtime(std::move(runtime)), output(std::move(output)),
          target(SDL_CreateRGBSurfaceWithFormat(0, SCREEN_W, SCREEN_H, 32, SDL_PIXELFORMAT_RGBA32)),
          renderer(SDL_CreateSoftwareRenderer(target.get())) {
        if (!renderer) {
            throw std::runtime_error(std::string("renderer: ") + SDL_GetError());
        }
        fs::create_directories(this->output);
        std::ifstream file(path("lan/zh_CN.json"));
        Json::CharReaderBuilder reader;
        std::string errors;
        Json::parseFromStream(reader, file, &language, &errors);
    }

    SDL_Renderer* get() const { return renderer.get(); }
    std::string path(const std::string& relative) const { return runtime + "/" + relative; }
    std::string text(const std::string& key) const { return language.get(key, key).asString(); }

    TexturePtr plain(const std::string& relative) const {
        TexturePtr texture(IMG_LoadTexture(renderer.get(), path(relative).c_str()));
        if (!texture) {
            throw std::runtime_error("cannot load " + relative + ": " + IMG_GetError());
        }
        return texture;
    }

    TexturePtr skin(const std::string& relative) const {
        TexturePtr texture = codec.loadTexture(renderer.get(), path(relative));
        if (!texture) {
            throw std::runtime_error("cannot load skin image " + relative);
        }
        return texture;
    }

    TexturePtr scaledSquare(const std::string& file, int size) const {
        SurfacePtr image(IMG_Load(file.c_str()));
        if (!image) {
            throw std::runtime_error("cannot load " + file);
        }
        SurfacePtr scaled(
            SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_RGBA32));
        SDL_BlitScaled(image.get(), nullptr, scaled.get(), nullptr);
        TexturePtr texture(SDL_CreateTextureFromSurface(renderer.get(), scaled.get()));
        SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND);
        return texture;
    }

    void copy(SDL_Texture* texture, const SDL_Rect* destination = nullptr,
              const SDL_Rect* source = nullptr) const {
        SDL_RenderCopy(renderer.get(), texture, source, destination);
    }

    void fill(SDL_Rect rect, SDL_Color colour) const {
        SDL_SetRenderDrawBlendMode(renderer.get(), SDL_BLENDMODE_BLEND);
        SDL_SetRenderDrawColor(renderer.get(), colour.r, colour.g, colour.b, colour.a);
        SDL_RenderFillRect(renderer.get(), &rect);
    }

    TTF_Font* font(const std::string& file, int points) {
        const std::string id = file + "@" + std::to_string(points);
        auto found = fonts.find(id);
        if (found == fonts.end()) {
            FontPtr opened(TTF_OpenFont(path(file).c_str(), points));
            if (!opened) {
                throw std::runtime_error("cannot open " + file);
            }
            found = fonts.emplace(id, std::move(opened)).first;
        }
        return found->second.get();
    }

    // Draws text with its top at y; x is the left edge, centre or right edge. Returns its size.
    SDL_Point write(TTF_Font* font, const std::string& words, int x, int y, SDL_Color colour,
                    Align align = Align::LEFT) const {
        if (words.empty()) {
            return {0, 0};
        }
        SurfacePtr surface(TTF_RenderUTF8_Blended(font, words.c_str(), colour));
        TexturePtr texture(SDL_CreateTextureFromSurface(renderer.get(), surface.get()));
        SDL_Rect place{x, y, surface->w, surface->h};
        if (align == Align::CENTER) {
            place.x -= surface->w / 2;
        } else if (align == Align::RIGHT) {
            place.x -= surface->w;
        }
        copy(texture.get(), &place);
        return {surface->w, surface->h};
    }

    void clear(SDL_Color colour) const {
        SDL_SetRenderDrawColor(renderer.get(), colour.r, colour.g, colour.b, colour.a);
        SDL_RenderClear(renderer.get());
    }

    void save(const std::string& name) const {
        SDL_RenderPresent(renderer.get());
        const std::string file = output + "/" + name;
        if (IMG_SavePNG(target.get(), file.c_str()) != 0) {
            throw std::runtime_error("cannot write " + file);
        }
        std::printf("preview: %s\n", file.c_str());
    }

private:
    std::string runtime;
    std::string output;
    SurfacePtr target;
    RendererPtr renderer;
    ThemeAssetCodec codec;
    Json::Value language;
    std::map<std::string, FontPtr> fonts;
};

const char* const UI_FONT = "resources/font.ttf";
const char* const TITLE_FONT = "resources/cover.ttf";

// The status strip: play icon and a battery gauge at 76 %, as the top bar draws them.
void topBar(Preview& p, SDL_Texture* playIcon) {
    SDL_Rect icon{10, 7, 16, 16};
    p.copy(playIcon, &icon);
    const SDL_Rect battery{603, 7, 32, 16};
    SDL_SetRenderDrawColor(p.get(), 255, 255, 255, 255);
    SDL_RenderDrawRect(p.get(), &battery);
    p.fill({635, 11, 3, 8}, WHITE);
    p.fill({605, 9, 28 * 76 / 100, 12}, SDL_Color{0, 255, 0, 255});
    TTF_Font* font = p.font(UI_FONT, 24);
    int w = 0, h = 0;
    TTF_SizeUTF8(font, "76%", &w, &h);
    p.write(font, "76%", 603 - w - 5, 7 + (16 - h) / 2, WHITE);
}

void listRow(Preview& p, int y, int height, int left, int right, bool selected, SDL_Texture* icon,
             const std::string& label, int iconX, int textX, int plainGrey = 128) {
    if (selected) {
        p.fill({left, y, 10, height}, SDL_Color{255, 0, 0, 255});
        p.fill({left + 10, y, right - left - 10, height}, SDL_Color{40, 40, 40, 255});
    }
    const int iconSize = 32;
    SDL_Rect place{iconX, y + (height - iconSize) / 2, iconSize, iconSize};
    p.copy(icon, &place);
    TTF_Font* font = p.font(UI_FONT, 24);
    const Uint8 grey = selected ? 255 : static_cast<Uint8>(plainGrey);
    int w = 0, h = 0;
    TTF_SizeUTF8(font, label.c_str(), &w, &h);
    p.write(font, label, textX, y + (height - h) / 2, SDL_Color{grey, grey, grey, 255});
}

void mainMenu(Preview& p, bool panelOpen, int selected) {
    const TexturePtr background = p.plain("icons/bg.png");
    p.copy(background.get());
    const TexturePtr play = p.plain("icons/bofang.png");
    topBar(p, play.get());
    const char* entries[][2] = {
        {"main_menu_songs", "gequ"},        {"main_menu_albums", "zhuanji"},
        {"main_menu_artists", "yishujia"},  {"main_menu_playlists", "shoucang"},
        {"main_menu_equalizer", "eq"},      {"main_menu_settings", "shezhi"},
        {"main_menu_now_playing", "bofang"}};
    for (int i = 0; i < 7; ++i) {
        const bool isSelected = i == selected;
        const TexturePtr icon =
            p.plain(std::string("icons/") + entries[i][1] + (isSelected ? "_l" : "") + ".png");
        listRow(p, 30 + 60 * i, 60, 0, 640, isSelected, icon.get(), p.text(entries[i][0]), 20, 70);
    }
    if (panelOpen) {
        const TexturePtr panel = p.plain("icons/tbg.png");
        const SDL_Rect place{235, 8, 400, 466};
        p.copy(panel.get(), &place);
        const char* items[] = {"slide_menu_rescan", "slide_menu_key_guide", "slide_menu_exit"};
        TTF_Font* font = p.font(UI_FONT, 24);
        for (int j = 0; j < 3; ++j) {
            const SDL_Rect entry{245, 18 + 50 * j, 380, 40};
            if (j == 0) {
                p.fill(entry, SDL_Color{60, 60, 60, 255});
            }
            const Uint8 grey = j == 0 ? 255 : 200;
            int w = 0, h = 0;
            TTF_SizeUTF8(font, p.text(items[j]).c_str(), &w, &h);
            p.write(font, p.text(items[j]), entry.x + 20, entry.y + (40 - h) / 2,
                    SDL_Color{grey, grey, grey, 255});
        }
    }
    p.save(panelOpen ? "main-menu-panel.png" : "main-menu.png");
}

void songsList(Preview& p, const std::vector<SampleAlbum>& albums) {
    const TexturePtr background = p.plain("icons/bg.png");
    p.copy(background.get());
    const TexturePtr play = p.plain("icons/bofang.png");
    topBar(p, play.get());
    std::vector<std::string> titles;
    for (const SampleAlbum& album : albums) {
        titles.insert(titles.end(), album.songs.begin(), album.songs.end());
    }
    const char* icons[] = {"song", "bofang", "shoucang", "song"};
    for (int i = 0; i < std::min<int>(8, static_cast<int>(titles.size())); ++i) {
        const bool selected = i == 2;
        const std::string name = icons[std::min(i, 3)];
        const TexturePtr icon = p.plain("icons/" + name + (selected ? "_l" : "") + ".png");
        listRow(p, 30 + 55 * i, 55, 0, 640, selected, icon.get(), titles[i], 20, 70);
    }
    p.fill({634, 35, 4, 440 * 8 / static_cast<int>(std::max<std::size_t>(9, titles.size()))},
           SDL_Color{128, 128, 128, 128});
    p.save("songs.png");
}

// The panel colour of the tape skin: the average of the most common hue among the cover's
// coloured pixels.
SDL_Color accentColour(const std::string& file) {
    SurfacePtr image(IMG_Load(file.c_str()));
    SurfacePtr pixels(SDL_ConvertSurfaceFormat(image.get(), SDL_PIXELFORMAT_RGBA32, 0));
    struct Hsv {
        double h, s, v;
    };
    std::vector<std::vector<Hsv>> buckets(12);
    for (int y = 0; y < pixels->h; ++y) {
        const auto* row = static_cast<const Uint8*>(pixels->pixels) + y * pixels->pitch;
        for (int x = 0; x < pixels->w; ++x) {
            const Uint8* px = row + 4 * x;
            if (px[3] < 128) {
                continue;
            }
            const double r = px[0] / 255.0, g = px[1] / 255.0, b = px[2] / 255.0;
            const double max = std::max({r, g, b}), min = std::min({r, g, b});
            const double delta = max - min;
            double h = 0;
            if (delta > 0) {
                if (max == r) {
                    h = 60 * std::fmod((g - b) / delta, 6.0);
                } else if (max == g) {
                    h = 60 * ((b - r) / delta + 2);
                } else {
                    h = 60 * ((r - g) / delta + 4);
                }
                if (h < 0) {
                    h += 360;
                }
            }
            const double s = max > 0 ? delta / max : 0;
            if (s < 0.1 && max > 0.85) {
                continue;
            }
            buckets[static_cast<int>(h / 30) % 12].push_back({h, s, max});
        }
    }
    std::size_t best = 0;
    for (std::size_t i = 1; i < buckets.size(); ++i) {
        if (buckets[i].size() > buckets[best].size()) {
            best = i;
        }
    }
    if (buckets[best].empty()) {
        return SDL_Color{0, 0, 0, 255};
    }
    Hsv mean{0, 0, 0};
    for (const Hsv& value : buckets[best]) {
        mean.h += value.h;
        mean.s += value.s;
        mean.v += value.v;
    }
    const double n = static_cast<double>(buckets[best].size());
    mean = {mean.h / n, mean.s / n, mean.v / n};
    const double c = mean.v * mean.s;
    const double x = c * (1 - std::abs(std::fmod(mean.h / 60, 2.0) - 1));
    const double m = mean.v - c;
    double r = 0, g = 0, b = 0;
    const int sector = static_cast<int>(mean.h / 60);
    const double table[6][3] = {{c, x, 0}, {x, c, 0}, {0, c, x}, {0, x, c}, {x, 0, c}, {c, 0, x}};
    r = table[sector % 6][0];
    g = table[sector % 6][1];
    b = table[sector % 6][2];
    return SDL_Color{static_cast<Uint8>((r + m) * 255), static_cast<Uint8>((g + m) * 255),
                     static_cast<Uint8>((b + m) * 255), 255};
}

void nowPlayingTape(Preview& p, const std::string& folder, const SampleAlbum& album,
                    double progress, const std::string& file) {
    const std::string base = "icons/" + folder + "/";
    const TexturePtr background = p.skin(base + "bg.png");
    p.copy(background.get());
    const TexturePtr cover = p.scaledSquare(album.cover, 300);
    const SDL_Rect coverRect{14, 16, 300, 300};
    p.copy(cover.get(), &coverRect);
    const SDL_Color panel = accentColour(album.cover);
    SDL_SetRenderDrawBlendMode(p.get(), SDL_BLENDMODE_BLEND);
    for (int i = 0; i < 300; ++i) {
        SDL_SetRenderDrawColor(p.get(), panel.r, panel.g, panel.b,
                               static_cast<Uint8>(i * 255 / 300));
        SDL_RenderDrawLine(p.get(), 14 + i, 16, 14 + i, 316);
    }
    p.fill({314, 16, 312, 300}, panel);
    for (int r = 0; r < 55; ++r) {
        const double s = r / 55.0;
        SDL_SetRenderDrawColor(p.get(), static_cast<Uint8>(18 * s + 150 * (1 - s)),
                               static_cast<Uint8>(18 * s + 40 * (1 - s)),
                               static_cast<Uint8>(18 * s + 39 * (1 - s)), 255);
        SDL_RenderDrawLine(p.get(), 2, 409 + r, 2 + static_cast<int>(progress * 636), 409 + r);
    }
    const TexturePtr body = p.skin(base + "typebg.png");
    p.copy(body.get());
    const TexturePtr overlay = p.skin(base + "zdbg.png");
    p.copy(overlay.get());
    const TexturePtr reel = p.skin(base + "c.png");
    const SDL_Rect left{128, 137, 104, 104}, right{420, 137, 104, 104};
    const SDL_Point leftCentre{52, 53}, rightCentre{53, 53};
    SDL_RenderCopyEx(p.get(), reel.get(), nullptr, &left, 137.0, &leftCentre, SDL_FLIP_NONE);
    SDL_RenderCopyEx(p.get(), reel.get(), nullptr, &right, 221.0, &rightCentre, SDL_FLIP_NONE);
    const int index = static_cast<int>(progress * 30);
    const TexturePtr tape = p.skin(base + "k/" + std::to_string(index / 3 + 1) + "-" +
                                   std::to_string(index % 3 + 1) + ".png");
    p.copy(tape.get());
    p.write(p.font(TITLE_FONT, 60), album.songs.front(), 540, 64, WHITE, Align::RIGHT);
    p.write(p.font(TITLE_FONT, 36), album.artist, 588, 256, WHITE, Align::RIGHT);
    const TexturePtr top = p.skin(base + "db.png");
    p.copy(top.get());
    const TexturePtr mode = p.plain("icons/ssx.png");
    const SDL_Rect modeRect{538, 453, 24, 24};
    p.copy(mode.get(), &modeRect);
    TTF_Font* lyric = p.font(UI_FONT, 18);
    int w = 0, h = 0;
    const std::string line = "晚风吹过城市的灯火";
    TTF_SizeUTF8(lyric, line.c_str(), &w, &h);
    p.write(lyric, line, 40 + (560 - w) / 2, 450 + (30 - h) / 2, WHITE);
    TTF_SizeUTF8(lyric, "-02:41", &w, &h);
    p.write(lyric, "-02:41", 510 + 118 - 2, 450 + (30 - h) / 2, WHITE, Align::RIGHT);
    p.save(file);
}

void nowPlayingRecord(Preview& p, const SampleAlbum& album, double armAngle, double discAngle,
                      int volume, const std::string& file) {
    const std::string base = "icons/record/";
    const TexturePtr background = p.skin(base + "bg.png");
    p.copy(background.get());
    const double progress = 0.37;
    p.fill({481, 399, 132, 9}, SDL_Color{110, 110, 110, 255});
    p.fill({481, 399, static_cast<int>(132 * progress), 9}, SDL_Color{255, 77, 35, 255});
    const TexturePtr body = p.skin(base + "cp.png");
    p.copy(body.get());
    const TexturePtr cover = p.scaledSquare(album.cover, 300);
    const SDL_Rect label{110, 111, 216, 216};
    SDL_RenderCopyEx(p.get(), cover.get(), nullptr, &label, discAngle, nullptr, SDL_FLIP_NONE);
    const TexturePtr disc = p.skin(base + "pp.png");
    const SDL_Rect discRect{14, 15, 408, 408};
    SDL_RenderCopyEx(p.get(), disc.get(), nullptr, &discRect, discAngle, nullptr, SDL_FLIP_NONE);
    const TexturePtr arm = p.skin(base + "bo.png");
    const SDL_Rect armRect{346, 9, 171, 440};
    const SDL_Point pivot{131, 97};
    SDL_RenderCopyEx(p.get(), arm.get(), nullptr, &armRect, armAngle, &pivot, SDL_FLIP_NONE);
    const TexturePtr thumb = p.skin(base + "tn.png");
    const SDL_Rect thumbRect{583, static_cast<int>(260 - volume / 100.0 * (260 - 68)), 41, 78};
    p.copy(thumb.get(), &thumbRect);
    const TexturePtr top = p.skin(base + "dbzg.png");
    p.copy(top.get());
    p.write(p.font(UI_FONT, 24), album.songs.front(), 173, 38, WHITE, Align::CENTER);
    p.write(p.font(UI_FONT, 20), album.artist, 173, 73, SDL_Color{192, 192, 192, 255},
            Align::CENTER);
    p.write(p.font(UI_FONT, 34), "-02:41", 601, 352, SDL_Color{255, 77, 35, 255}, Align::RIGHT);
    p.write(p.font(UI_FONT, 20), "Le café s'éveille au bord du port", 320, 440,
            SDL_Color{122, 122, 122, 255}, Align::CENTER);
    p.save(file);
}

struct Card {
    float scale;
    float alpha;
    float x;
};

std::vector<Card> carousel(std::size_t count, std::size_t selected, int spacing) {
    std::vector<Card> cards;
    for (std::size_t i = 0; i < count; ++i) {
        const bool isSelected = i == selected;
        cards.push_back({isSelected ? 1.0f : 0.7f, isSelected ? 255.0f : 153.0f,
                         320.0f + (static_cast<int>(i) - static_cast<int>(selected)) * spacing});
    }
    return cards;
}

void caption(Preview& p, const std::string& words, SDL_Rect rect, bool large) {
    TTF_Font* font = p.font(UI_FONT, large ? 20 : 16);
    const SDL_Color colour = large ? WHITE : SDL_Color{180, 180, 180, 255};
    p.write(font, words, rect.x + rect.w / 2, rect.y, colour, Align::CENTER);
}

void albumsTape(Preview& p, const std::vector<SampleAlbum>& albums, std::size_t selected) {
    const TexturePtr background = p.plain("icons/bg.png");
    p.copy(background.get());
    const TexturePtr shell = p.plain("icons/zg.png");
    const std::vector<Card> cards = carousel(albums.size(), selected, 210);
    for (std::size_t i = 0; i < albums.size(); ++i) {
        const Card& card = cards[i];
        const TexturePtr cover = p.scaledSquare(albums[i].cover, 286);
        const int w = static_cast<int>(card.scale * 182), h = static_cast<int>(card.scale * 286);
        const SDL_Rect source{52, 0, 182, 286};
        const SDL_Rect place{static_cast<int>(card.x) - w / 2, 97 + (286 - h) / 2, w, h};
        SDL_SetTextureAlphaMod(cover.get(), static_cast<Uint8>(card.alpha));
        p.copy(cover.get(), &place, &source);
        const int sw = static_cast<int>(card.scale * 240), sh = static_cast<int>(card.scale * 332);
        const SDL_Rect shellPlace{static_cast<int>(card.x) - sw / 2, place.y - (sh - h) / 2, sw,
                                  sh};
        SDL_SetTextureAlphaMod(shell.get(), static_cast<Uint8>(card.alpha));
        p.copy(shell.get(), &shellPlace);
    }
    caption(p, albums[selected].name, {0, 390, 640, 30}, true);
    caption(p, albums[selected].artist, {0, 430, 640, 24}, false);
    const TexturePtr play = p.plain("icons/bofang.png");
    topBar(p, play.get());
    p.save("albums-tape.png");
}

void albumsRecord(Preview& p, const std::vector<SampleAlbum>& albums, std::size_t selected) {
    const TexturePtr background = p.skin("icons/record/bg.png");
    p.copy(background.get());
    const TexturePtr mask = p.skin("icons/record/zjzz.png");
    const std::vector<Card> cards = carousel(albums.size(), selected, 240);
    for (std::size_t i = 0; i < albums.size(); ++i) {
        const Card& card = cards[i];
        const TexturePtr cover = p.scaledSquare(albums[i].cover, 212);
        const int c = static_cast<int>(card.scale * 212), m = static_cast<int>(card.scale * 244);
        const SDL_Rect place{static_cast<int>(card.x) - c / 2, 135 + (212 - c) / 2, c, c};
        SDL_SetTextureAlphaMod(cover.get(), static_cast<Uint8>(card.alpha));
        p.copy(cover.get(), &place);
        const SDL_Rect maskPlace{static_cast<int>(card.x) - m / 2, 123 + (244 - m) / 2, m, m};
        SDL_SetTextureAlphaMod(mask.get(), static_cast<Uint8>(card.alpha));
        p.copy(mask.get(), &maskPlace);
    }
    const int top = 135 + 212 + 20;
    caption(p, albums[selected].name, {220, top, 200, 20}, true);
    caption(p,
            albums[selected].artist + " · " + std::to_string(albums[selected].songs.size()) +
                "首歌曲",
            {220, top + 25, 200, 16}, false);
    const TexturePtr play = p.plain("icons/bofang.png");
    topBar(p, play.get());
    p.save("albums-record.png");
}

void albumDetail(Preview& p, const SampleAlbum& album, bool tape) {
    const TexturePtr background = p.plain("icons/bg.png");
    p.copy(background.get());
    const TexturePtr play = p.plain("icons/bofang.png");
    topBar(p, play.get());
    const TexturePtr songIcon = p.plain("icons/song.png");
    const TexturePtr selectedIcon = p.plain("icons/song_l.png");
    for (std::size_t i = 0; i < album.songs.size(); ++i) {
        const bool selected = i == 1;
        listRow(p, 30 + 55 * static_cast<int>(i), 55, 5, 408, selected,
                selected ? selectedIcon.get() : songIcon.get(), album.songs[i], 25, 75);
    }
    const TexturePtr cover = p.scaledSquare(album.cover, 286);
    const SDL_Rect coverRect = tape ? SDL_Rect{431, 48, 182, 286} : SDL_Rect{431, 48, 182, 182};
    p.copy(cover.get(), &coverRect);
    const TexturePtr mask = tape ? p.plain("icons/zg.png") : p.skin("icons/record/zjzz.png");
    const SDL_Rect maskRect = tape ? SDL_Rect{401, 30, 238, 326} : SDL_Rect{419, 38, 210, 210};
    p.copy(mask.get(), &maskRect);
    const int lift = tape ? 0 : 100;
    int w = 0, h = 0;
    TTF_SizeUTF8(p.font(UI_FONT, 24), album.name.c_str(), &w, &h);
    p.write(p.font(UI_FONT, 24), album.name, 417 + (221 - w) / 2, 352 - lift, WHITE);
    TTF_SizeUTF8(p.font(UI_FONT, 18), album.artist.c_str(), &w, &h);
    p.write(p.font(UI_FONT, 18), album.artist, 417 + (221 - w) / 2, 384 - lift,
            SDL_Color{103, 103, 103, 255});
    p.save(tape ? "album-detail-tape.png" : "album-detail-record.png");
}

void equalizer(Preview& p) {
    const TexturePtr background = p.plain("icons/bg.png");
    p.copy(background.get());
    const TexturePtr track = p.plain("icons/eq/jd.png");
    const TexturePtr knob = p.plain("icons/eq/e1.png");
    const TexturePtr edited = p.plain("icons/eq/e2.png");
    const float gains[10] = {5, 4, 3, 1, -1, -1, 1, 3, 4, 5};
    const int editedBand = 3;
    for (int i = 0; i < 10; ++i) {
        const SDL_Rect trackRect{66 + 55 * i, 112, 16, 293};
        p.copy(track.get(), &trackRect);
        const int h = static_cast<int>((gains[i] + 12) / 24 * 280);
        p.fill({72 + 55 * i, 116 + 280 - h, 4, h},
               i == editedBand ? SDL_Color{203, 15, 15, 255} : SDL_Color{112, 112, 112, 255});
        const SDL_Rect knobRect{
            57 + 55 * i, 103 + static_cast<int>((1 - (gains[i] + 12) / 24) * (373 - 103)), 35, 34};
        p.copy(i == editedBand ? edited.get() : knob.get(), &knobRect);
    }
    const TexturePtr scale = p.plain("icons/eq/dbzg.png");
    p.copy(scale.get());
    const SDL_Color textColour{104, 104, 104, 255};
    p.write(p.font(UI_FONT, 24), "< " + p.text("eq_preset_rock") + " >", 320, 20, textColour,
            Align::CENTER);
    const char* labels[] = {"30Hz",   "60Hz",   "120Hz",  "350Hz",   "750Hz",
                            "1.8kHz", "3.5kHz", "7.5kHz", "12.5kHz", "17.5kHz"};
    for (int i = 0; i < 10; ++i) {
        p.write(p.font(UI_FONT, 16), labels[i], 66 + 55 * i + 8, 415, textColour, Align::CENTER);
    }
    p.save("equalizer.png");
}

void lyricsView(Preview& p, const SampleAlbum& album) {
    const TexturePtr background = p.plain("icons/bg.png");
    p.copy(background.get());
    const TexturePtr mask = p.plain("icons/qbgz.png");
    p.copy(mask.get());
    p.write(p.font(UI_FONT, 24), album.songs.front(), 320, 28, WHITE, Align::CENTER);
    p.write(p.font(UI_FONT, 18), album.artist, 320, 57, WHITE, Align::CENTER);
    const SDL_Rect bar{35, 395, 570, 14};
    const int r = bar.h / 2;
    const int filled = static_cast<int>(0.42 * bar.w);
    for (int k = 0; k < bar.h; ++k) {
        const double inset = r - std::sqrt(std::max(0.0, r * r - (k - r) * (k - r) * 1.0));
        const Uint8 grey = static_cast<Uint8>(13 + 27 * k / bar.h);
        SDL_SetRenderDrawColor(p.get(), grey, grey, grey, 255);
        SDL_RenderDrawLine(p.get(), bar.x + static_cast<int>(inset), bar.y + k,
                           bar.x + bar.w - static_cast<int>(inset), bar.y + k);
        const double t = static_cast<double>(k) / bar.h;
        SDL_SetRenderDrawColor(p.get(), static_cast<Uint8>(235 - 116 * t),
                               static_cast<Uint8>(85 - 61 * t), static_cast<Uint8>(85 - 61 * t),
                               255);
        SDL_RenderDrawLine(p.get(), bar.x + static_cast<int>(inset), bar.y + k,
                           bar.x + filled - static_cast<int>(inset), bar.y + k);
    }
    const char* lines[] = {"晚风吹过城市的灯火", "把昨天轻轻带走",   "你说夏天不会太久",
                           "我们在路口挥手",     "星光落在你的眼眸", "这一刻慢慢停留",
                           "不必说再见",         "歌声还在心里"};
    const int current = 3;
    for (int i = 0; i < 8; ++i) {
        const int y = 90 + 36 * i + (217 - (90 + 36 * current));
        if (y < 90 || y >= 381) {
            continue;
        }
        const bool highlighted = i == current;
        p.write(p.font(UI_FONT, highlighted ? 24 : 22), lines[i], 320, y,
                highlighted ? WHITE : SDL_Color{128, 128, 128, 255}, Align::CENTER);
    }
    const SDL_Color grey{128, 128, 128, 255};
    p.write(p.font(UI_FONT, 18), "01:07", 35, 414, grey);
    p.write(p.font(UI_FONT, 18), "02:40", 605, 414, grey, Align::RIGHT);
    p.save("lyrics-view.png");
}

std::vector<SampleAlbum> sampleAlbums(const Preview& p, int argc, char** argv) {
    std::vector<SampleAlbum> albums = {
        {"Café du Port",
         "Léa Fontaine",
         p.path("icons/ty.png"),
         {"Matin calme", "Les quais", "Lumière d'été"}},
        {"夏夜晚风", "林小雨", p.path("icons/tfm.png"), {"晚风", "萤火", "星河"}},
        {"Neon Arcade",
         "Pixel Harbor",
         p.path("icons/rtfm.png"),
         {"Insert Coin", "별빛 Starlight"}},
    };
    for (int i = 3; i < argc && i - 3 < static_cast<int>(albums.size()); ++i) {
        albums[static_cast<std::size_t>(i - 3)].cover = argv[i];
    }
    return albums;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <runtime folder> <output folder> [cover …]\n", argv[0]);
        return 2;
    }
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "SDL_ttf: %s\n", TTF_GetError());
        return 1;
    }
    int status = 0;
    try {
        Preview p(argv[1], argv[2]);
        const std::vector<SampleAlbum> albums = sampleAlbums(p, argc, argv);
        mainMenu(p, false, 1);
        mainMenu(p, true, 1);
        songsList(p, albums);
        nowPlayingTape(p, "type", albums[1], 0.4, "now-playing-tape.png");
        nowPlayingTape(p, "typepink", albums[0], 0.75, "now-playing-tape-pink.png");
        nowPlayingRecord(p, albums[0], 15.4, 34.0, 80, "now-playing-record.png");
        nowPlayingRecord(p, albums[2], 0.0, 0.0, 35, "now-playing-record-paused.png");
        albumsTape(p, albums, 1);
        albumsRecord(p, albums, 1);
        albumDetail(p, albums[0], true);
        albumDetail(p, albums[1], false);
        equalizer(p);
        lyricsView(p, albums[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "previews: %s\n", error.what());
        status = 1;
    }
    TTF_Quit();
    return status;
}
