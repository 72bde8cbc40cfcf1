#include "ui/Dialog.h"

#include "core/Log.h"
#include "ui/Draw.h"
#include "ui/Input.h"

#include <SDL2_gfxPrimitives.h>

#include <memory>

namespace {

constexpr SDL_Rect BOX{120, 140, 400, 200};
constexpr SDL_Rect TITLE_AREA{140, 160, 360, 30};
constexpr SDL_Rect MESSAGE_AREA{140, 210, 360, 60};
constexpr SDL_Rect BUTTON_AREA{140, 280, 360, 40};

constexpr SDL_Color DIM{0, 0, 0, 192};
constexpr SDL_Color BOX_FILL{40, 40, 40, 255};
constexpr SDL_Color BOX_OUTLINE{80, 80, 80, 255};
constexpr SDL_Color TITLE_FILL{36, 36, 36, 255};
constexpr SDL_Color MESSAGE_COLOR{103, 103, 103, 255};
constexpr SDL_Color OK_FILL = Draw::GREEN;
constexpr SDL_Color CANCEL_FILL{237, 10, 10, 255};

constexpr int BUTTON_WIDTH = 100;
constexpr int BUTTON_HEIGHT = 30;
constexpr int BUTTON_GAP = 20;
constexpr const char* OK_LABEL = "确定";
constexpr const char* CANCEL_LABEL = "取消";

constexpr int SPINNER_RADIUS = 15;
constexpr int SPINNER_BOTTOM_OFFSET = 40;
constexpr double SPINNER_DEGREES_PER_MS = 0.1;
constexpr int SPINNER_ARC_DEGREES = 300;

// What a loading thread needs: the dialog to close and its own copy of the task, so the page
// may reconfigure the dialog while the task runs.
struct LoadingRun {
    Dialog* dialog;
    std::function<void()> task;
    uint64_t show; // the show whose content the task's end closes
};

} // namespace

Dialog::Dialog(const Input& input, const std::string& title, const std::string& message,
               DialogType type)
    : input(input), title(title), message(message), type(type) {
}

Dialog::~Dialog() {
    waitForLoadingThread();
}

void Dialog::init(SDL_Renderer* renderer, TTF_Font* font) {
    this->renderer = renderer;
    this->font = font;
    box = BOX;
    titleArea = TITLE_AREA;
    messageArea = MESSAGE_AREA;
    buttonArea = BUTTON_AREA;
}

void Dialog::setTitle(const std::string& text) {
    title = text;
}

void Dialog::setMessage(const std::string& text) {
    message = text;
}

void Dialog::setType(const std::string& name) {
    if (name == "INFO") {
        type = DialogType::INFO;
    } else if (name == "CONFIRM") {
        type = DialogType::CONFIRM;
    } else if (name == "WARNING") {
        type = DialogType::WARNING;
    } else if (name == "ERROR") {
        type = DialogType::ERROR;
    } else if (name == "LOADING") {
        type = DialogType::LOADING;
    }
}

void Dialog::setOnConfirm(std::function<void()> action) {
    confirmAction = std::move(action);
}

void Dialog::setOnCancel(std::function<void()> action) {
    cancelAction = std::move(action);
}

void Dialog::setLoadingTask(std::function<void()> task) {
    loadingTask = std::move(task);
}

void Dialog::show() {
    {
        std::lock_guard<std::mutex> lock(showMutex);
        ++showCount;
        visible = true;
    }
    shownAt = now();
    if (type == DialogType::LOADING && loadingTask) {
        taskPending = true;
        armingShow = showCount;
    }
}

void Dialog::hide() {
    visible = false;
}

void Dialog::hideIfStillShowing(uint64_t showing) {
    std::lock_guard<std::mutex> lock(showMutex);
    if (showCount == showing) {
        hide();
    }
}

void Dialog::showInfo(const std::string& titleText, const std::string& messageText) {
    setTitle(titleText);
    setMessage(messageText);
    setType("INFO");
    show();
}

void Dialog::showError(const std::string& titleText, const std::string& messageText) {
    setTitle(titleText);
    setMessage(messageText);
    setType("ERROR");
    show();
}

void Dialog::showConfirm(const std::string& titleText, const std::string& messageText,
                         std::function<void()> onConfirm, std::function<void()> onCancel) {
    setTitle(titleText);
    setMessage(messageText);
    setType("CONFIRM");
    setOnConfirm(std::move(onConfirm));
    setOnCancel(std::move(onCancel));
    show();
}

void Dialog::showLoading(const std::string& titleText, const std::string& messageText,
                         std::function<void()> task, std::function<std::string()> detail) {
    setTitle(titleText);
    setMessage(messageText);
    setType("LOADING");
    setLoadingTask(std::move(task));
    loadingDetail = std::move(detail);
    show();
}

void Dialog::handleEvent(SDL_Event* event) {
    if (!event || !visible) {
        return;
    }
    if (Input::isKeyDown(*event, SDLK_RETURN) || input.isButtonDown(*event, "a")) {
        respond(true);
    } else if (Input::isKeyDown(*event, SDLK_ESCAPE) || input.isButtonDown(*event, "b")) {
        respond(false);
    }
}

// The dialog closes after the action, unless the action showed it again with news of its own
// (a failure to save, say): that message must stay on screen.
void Dialog::respond(bool confirmed) {
    uint64_t shownBefore = currentShow();
    if (type == DialogType::CONFIRM) {
        const std::function<void()>& action = confirmed ? confirmAction : cancelAction;
        if (action) {
            // A copy, because the action may replace the dialog's actions while it runs.
            std::function<void()> run = action;
            run();
        }
    }
    hideIfStillShowing(shownBefore);
}

