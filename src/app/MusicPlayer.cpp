#include "app/MusicPlayer.h"

#include "app/GamepadConfig.h"
#include "app/Log.h"
#include "audio/Player.h"
#include "library/PlayList.h"
#include "ui/Dialog.h"
#include "ui/UIBase.h"

#include <climits>
#include <unistd.h>

namespace {

constexpr uint32_t SDL_SUBSYSTEMS = SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_GAMECONTROLLER;
constexpr SDL_Color FIRST_FRAME_COLOR{255, 255, 255, 255};
constexpr SDL_Color CLEAR_COLOR{0, 0, 0, 255};
constexpr size_t WORKING_DIRECTORY_BUFFER = 1024;

// Released in this order; the equalizer page goes after the audio engine.
constexpr Page PAGES_RELEASED_FIRST[] = {
    Page::MAIN,          Page::SONGS,     Page::ALBUMS,      Page::ALBUM_DETAIL, Page::ARTISTS,
    Page::ARTIST_DETAIL, Page::PLAYLISTS, Page::NOW_PLAYING, Page::SETTINGS,
};

size_t slotOf(Page page) {
    return static_cast<size_t>(page);
}

} // namespace

MusicPlayer::MusicPlayer()
    : player(std::make_unique<Player>()), playList(std::make_unique<PlayList>()),
      lastActivityTime(SDL_GetTicks()) {
}

MusicPlayer::~MusicPlayer() {
    cleanup();
}

int MusicPlayer::runApplication() {
    if (SDL_Init(SDL_SUBSYSTEMS) < 0) {
        logError(std::string("SDL初始化失败: ") + SDL_GetError());
        return 1;
    }
    char workingDirectory[WORKING_DIRECTORY_BUFFER];
    if (!getcwd(workingDirectory, sizeof workingDirectory)) {
        logError("无法获取当前工作目录");
    }
    auto app = std::make_unique<MusicPlayer>();
    if (!GamepadConfig::getInstance().load(GAMEPAD_CONFIG_PATH)) {
        logError("加载游戏手柄配置失败");
    }
    if (!app->init()) {
        logError("初始化失败");
        app.reset();
        return 1;
    }
    app->runFrameLoop();
    app->cleanup();
    app.reset();
    return 0;
}

void MusicPlayer::runFrameLoop() {
    while (running) {
        handleEvents();
        update();
        render();
        SDL_Delay(FRAME_DELAY_MS);
    }
}

bool MusicPlayer::init() {
    if (SDL_Init(SDL_SUBSYSTEMS) < 0) {
        logError("SDL初始化失败");
        return false;
    }
    window.reset(SDL_CreateWindow(WINDOW_TITLE, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  SCREEN_WIDTH, SCREEN_HEIGHT, SDL_WINDOW_SHOWN));
    if (!window) {
        logError("窗口创建失败");
        return false;
    }
    renderer.reset(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_ACCELERATED));
    if (!renderer) {
        // Without a renderer nothing could ever be drawn: fall back to software rendering.
        logError(std::string("无法创建加速渲染器，改用软件渲染: ") + SDL_GetError());
        renderer.reset(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE));
    }
    if (renderer) {
        SDL_SetRenderDrawColor(renderer.get(), FIRST_FRAME_COLOR.r, FIRST_FRAME_COLOR.g,
                               FIRST_FRAME_COLOR.b, FIRST_FRAME_COLOR.a);
        SDL_RenderClear(renderer.get());
        SDL_RenderPresent(renderer.get());
    }
    if (TTF_Init() < 0) {
        logError("TTF初始化失败");
        return false;
    }
    font.reset(TTF_OpenFont(FONT_PATH, FONT_SIZE));
    if (!font) {
        logError("字体加载失败");
        return false;
    }
    dialog = std::make_unique<Dialog>("", "", DialogType::INFO);
    dialog->init(renderer.get(), font.get());
    createPages();
    openGameController();
    screenOn = true;
    lastActivityTime = SDL_GetTicks();
    running = true;
    return true;
}

void MusicPlayer::createPages() {
    // The pages are added here as they are built; an absent page simply shows nothing.
}

