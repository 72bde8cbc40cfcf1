#pragma once

#include <initializer_list>
#include <string>

// Makes the staged runtime folder's read-only files (fonts, icons, language files) visible in
// the current working directory by linking them, so code that opens "resources/font.ttf" or
// "icons/bg.png" finds them inside a scratch folder. Missing runtime entries are skipped.
void linkRuntimeResources(const std::string& workingDirectory,
                          std::initializer_list<const char*> folders = {"resources", "icons"});

// The whole content of a file, empty when it cannot be read.
std::string readWholeFile(const std::string& path);
