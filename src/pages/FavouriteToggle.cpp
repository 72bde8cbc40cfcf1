#include "pages/FavouriteToggle.h"

#include "library/PlayList.h"
#include "pages/SaveFailureNotice.h"
#include "ui/Dialog.h"

namespace FavouriteToggle {

namespace {

constexpr const char* TIP_TITLE = "提示";
constexpr const char* ADDED_MESSAGE = "添加成功！";
constexpr const char* REMOVE_QUESTION = "是否从喜爱列表里删除歌曲？";
constexpr const char* NOT_SAVED_KEY = "favourite_save_failed";

} // namespace

void add(const LanguageManager& languages, PlayList& playlist, Dialog* dialog, const Song& song) {
    if (playlist.addFavourite(song) == Favourites::Change::SAVE_FAILED) {
        reportNotSaved(languages, dialog);
    } else if (dialog) {
        dialog->showInfo(TIP_TITLE, ADDED_MESSAGE);
    }
}

void askToRemove(Dialog* dialog, std::function<void()> remove) {
    if (dialog) {
        dialog->showConfirm(TIP_TITLE, REMOVE_QUESTION, std::move(remove));
    }
}

void remove(const LanguageManager& languages, PlayList& playlist, Dialog* dialog,
            const std::string& filepath) {
    if (playlist.removeFavourite(filepath) == Favourites::Change::SAVE_FAILED) {
        reportNotSaved(languages, dialog);
        return;
    }
    playlist.loadFavourites();
}

void reportNotSaved(const LanguageManager& languages, Dialog* dialog) {
    SaveFailureNotice::show(languages, dialog, NOT_SAVED_KEY, "");
}

} // namespace FavouriteToggle