void MusicPlayer::installPage(Page page, std::unique_ptr<UIBase> object) {
    size_t slot = slotOf(page);
    if (slot < PAGE_COUNT) {
        pages[slot] = std::move(object);
    }
}

void MusicPlayer::openGameController() {
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_IsGameController(index)) {
            controller.reset(SDL_GameControllerOpen(index));
            if (controller) {
                return;
            }
        }
    }
}

UIBase* MusicPlayer::getCurrentPage() const {
    size_t slot = slotOf(currentPage);
    return slot < PAGE_COUNT ? pages[slot].get() : nullptr;
}

void MusicPlayer::switchPage(Page page) {
    currentPage = page;
}

void MusicPlayer::handleMainPageCallback(int index) {
    (void)index;
}

bool MusicPlayer::isUserInput(const SDL_Event& event) {
    switch (event.type) {
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return true;
    default:
        return false;
    }
}

void MusicPlayer::handleEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (!screenOn) {
            player->handleEvent(&event);
            continue;
        }
        if (!handleScreenOnEvent(event)) {
            return;
        }
    }
}

// Routes one event while the screen is on. Returns false when the frame's polling ends here.
bool MusicPlayer::handleScreenOnEvent(SDL_Event& event) {
    if (isUserInput(event)) {
        lastActivityTime = SDL_GetTicks();
    }
    if (event.type == SDL_QUIT) {
        running = false;
        return false;
    }
    if (dialog && dialog->isVisible()) {
        dialog->handleEvent(&event);
        return false;
    }
    if (!handleGlobalButtons(event)) {
        return false;
    }
    if (UIBase* page = getCurrentPage()) {
        page->handleEvent(&event);
    }
    player->handleEvent(&event);
    return true;
}

// START and BACK held together quit; the "l2" button toggles playback. Returns false when the
// application quits.
bool MusicPlayer::handleGlobalButtons(const SDL_Event& event) {
    if (event.type == SDL_CONTROLLERBUTTONDOWN) {
        if (event.cbutton.button == SDL_CONTROLLER_BUTTON_START) {
            startHeld = true;
        } else if (event.cbutton.button == SDL_CONTROLLER_BUTTON_BACK) {
            backHeld = true;
        }
        if (startHeld && backHeld) {
            running = false;
            return false;
        }
        if (event.cbutton.button == GamepadConfig::getInstance().getButton("l2")) {
            togglePlayback();
        }
    } else if (event.type == SDL_CONTROLLERBUTTONUP) {
        if (event.cbutton.button == SDL_CONTROLLER_BUTTON_START) {
            startHeld = false;
        } else if (event.cbutton.button == SDL_CONTROLLER_BUTTON_BACK) {
            backHeld = false;
        }
    }
    return true;
}

void MusicPlayer::togglePlayback() {
    if (!player) {
        return;
    }
    if (player->isPlaying()) {
        player->pause();
    } else {
        player->play();
    }
}

void MusicPlayer::update() {
    if (UIBase* page = getCurrentPage()) {
        page->update();
    }
}

void MusicPlayer::render() {
    if (!renderer) {
        return;
    }
    SDL_SetRenderDrawColor(renderer.get(), CLEAR_COLOR.r, CLEAR_COLOR.g, CLEAR_COLOR.b,
                           CLEAR_COLOR.a);
    SDL_RenderClear(renderer.get());
    if (UIBase* page = getCurrentPage()) {
        page->render();
    }
    if (dialog && dialog->isVisible()) {
        dialog->render();
        dialog->update();
    }
    SDL_RenderPresent(renderer.get());
}

void MusicPlayer::deletePage(Page page) {
    pages[slotOf(page)].reset();
}

void MusicPlayer::cleanup() {
    // A loading task works on the pages and the play list: let it finish first.
    if (dialog) {
        dialog->waitForLoadingThread();
    }
    for (Page page : PAGES_RELEASED_FIRST) {
        deletePage(page);
    }
    player.reset();
    playList.reset();
    deletePage(Page::EQUALIZER);
    dialog.reset();
    font.reset();
    renderer.reset();
    window.reset();
    controller.reset();
    if (TTF_WasInit()) {
        TTF_Quit();
    }
    if (SDL_WasInit(0)) {
        SDL_Quit();
    }
}
