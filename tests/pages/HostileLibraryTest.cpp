#include "pages/AlbumDetailPage.h"
#include "pages/AlbumsPage.h"
#include "pages/ArtistDetailPage.h"
#include "pages/ArtistsPage.h"
#include "pages/EqualizerPage.h"
#include "pages/NowPlayingPage.h"
#include "pages/PlaylistsPage.h"
#include "pages/SongsPage.h"
#include "settings/Config.h"
#include "support/LibraryFiles.h"
#include "support/PageTest.h"
#include "support/SyntheticMedia.h"
#include "ui/SkinArt.h"

#include <SDL_image.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string LONG_LATIN =
    ("Symphony No. 5 in C minor, Op. 67: I. Allegro con brio" + std::string(80, '!'))
        .substr(0, 120);
const std::string LONG_CJK =
    "贝多芬第五交响曲C小调第六十七号作品第一乐章有活力的快板柏林爱乐乐团演奏";
const std::string LONG_ALBUM = "The Complete Symphonies and Overtures, Remastered Deluxe Edition";
const std::string LONG_ARTIST = "Berliner Philharmoniker, Herbert von Karajan and the Singverein";
const std::string SHOTS = std::string(MP_TEST_ARTIFACT_DIR) + "/hostile-library/";

// Texts too long for their places and covers that are not square: tall, wide, far larger than
// the screen, and two songs that differ only in their covers: one whose file has gone, and none.
class HostileLibraryTest : public PageTest {
protected:
    HostileLibraryTest() {
        SyntheticMedia::makePicture("covers/tall.png", 300, 600, 1);
        SyntheticMedia::makePicture("covers/wide.png", 600, 300, 2);
        SyntheticMedia::makePicture("covers/huge.png", 2400, 1800, 3);
        const char* covers[] = {"covers/tall.png", "covers/wide.png", "covers/huge.png",
                                "covers/gone.png", ""};
        const std::string titles[] = {LONG_LATIN, LONG_CJK, "Short", LONG_LATIN + "?",
                                      LONG_LATIN + "?"};
        const char* audio[] = {"tall.wav", "", "", "gone.wav", "none.wav"};
        songs = placeholderSongs(5);
        for (size_t i = 0; i < songs.size(); ++i) {
            std::string path = *audio[i] ? MediaFactory("music").make(audio[i], {2.0}) : "";
            songs[i] = {titles[i], LONG_ARTIST, LONG_ALBUM, path.empty() ? songs[i].filepath : path,
                        covers[i]};
        }
        scratch.writeFile("music/tall.lrc", "[00:00.00]" + LONG_LATIN + "\n[00:01]" + LONG_CJK);
        writeLibraryCache(songs);
        writeFavourites(songs);
        std::filesystem::create_directories(SHOTS);
    }

    // A songs page reading the cache replaces the library with one without albums.
    void publishLibrary() {
        Library library{songs, {}};
        for (size_t i = 0; i < 4; ++i) {
            library.albums.push_back({songs[i].title, LONG_ARTIST, songs[i].coverPath, songs});
        }
        library.albums[0].name = LONG_ALBUM;
        playList.setLibrary(std::move(library));
        playList.update();
    }

    bool play(int index) {
        playList.clear();
        std::for_each(songs.begin(), songs.end(),
                      [&](const Song& song) { playList.addSong(song); });
        return playList.play(index);
    }

    template <typename PageClass>
    std::unique_ptr<PageClass> opened(std::unique_ptr<PageClass> page) {
        page->setClock([this] { return clock; });
        page->init(sdl.renderer(), sdl.font());
        settle(*page);
        return page;
    }

    std::unique_ptr<AlbumDetailPage> albumDetail(const std::string& name, const std::string& row4) {
        auto page = opened(std::make_unique<AlbumDetailPage>(services, &playList, &player));
        std::vector<Song> listed = songs;
        listed[3].title = row4;
        page->setAlbum({name, LONG_ARTIST, "covers/wide.png", listed});
        return page;
    }

    // Saved to be looked at.
    void shot(UIBase& page, const std::string& name) {
        settle(page);
        drawn(page);
        IMG_SavePNG(sdl.target(), (SHOTS + name + ".png").c_str());
    }

    // Paused at the start of its song: only the song tells two such frames apart.
    Frame held(NowPlayingPage& page) {
        player.pause();
        player.rewind(60);
        settle(page);
        return drawn(page);
    }

    static int changedOutside(const Frame& a, const Frame& b, const SDL_Rect& box) {
        int changed = 0;
        for (size_t at = 0; at < a.size(); ++at) {
            SDL_Point point{int(at % SdlTestContext::WIDTH), int(at / SdlTestContext::WIDTH)};
            changed += !SDL_PointInRect(&point, &box) && a[at] != b[at];
        }
        return changed;
    }

