#pragma once

#include "core/SdlHandles.h"
#include "library/LyricsParser.h"
#include "model/PlayMode.h"
#include "model/Song.h"
#include "nowplaying/CoverPreparer.h"
#include "nowplaying/RecordSkin.h"
#include "nowplaying/SkinPictures.h"
#include "nowplaying/SongOnScreen.h"
#include "nowplaying/TapeSkin.h"
#include "pages/Page.h"
#include "pages/PageServices.h"
#include "ui/KeyBindings.h"
#include "ui/ThemeAssetCodec.h"
#include "ui/UIBase.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class Dialog;
class LyricsView;
class Player;
class PlayList;

// The player's main screen: the song the player has loaded, drawn in the tape or the record
// skin of the settings, with transport on the controller and the keyboard, a favourite toggle and
// the full-screen lyrics. It follows whatever song plays, whoever started it, and notices a new
// skin or skin folder chosen in the settings on its next update.
class NowPlayingPage : public UIBase {
public:
    static constexpr SDL_Rect PAGE_BOUNDS = CONTENT_AREA;
    static constexpr const char* LYRIC_FONT_PATH = "resources/font.ttf";
    static constexpr int LYRIC_POINTS = 18;
    // The shown lyric line is looked up again at most this often.
    static constexpr uint64_t LYRIC_REFRESH_MS = 1000;

    NowPlayingPage(const PageServices& services, Player* player, PlayList* playlist,
                   Dialog* dialog);
    ~NowPlayingPage() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void handleEvent(SDL_Event* event) override;
    void update() override;
    void render() override;
    // The lyrics view is drawn every frame; a skin only when something in it moved or changed.
    bool wantsFrame() const override;
    // Not while the song's cover is being prepared.
    bool readyToShow() const override { return !coverPreparer.isPreparing(); }
    void markDrawn() override;

    // Makes the textures of the skin chosen in the settings, when not done yet, so that the page
    // shows at once when it is next shown. Meant for a moment when the screen is at rest.
    void prepareSkin();

    void setPreviousPage(Page page) { previousPage = page; }
    void setBackCallback(std::function<void(Page)> callback) { backCallback = std::move(callback); }

    // The lyrics file of an audio file: the same folder and name, with ".lrc" in place of the
    // extension (a name without extension keeps its whole name).
    static std::string lyricsPathFor(const std::string& audioPath);

private:
    void bindKeys();
    void readSkinAhead();
    void loadSkin();
    // Asks for the song's cover; unless always, only when it is another picture than the last.
    void requestCover(bool always);
    // Shows the cover asked for, once it is prepared.
    void takePreparedCover();
    void loadLyrics();
    void loadModeIcons();
    // Each true when it loaded something new.
    bool checkSkin();
    bool checkSong();
    void refreshLyric(uint64_t at);
    void refreshTimes();
    void goBack();
    void toggleFavourite();
    void seek(int seconds);
    SDL_Texture* modeIcon() const;
    // The queue's record of the song at path, or one made from the path alone.
    Song songAt(const std::string& path);

    PageServices services;
    Player* player;
    PlayList* playlist;
    Dialog* dialog;
    Page previousPage = Page::MAIN;
    std::function<void(Page)> backCallback;
    FontPtr lyricFont;
    int themeId = 0;
    std::string themeFolder;
    bool skinLoaded = false;
    bool skinLoadedWhileHidden = false; // its cover is still to load
    ThemeAssetCodec codec;
    SkinPictures pictures{codec};
    TapeSkin tape;
    RecordSkin record;
    LyricsParser lyrics;
    std::optional<uint64_t> lastLyricRefresh; // none: look the line up at the next update
    std::array<TexturePtr, 4> modeIcons;      // single, sequence, sequence loop, random
    std::unique_ptr<LyricsView> lyricsView;
    bool lyricsViewOn = false;
    std::string lastSongPath;    // of the song whose cover and lyrics are loaded
    std::string loadedCoverPath; // "" for the skin's default cover
    CoverPreparer coverPreparer;
    TexturePtr cover;
    SurfacePtr coverPicture;
    SongOnScreen shown;
    std::optional<SongOnScreen> drawnSong;
    bool drawnTape = false;
    KeyBindings bindings;
};