uint64_t Dialog::currentShow() {
    std::lock_guard<std::mutex> lock(showMutex);
    return showCount;
}

void Dialog::update() {
    if (type == DialogType::INFO) {
        if (now() - shownAt >= autoCloseDelay) {
            hide();
        }
    }
    // Whatever is shown now: a task armed by an earlier show still runs, once.
    if (taskPending && !loadingThreadRunning) {
        startLoadingThread();
    }
}

bool Dialog::wantsFrame() const {
    return visible && type == DialogType::LOADING;
}

void Dialog::startLoadingThread() {
    waitForLoadingThread(); // reaps a finished earlier thread
    taskPending = false;
    loadingThreadRunning = true;
    auto run = std::make_unique<LoadingRun>(LoadingRun{this, loadingTask, armingShow});
    loadingThread = SDL_CreateThread(runLoadingThread, "ProcessThread", run.get());
    if (loadingThread) {
        run.release(); // the thread owns it now
        return;
    }
    logError(std::string("无法创建加载线程: ") + SDL_GetError());
    runLoadingThread(run.release());
}

int Dialog::runLoadingThread(void* data) {
    std::unique_ptr<LoadingRun> run(static_cast<LoadingRun*>(data));
    if (run->task) {
        run->task();
    }
    run->dialog->hideIfStillShowing(run->show);
    run->dialog->loadingThreadRunning = false;
    return 0;
}

void Dialog::waitForLoadingThread() {
    if (loadingThread) {
        SDL_WaitThread(loadingThread, nullptr);
        loadingThread = nullptr;
    }
}

void Dialog::render() {
    if (!visible || !renderer) {
        return;
    }
    SDL_Color previous{};
    SDL_GetRenderDrawColor(renderer, &previous.r, &previous.g, &previous.b, &previous.a);
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);

    Draw::fillScreen(renderer, DIM);
    Draw::fillRect(renderer, box, BOX_FILL);
    Draw::outlineRect(renderer, box, BOX_OUTLINE);

    Draw::fillRect(renderer, titleArea, TITLE_FILL);
    drawCentredText(title, titleArea, Draw::WHITE);

    TextImage body = texts.get(renderer, font, shownMessage(), MESSAGE_COLOR, messageArea.w);
    if (body.texture) {
        SDL_Rect destination{messageArea.x, messageArea.y + (messageArea.h - body.height) / 2,
                             body.width, body.height};
        SDL_RenderCopy(renderer, body.texture, nullptr, &destination);
    }

    switch (type) {
    case DialogType::LOADING:
        drawSpinner();
        break;
    case DialogType::CONFIRM: {
        int pairWidth = 2 * BUTTON_WIDTH + BUTTON_GAP;
        SDL_Rect ok{buttonArea.x + (buttonArea.w - pairWidth) / 2,
                    buttonArea.y + (buttonArea.h - BUTTON_HEIGHT) / 2, BUTTON_WIDTH, BUTTON_HEIGHT};
        SDL_Rect cancel{ok.x + BUTTON_WIDTH + BUTTON_GAP, ok.y, BUTTON_WIDTH, BUTTON_HEIGHT};
        drawButton(ok, OK_FILL, OK_LABEL);
        drawButton(cancel, CANCEL_FILL, CANCEL_LABEL);
        break;
    }
    case DialogType::WARNING:
    case DialogType::ERROR: {
        SDL_Rect ok{buttonArea.x + (buttonArea.w - BUTTON_WIDTH) / 2,
                    buttonArea.y + (buttonArea.h - BUTTON_HEIGHT) / 2, BUTTON_WIDTH, BUTTON_HEIGHT};
        drawButton(ok, OK_FILL, OK_LABEL);
        break;
    }
    case DialogType::INFO:
        break;
    }
    Draw::setColor(renderer, previous);
}

std::string Dialog::shownMessage() const {
    if (type != DialogType::LOADING || !loadingDetail) {
        return message;
    }
    const std::string detail = loadingDetail();
    return detail.empty() ? message : message + "\n" + detail;
}

void Dialog::drawCentredText(const std::string& text, const SDL_Rect& area, SDL_Color color) {
    TextImage image = texts.get(renderer, font, text, color);
    if (image.texture) {
        SDL_Rect destination{area.x + (area.w - image.width) / 2,
                             area.y + (area.h - image.height) / 2, image.width, image.height};
        SDL_RenderCopy(renderer, image.texture, nullptr, &destination);
    }
}

void Dialog::drawButton(const SDL_Rect& area, SDL_Color fill, const std::string& label) {
    Draw::fillRect(renderer, area, fill);
    drawCentredText(label, area, Draw::WHITE);
}

void Dialog::drawSpinner() {
    uint64_t elapsed = now() - shownAt;
    auto start = static_cast<Sint16>(static_cast<int>(elapsed * SPINNER_DEGREES_PER_MS) % 360);
    auto end = static_cast<Sint16>(start + SPINNER_ARC_DEGREES);
    arcRGBA(renderer, static_cast<Sint16>(box.x + box.w / 2),
            static_cast<Sint16>(box.y + box.h - SPINNER_BOTTOM_OFFSET), SPINNER_RADIUS, start, end,
            Draw::WHITE.r, Draw::WHITE.g, Draw::WHITE.b, Draw::WHITE.a);
}
