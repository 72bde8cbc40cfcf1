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
    std::string error; // the reader's messages, on one line, when status is ParseFailed
};

// Parses a whole file with the reader's default settings (comments allowed).
ReadResult read(const std::string& path);

// The error lines a loader writes when read() fails; an empty message is not written. The
// path follows the messages for a missing or unopenable file, the reader's text the one for a
// parse error.
struct ReadErrorMessages {
    std::string missing;
    std::string openFailed;
    std::string parseFailed;
};

// read(), writing the matching error line when the file cannot be used.
ReadResult readReporting(const std::string& path, const ReadErrorMessages& messages);

// Parses text with the same settings; on failure returns false and puts the reader's messages,
// joined into one line, in error.
bool parse(const std::string& text, Json::Value& root, std::string& error);

// Human-readable form, one member per line (jsoncpp's styled writer).
std::string toStyledText(const Json::Value& root);

// jsoncpp's stream writer with the given indentation and otherwise default settings.
std::string toIndentedText(const Json::Value& root, const std::string& indentation);

// Creates the folder that holds path, with its parents, when it does not exist yet. False when
// it does not exist afterwards.
bool ensureParentFolder(const std::string& path);

// Writes text to a temporary file in the same folder, flushes it to the device and renames it
// over path. On failure the old file is untouched and error (when given) says why.
bool writeAtomically(const std::string& path, const std::string& text,
                     std::string* error = nullptr);

// Creates the parent folder when needed and writes the styled text of root atomically.
bool saveStyled(const std::string& path, const Json::Value& root);

} // namespace JsonFile
