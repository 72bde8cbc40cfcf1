#pragma once

#include <functional>
#include <string>

class Dialog;
class LanguageManager;
class PlayList;
struct Song;

// Adding and removing a favourite from a page, and what the user is told about it. Every change
// is written to the favourites file at once; when that fails the user is told, and the list
// stays as the file has it.
namespace FavouriteToggle {

// Adds song; tells the user it was added, or that the favourites could not be saved (in the
// current language of languages, as every failure below).
void add(const LanguageManager& languages, PlayList& playlist, Dialog* dialog, const Song& song);
// Asks whether to remove a favourite; remove runs on yes. Without a dialog nothing is removed.
void askToRemove(Dialog* dialog, std::function<void()> remove);
// Removes the favourite with this full path (a song of the same file name in another folder
// stays) and reloads the favourites; a failed save is reported instead.
void remove(const LanguageManager& languages, PlayList& playlist, Dialog* dialog,
            const std::string& filepath);
// Tells the user that the favourites file could not be written (the favourites have logged
// which file).
void reportNotSaved(const LanguageManager& languages, Dialog* dialog);

} // namespace FavouriteToggle
