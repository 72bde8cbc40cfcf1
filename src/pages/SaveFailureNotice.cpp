#include "pages/SaveFailureNotice.h"

#include "core/Log.h"
#include "settings/LanguageManager.h"
#include "ui/Dialog.h"

namespace SaveFailureNotice {

void show(const LanguageManager& languages, Dialog* dialog, const std::string& messageKey,
          const std::string& errorLine) {
    if (!errorLine.empty()) {
        logError(errorLine);
    }
    if (!dialog) {
        return;
    }
    dialog->showError(languages.getText("dialog_title_error"), languages.getText(messageKey));
}

} // namespace SaveFailureNotice
