#include "pages/LibraryRescan.h"

#include "core/Log.h"
#include "library/MusicScanner.h"
#include "pages/PageServices.h"
#include "settings/Config.h"
#include "settings/LanguageManager.h"
#include "ui/Dialog.h"

#include <utility>

namespace LibraryRescan {

void start(const PageServices& services, Dialog* dialog, PlayList* playList) {
    if (!dialog) {
        logError("Dialog is null!");
        return;
    }
    MusicScanner* scanner = &services.scanner;
    ScanRequest request{services.config.getScanDirectories(),
                        services.config.getSupportedFormats()};
    const LanguageManager& languages = services.languages;
    dialog->showLoading(languages.getText("dialog_title_tip"),
                        languages.getText("dialog_message_loading"),
                        [scanner, playList, request = std::move(request)] {
                            scanner->scanMusicFiles(playList, request);
                        });
}

} // namespace LibraryRescan
