#include "pages/SaveFailureNotice.h"

#include "core/Log.h"
#include "settings/LanguageManager.h"
#include "ui/Dialog.h"

namespace SaveFailureNotice {

void show(Dialog* dialog, const std::string& messageKey, const std::string& errorLine) {
    if (!errorLine.empty()) {
        logError(errorLine);
    }
    if (!dialog) {
        return;
    }
    const LanguageManager& languages = LanguageManager::getInstance();
    dialog->setTitle(languages.getText("dialog_title_error"));
    dialog->setMessage(languages.getText(messageKey));
    dialog->setType("ERROR");
    dialog->show();
}

} // namespace SaveFailureNotice
