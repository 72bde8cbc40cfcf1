#include "pages/LibraryRescan.h"

#include "core/Log.h"
#include "library/MusicScanner.h"
#include "library/PlayList.h"
#include "pages/PageServices.h"
#include "settings/Config.h"
#include "settings/LanguageManager.h"
#include "ui/Dialog.h"

#include <string>
#include <utility>

namespace LibraryRescan {

namespace {

// "Files found: 1200" while the walk counts, then "Files read: 300 / 1200".
std::string progressText(const ScanProgress& progress, const LanguageManager& languages) {
    if (!progress.counted) {
        return progress.filesFound == 0 ? std::string()
                                        : languages.getText("dialog_progress_found") + " " +
                                              std::to_string(progress.filesFound);
    }
    return languages.getText("dialog_progress_read") + " " + std::to_string(progress.filesRead) +
           " / " + std::to_string(progress.filesFound);
}

} // namespace

void start(const PageServices& services, Dialog* dialog, PlayList* playList) {
    if (!dialog) {
        logError("Dialog is null!");
        return;
    }
    MusicScanner* scanner = &services.scanner;
    ScanRequest request{services.config.getScanDirectories(), services.config.getSupportedFormats(),
                        playList ? playList->shareLibrary() : nullptr};
    const LanguageManager& languages = services.languages;
    dialog->showLoading(
        languages.getText("dialog_title_tip"), languages.getText("dialog_message_loading"),
        [scanner, playList, request = std::move(request)] {
            scanner->scanMusicFiles(playList, request);
        },
        [scanner, &languages] { return progressText(scanner->getProgress(), languages); });
}

} // namespace LibraryRescan
