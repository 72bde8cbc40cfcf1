# Writes a C++ source that holds the shipped language files, so that the program can write them
# into an empty language folder. Run with:
#   cmake -DOUTPUT=<file.cpp> -DLANGUAGE_DIR=<assets/lan> -P EmbedLanguages.cmake
include(${CMAKE_CURRENT_LIST_DIR}/EmbedText.cmake)
file(GLOB files RELATIVE ${LANGUAGE_DIR} ${LANGUAGE_DIR}/*.json)
list(SORT files)
set(body "")
foreach(file IN LISTS files)
    get_filename_component(code ${file} NAME_WE)
    mp_raw_string_literal(${LANGUAGE_DIR}/${file} text)
    string(APPEND body "        {\"${code}\", ${text}},\n")
endforeach()
mp_write_if_changed(${OUTPUT} "// Generated from assets/lan/*.json by cmake/EmbedLanguages.cmake; do not edit.
#include \"settings/BuiltInLanguages.h\"

#include <map>

const char* BuiltInLanguages::fileText(const std::string& code) {
    static const std::map<std::string, const char*> files = {
${body}    };
    auto found = files.find(code);
    return found == files.end() ? nullptr : found->second;
}
")
