#pragma once

#include "ui/TextCache.h"
#include "ui/UIBase.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

class Input;

enum class DialogType : int32_t {
    INFO = 0,    // title and message; closes itself after the auto-close delay
    CONFIRM = 1, // OK and Cancel buttons that run the confirm or cancel action
    WARNING = 2, // one OK button
    ERROR = 3,   // one OK button
    LOADING = 4, // turning arc while the loading task runs on its own thread
};

// The application's one modal message box, drawn over the current page. Pages reconfigure it
// (title, message, kind, actions or loading task) and show it.
class Dialog : public UIBase {
public:
    static constexpr uint32_t AUTO_CLOSE_DELAY_MS = 2000;

    // input (lent) tells which controller buttons confirm and cancel.
    explicit Dialog(const Input& input, const std::string& title = "",
                    const std::string& message = "", DialogType type = DialogType::INFO);
    ~Dialog() override;

    void init(SDL_Renderer* renderer, TTF_Font* font) override;
    void handleEvent(SDL_Event* event) override;
    void update() override;
    void render() override;
    // The loading spinner turns; other dialogs change only on input.
    bool wantsFrame() const override;

    void setTitle(const std::string& text);
    void setMessage(const std::string& text);
    // "INFO", "CONFIRM", "WARNING", "ERROR" or "LOADING"; any other text keeps the kind.
    void setType(const std::string& name);
    void setOnConfirm(std::function<void()> action);
    void setOnCancel(std::function<void()> action);
    void setLoadingTask(std::function<void()> task);

    // Showing a LOADING dialog that has a task arms the task: the next update starts it, once.
    // The task's end closes the dialog only if nothing else was shown on it meanwhile.
    void show();
    void hide();

    // The usual sequences: title, message, kind and what the kind needs, then show.
    void showInfo(const std::string& title, const std::string& message);
    void showError(const std::string& title, const std::string& message);
    void showConfirm(const std::string& title, const std::string& message,
                     std::function<void()> onConfirm, std::function<void()> onCancel = {});
    // detail, when given, is asked at each drawing for a line under the message (how far the
    // task has got); it must only read what the task publishes for other threads.
    void showLoading(const std::string& title, const std::string& message,
                     std::function<void()> task, std::function<std::string()> detail = {});
    bool isVisible() const { return visible; }

    // Blocks until a loading task that is still running has ended. The task works on objects
    // the application owns, so they must not be destroyed under it.
    void waitForLoadingThread();

private:
    static int runLoadingThread(void* dialog);
    void startLoadingThread();
    // Hides the dialog unless it has been shown again since the show numbered showing.
    void hideIfStillShowing(uint64_t showing);
    void respond(bool confirmed);
    uint64_t currentShow();
    // The message, with the loading task's progress line under it.
    std::string shownMessage() const;
    void drawCentredText(const std::string& text, const SDL_Rect& area, SDL_Color color);
    void drawButton(const SDL_Rect& area, SDL_Color fill, const std::string& label);
    void drawSpinner();

    const Input& input;
    std::string title;
    std::string message;
    DialogType type;
    std::atomic<bool> visible{false};
    std::function<void()> confirmAction;
    std::function<void()> cancelAction;
    SDL_Rect box{};
    SDL_Rect titleArea{};
    SDL_Rect messageArea{};
    SDL_Rect buttonArea{};
    uint64_t shownAt = 0;
    std::function<void()> loadingTask;
    std::function<std::string()> loadingDetail;
    // Guards the pairing of visible with showCount between show and the loading thread's end.
    std::mutex showMutex;
    uint64_t showCount = 0;   // shows so far
    uint64_t armingShow = 0;  // the show that armed the pending task
    bool taskPending = false; // main thread only
    uint64_t autoCloseDelay = AUTO_CLOSE_DELAY_MS;
    SDL_Thread* loadingThread = nullptr;
    std::atomic<bool> loadingThreadRunning{false};
    TextCache texts;
};
