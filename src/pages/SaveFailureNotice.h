#pragma once

#include <string>

class Dialog;
class LanguageManager;

// How a page tells the user that a change could not be written (a full or read-only card): an
// error line, and the error dialog with a localised message, so nobody believes the change
// will outlive the run.
namespace SaveFailureNotice {

// Writes errorLine (unless it is empty: the store that failed may have written its own) and
// shows the dialog (when there is one) with the text of messageKey in the current language.
void show(const LanguageManager& languages, Dialog* dialog, const std::string& messageKey,
          const std::string& errorLine);

} // namespace SaveFailureNotice