    uint64_t clock = 10000;
    std::vector<Song> songs;
};

// An RGBA picture of width × height from the grey level at x, y.
SurfacePtr painted(int width, int height, Uint8 (*levelAt)(int x, int y)) {
    SurfacePtr picture(
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32));
    for (int at = 0; at < width * height; ++at) {
        Uint8 level = levelAt(at % width, at / width);
        static_cast<Uint32*>(picture->pixels)[at] =
            SDL_MapRGBA(picture->format, level, level, level, SDL_ALPHA_OPAQUE);
    }
    return picture;
}

Uint8 redAt(const SDL_Surface& picture, int x, int y) {
    return static_cast<const Uint8*>(picture.pixels)[y * picture.pitch + x * 4];
}

} // namespace

// Every page in both skins, saved under test-artifacts/hostile-library.
TEST_F(HostileLibraryTest, EveryPageInBothSkinsDrawsTheHostileLibrary) {
    for (std::string skin : {"1", "2"}) {
        own.config.setString("theme.default_theme", skin);
        ASSERT_TRUE(play(3));
        shot(*opened(std::make_unique<SongsPage>(services, &playList, &player, &dialog)),
             skin + "-songs");
        shot(*opened(std::make_unique<PlaylistsPage>(services, &playList, &player, &dialog)),
             skin + "-favourites");
        publishLibrary();
        auto albums = opened(std::make_unique<AlbumsPage>(services, &playList, &player));
        shot(*albums, skin + "-albums");
        deliver(*albums, keyDown(SDLK_RIGHT));
        for (int frame = 0; frame < 60; ++frame) {
            albums->update();
        }
        shot(*albums, skin + "-albums-wide");
        shot(*albumDetail(LONG_ALBUM, LONG_LATIN), skin + "-album-detail");
        shot(*opened(std::make_unique<ArtistsPage>(services, &playList, &player)),
             skin + "-artists");
        auto artist = opened(std::make_unique<ArtistDetailPage>(services, &playList, &player));
        artist->setArtist({LONG_ARTIST, "covers/tall.png", songs, songs.size()});
        shot(*artist, skin + "-artist-detail");
        shot(*opened(std::make_unique<EqualizerPage>(services)), skin + "-equalizer");

        auto playing =
            opened(std::make_unique<NowPlayingPage>(services, &player, &playList, &dialog));
        Frame gone = held(*playing); // the skin's default cover, as for a song without one
        ASSERT_TRUE(play(4));
        EXPECT_EQ(held(*playing), gone) << skin;
        ASSERT_TRUE(play(0));
        clock += 1000; // the lyric line is looked up once a second
        held(*playing);
        shot(*playing, skin + "-now-playing");
        deliver(*playing, keyDown(SDLK_y));
        shot(*playing, skin + "-lyrics");
    }
}

// A long text changes nothing outside its place, in the record skin: the fourth row of the album
// detail page's list (x 5 to 408, text from 75) and the album's name in its caption box above
// the artist's line.
TEST_F(HostileLibraryTest, ALongTextStaysInsideItsBox) {
    own.config.setString("theme.default_theme", "2");
    EXPECT_EQ(changedOutside(drawn(*albumDetail("Name", "Song")),
                             drawn(*albumDetail("Name", LONG_LATIN)), {75, 195, 333, 55}),
              0);
    EXPECT_EQ(changedOutside(drawn(*albumDetail("Name", "Song")),
                             drawn(*albumDetail(LONG_ALBUM + LONG_CJK, "Song")),
                             {417, 252, 221, 32}),
              0);
}

// Covers fill their frames by their centre, and a smaller picture averages what it covers.
TEST(CoverScalingTest, ACoverIsCroppedToItsFrameAndShrunkSmoothly) {
    SurfacePtr bands = painted(600, 300, [](int x, int) { return Uint8(x < 200 ? 255 : 0); });
    SurfacePtr square = SkinArt::coverSurface(bands.get(), 90, 90);
    ASSERT_TRUE(square);
    int red = 0;
    for (int x = 0; x < 90; ++x) {
        red += redAt(*square, x, 45) > 128;
    }
    EXPECT_EQ(red, 15); // the middle 300 of 600 columns: a sixth of them light, not a third

    SurfacePtr checks = painted(600, 600, [](int x, int y) { return Uint8((x + y) % 2 * 255); });
    SurfacePtr small = SkinArt::scaledSurface(checks.get(), 182, 182);
    ASSERT_TRUE(small);
    for (int at = 0; at < 182 * 182; ++at) {
        ASSERT_NEAR(redAt(*small, at % 182, at / 182), 128, 24) << at;
    }
}
