#pragma once

#include <json/json.h>

#include <string>

// Reading and writing the program's JSON files. Every file the program writes is replaced
// atomically, so a crash or a power cut in the middle of a save leaves either the old or the
// new file on disk, never a truncated one.
namespace JsonFile {

enum class ReadStatus { Ok, Missing, OpenFailed, ParseFailed };

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    Json::Value root;
    std::string error; // the reader's messages when status is ParseFailed
};

// Parses a whole file with the reader's default settings (comments allowed).
ReadResult read(const std::string& path);

// Parses text with the same settings; on failure returns false and fills error.
bool parse(const std::string& text, Json::Value& root, std::string& error);

// Human-readable form, one member per line (jsoncpp's styled writer).
std::string toStyledText(const Json::Value& root);

// jsoncpp's stream writer with the given indentation and otherwise default settings.
std::string toIndentedText(const Json::Value& root, const std::string& indentation);

// Writes text to a temporary file in the same folder, flushes it to the device and renames it
// over path. On failure the old file is untouched and error (when given) says why.
bool writeAtomically(const std::string& path, const std::string& text,
                     std::string* error = nullptr);

} // namespace JsonFile
