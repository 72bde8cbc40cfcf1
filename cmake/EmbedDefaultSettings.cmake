# Writes a C++ source that holds the shipped settings file, which a start without a usable one
# runs on. Run with:
#   cmake -DOUTPUT=<file.cpp> -DSETTINGS_FILE=<assets/config/settings.json> -P EmbedDefaultSettings.cmake
include(${CMAKE_CURRENT_LIST_DIR}/EmbedText.cmake)
mp_raw_string_literal(${SETTINGS_FILE} text)
mp_write_if_changed(${OUTPUT} "// Generated from assets/config/settings.json by cmake/EmbedDefaultSettings.cmake; do not edit.
#include \"settings/DefaultSettings.h\"

const char* DefaultSettings::fileText() {
    return ${text};
}
")
