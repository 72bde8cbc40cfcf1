# Writes a C++ source that holds the shipped language files, so that the program can write them
# into an empty language folder. Run with:
#   cmake -DOUTPUT=<file.cpp> -DLANGUAGE_DIR=<assets/lan> -P EmbedLanguages.cmake
file(GLOB files RELATIVE ${LANGUAGE_DIR} ${LANGUAGE_DIR}/*.json)
list(SORT files)
set(delimiter "lan_json")
set(body "")
foreach(file IN LISTS files)
    get_filename_component(code ${file} NAME_WE)
    file(READ ${LANGUAGE_DIR}/${file} text)
    string(FIND "${text}" ")${delimiter}\"" clash)
    if(NOT clash EQUAL -1)
        message(FATAL_ERROR "${file} contains the raw-string delimiter )${delimiter}\"")
    endif()
    string(APPEND body "        {\"${code}\", R\"${delimiter}(${text})${delimiter}\"},\n")
endforeach()
set(source "// Generated from assets/lan/*.json by cmake/EmbedLanguages.cmake; do not edit.
#include \"settings/BuiltInLanguages.h\"

#include <map>

const char* BuiltInLanguages::fileText(const std::string& code) {
    static const std::map<std::string, const char*> files = {
${body}    };
    auto found = files.find(code);
    return found == files.end() ? nullptr : found->second;
}
")
# Rewrite only on a change, so an unchanged language file does not rebuild the library.
if(EXISTS ${OUTPUT})
    file(READ ${OUTPUT} previous)
endif()
if(NOT "${previous}" STREQUAL "${source}")
    file(WRITE ${OUTPUT} "${source}")
endif()
