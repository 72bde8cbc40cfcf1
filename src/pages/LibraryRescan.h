#pragma once

class Dialog;
class PlayList;
struct PageServices;

namespace LibraryRescan {

// Shows the loading dialog, whose thread rebuilds the library from the music folders into
// playList. The folders and formats are copied from the settings now, on the UI thread, so a
// changed setting reaches the next scan and the scan never reads the settings. Without a dialog
// nothing starts (logged).
void start(const PageServices& services, Dialog* dialog, PlayList* playList);

} // namespace LibraryRescan
