#pragma once

#include <string>

// One now-playing skin: its id (1 tape, 2 record), the localisation key of its name, and the
// asset folder it draws from.
struct ThemeEntry {
    int id = 0;
    std::string name;
    std::string folder;
};
