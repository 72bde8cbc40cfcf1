#pragma once

#include <json/json.h>

#include <string>

#include <cstdint>

// Reading and writing the program's JSON files. Every file the program writes is replaced
// atomically, so a crash or a power cut in the middle of a save leaves either the old or the
// new file on disk, never a truncated one.
//
// Text is written as UTF-8 as it is. File names on a card need not be UTF-8 (old Latin-1 or GBK
// names): a byte that is not part of valid UTF-8 is written as the escape \udc80 to \udcff
// (0x80 to 0xff as a lone low surrogate, the usual reversible escape), which the reader turns
// back into that byte, so every stored string comes back byte for byte.
namespace JsonFile {

// Largest file read by default; a larger one is refused rather than read until memory runs out.
constexpr uintmax_t DEFAULT_MAX_BYTES = 8 * 1024 * 1024;

enum class ReadStatus { Ok, Missing, OpenFailed, ParseFailed };

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    Json::Value root;
    // The reader's messages, on one line, when status is ParseFailed; why the file could not be
    // read when status is OpenFailed.
    std::string error;
};

// Parses a whole file with the reader's default settings (comments allowed). Anything but a
// regular file (a folder, a device, a pipe) and a file over maxBytes is OpenFailed: never read.
ReadResult read(const std::string& path, uintmax_t maxBytes = DEFAULT_MAX_BYTES);

// The error lines a loader writes when read() fails; an empty message is not written. The
// path follows the messages for a missing or unopenable file, the reader's text the one for a
// parse error.
struct ReadErrorMessages {
    std::string missing;
    std::string openFailed;
    std::string parseFailed;
};

// read(), writing the matching error line when the file cannot be used.
ReadResult readReporting(const std::string& path, const ReadErrorMessages& messages,
                         uintmax_t maxBytes = DEFAULT_MAX_BYTES);

// Parses text with the same settings; on failure returns false and puts the reader's messages,
// joined into one line, in error.
bool parse(const std::string& text, Json::Value& root, std::string& error);

// Human-readable form, one member per line, indented by three spaces.
std::string toStyledText(const Json::Value& root);

// jsoncpp's stream writer with the given indentation, members in jsoncpp's (sorted) order.
std::string toIndentedText(const Json::Value& root, const std::string& indentation);

// Creates the folder that holds path, with its parents, when it does not exist yet. False when
// it does not exist afterwards.
bool ensureParentFolder(const std::string& path);

// How much of a write is flushed to the device before it returns.
enum class Durability {
    // The file and the rename: after a power cut the new file is there.
    FULL,
    // The file only, which costs one wait for the card less: after a power cut the old or the
    // new file is there, whole either way. For a file rewritten often.
    CONTENT,
};

// Writes text to a temporary file in the same folder, flushes it to the device and renames it
// over path. On failure the old file is untouched and error (when given) says why.
bool writeAtomically(const std::string& path, const std::string& text, std::string* error = nullptr,
                     Durability durability = Durability::FULL);

// Creates the parent folder when needed and writes the styled text of root atomically.
bool saveStyled(const std::string& path, const Json::Value& root,
                Durability durability = Durability::FULL);

// Copies a file that could not be used to "<path>.bak", or when that exists already to the first
// free "<path>.bak.2", "<path>.bak.3"...: an earlier copy is never overwritten. The name of the
// copy, or empty when none could be made.
std::string keepCopy(const std::string& path);

} // namespace JsonFile
