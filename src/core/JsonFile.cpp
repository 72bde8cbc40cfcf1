#include "core/JsonFile.h"

#include "core/Log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace JsonFile {

namespace {

constexpr size_t READ_CHUNK_BYTES = 64 * 1024;
constexpr const char* STYLED_INDENTATION = "   ";
constexpr const char* COPY_SUFFIX = ".bak";
constexpr int MOST_COPIES = 1000;

// A byte b that is not part of valid UTF-8 is stored as the code point 0xdc00 + b.
constexpr unsigned ESCAPED_BYTE_BASE = 0xdc00;
constexpr unsigned FIRST_ESCAPED_BYTE = 0x80;
constexpr unsigned LAST_ESCAPED_BYTE = 0xff;
constexpr unsigned HIGH_SURROGATE_FIRST = 0xd800;
constexpr unsigned HIGH_SURROGATE_LAST = 0xdbff;
constexpr size_t UNICODE_ESCAPE_LENGTH = 6; // \uXXXX

// Closes a POSIX file descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }
    int get() const { return fd; }
    bool valid() const { return fd >= 0; }
    int release() { return std::exchange(fd, -1); }
    void reset() {
        if (fd >= 0) {
            ::close(fd);
        }
        fd = -1;
    }

private:
    int fd;
};

bool fail(std::string* error, const std::string& what) {
    if (error) {
        *error = what + ": " + std::strerror(errno);
    }
    return false;
}

bool writeAll(int fd, const std::string& text) {
    const char* data = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    std::string parent = std::filesystem::path(path).parent_path().string();
    return parent.empty() ? "." : parent;
}

// Reads at most maxBytes; false when the file holds more (it may have grown since its size was
// asked) or a read fails.
bool readAtMost(int fd, uintmax_t expectedSize, uintmax_t maxBytes, std::string& content) {
    content.reserve(static_cast<size_t>(expectedSize));
    char chunk[READ_CHUNK_BYTES];
    while (true) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        if (content.size() + static_cast<size_t>(got) > maxBytes) {
            return false;
        }
        content.append(chunk, static_cast<size_t>(got));
    }
}

// Length of the valid UTF-8 sequence starting at text[i], or 0 when the byte there does not
// start one (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut short).
size_t validSequenceLength(const std::string& text, size_t i) {
    auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    auto continuation = [&](size_t at) { return at < text.size() && (byte(at) & 0xc0) == 0x80; };
    const unsigned lead = byte(i);
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xc2 && lead <= 0xdf) {
        return continuation(i + 1) ? 2 : 0;
    }
    if (lead >= 0xe0 && lead <= 0xef) {
        if (!continuation(i + 1) || !continuation(i + 2)) {
            return 0;
        }
        const unsigned second = byte(i + 1);
        const bool overlong = lead == 0xe0 && second < 0xa0;
        const bool surrogate = lead == 0xed && second >= 0xa0;
        return overlong || surrogate ? 0 : 3;
    }
    if (lead >= 0xf0 && lead <= 0xf4) {
        if (!continuation(i + 1) || !continuation(i + 2) || !continuation(i + 3)) {
            return 0;
        }
        const unsigned second = byte(i + 1);
        const bool overlong = lead == 0xf0 && second < 0x90;
        const bool tooLarge = lead == 0xf4 && second >= 0x90;
        return overlong || tooLarge ? 0 : 4;
    }
    return 0;
}

std::string unicodeEscape(unsigned codePoint) {
    char escape[UNICODE_ESCAPE_LENGTH + 1];
    std::snprintf(escape, sizeof escape, "\\u%04x", codePoint);
    return escape;
}

// The writer copies the bytes of strings as they are; every byte outside valid UTF-8 becomes
// its escape. Such bytes occur only inside strings, so the escape lands in a string literal.
std::string escapeInvalidUtf8(std::string text) {
    size_t i = 0;
    while (i < text.size() && validSequenceLength(text, i) > 0) {
        i += validSequenceLength(text, i);
    }
    if (i == text.size()) {
        return text; // the usual case: nothing to copy
    }
    std::string escaped = text.substr(0, i);
    while (i < text.size()) {
        const size_t length = validSequenceLength(text, i);
        if (length == 0) {
            escaped += unicodeEscape(ESCAPED_BYTE_BASE + static_cast<unsigned char>(text[i]));
            ++i;
        } else {
            escaped.append(text, i, length);
            i += length;
        }
    }
    return escaped;
}

// The value of the \uXXXX escape at text[i], or -1 when there is none.
long unicodeEscapeAt(const std::string& text, size_t i) {
    if (i + UNICODE_ESCAPE_LENGTH > text.size() || text[i] != '\\' || text[i + 1] != 'u') {
        return -1;
    }
    long value = 0;
    for (size_t digit = i + 2; digit < i + UNICODE_ESCAPE_LENGTH; ++digit) {
        const char c = text[digit];
        const int nibble = c >= '0' && c <= '9'   ? c - '0'
                           : c >= 'a' && c <= 'f' ? c - 'a' + 10
                           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                  : -1;
        if (nibble < 0) {
            return -1;
        }
        value = value * 16 + nibble;
    }
    return value;
}

bool isEscapedByte(long codePoint) {
    return codePoint >= static_cast<long>(ESCAPED_BYTE_BASE + FIRST_ESCAPED_BYTE) &&
           codePoint <= static_cast<long>(ESCAPED_BYTE_BASE + LAST_ESCAPED_BYTE);
}

bool holdsEscapedBytes(const std::string& text) {
    for (size_t at = text.find("\\u"); at != std::string::npos; at = text.find("\\u", at + 1)) {
        if (isEscapedByte(unicodeEscapeAt(text, at))) {
            return true;
        }
    }
    return false;
}

// Turns the escapes of escapeInvalidUtf8 back into their bytes before the text is parsed (the
// parser would make three bytes of a lone surrogate). Other escapes, the second half of a
// surrogate pair included, are left to the parser.
std::string restoreEscapedBytes(const std::string& text) {
    std::string restored;
    restored.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            restored += text[i++];
            continue;
        }
        const long value = unicodeEscapeAt(text, i);
        if (isEscapedByte(value)) {
            restored += static_cast<char>(value - ESCAPED_BYTE_BASE);
            i += UNICODE_ESCAPE_LENGTH;
            continue;
        }
        // Any other escape is copied whole; a high surrogate takes its partner along.
        size_t length = value >= 0 ? UNICODE_ESCAPE_LENGTH : 2;
        if (value >= static_cast<long>(HIGH_SURROGATE_FIRST) &&
            value <= static_cast<long>(HIGH_SURROGATE_LAST) &&
            unicodeEscapeAt(text, i + length) >= 0) {
            length += UNICODE_ESCAPE_LENGTH;
        }
        restored.append(text, i, length);
        i += length;
    }
    return restored;
}

std::string writeText(const Json::Value& root, const std::string& indentation) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = indentation;
    builder["emitUTF8"] = true;
    return escapeInvalidUtf8(Json::writeString(builder, root));
}

// The reader formats its messages over several lines; an error line must stay one line.
std::string oneLine(const std::string& text) {
    std::string line;
    bool pendingSpace = false;
    for (char c : text) {
        if (c == '\n' || c == '\r' || c == ' ' || c == '\t') {
            pendingSpace = !line.empty();
            continue;
        }
        if (pendingSpace) {
            line += ' ';
            pendingSpace = false;
        }
        line += c;
    }
    return line;
}

} // namespace

ReadResult read(const std::string& path, uintmax_t maxBytes) {
    ReadResult result;
    // Not blocking: opening a named pipe would otherwise wait for a writer.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!file.valid()) {
        result.status =
            errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::OpenFailed;
        result.error = std::strerror(errno);
        return result;
    }
    struct stat info {};
    result.status = ReadStatus::OpenFailed;
    if (::fstat(file.get(), &info) != 0) {
        result.error = std::strerror(errno);
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.error = "not a regular file";
        return result;
    }
    const uintmax_t size = static_cast<uintmax_t>(info.st_size);
    std::string content;
    if (size > maxBytes || !readAtMost(file.get(), size, maxBytes, content)) {
        result.error = "larger than " + std::to_string(maxBytes) + " bytes, or unreadable";
        return result;
    }
    result.status =
        parse(content, result.root, result.error) ? ReadStatus::Ok : ReadStatus::ParseFailed;
    return result;
}

ReadResult readReporting(const std::string& path, const ReadErrorMessages& messages,
                         uintmax_t maxBytes) {
    ReadResult result = read(path, maxBytes);
    auto report = [](const std::string& message, const std::string& detail) {
        if (!message.empty()) {
            logError(message + detail);
        }
    };
    switch (result.status) {
    case ReadStatus::Missing:
        report(messages.missing, path);
        break;
    case ReadStatus::OpenFailed:
        report(messages.openFailed, path);
        break;
    case ReadStatus::ParseFailed:
        report(messages.parseFailed, result.error);
        break;
    case ReadStatus::Ok:
        break;
    }
    return result;
}

bool parse(const std::string& text, Json::Value& root, std::string& error) {
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    root = Json::Value();
    std::string messages;
    std::string restored;
    if (holdsEscapedBytes(text)) { // not the usual case: most text is parsed without a copy
        restored = restoreEscapedBytes(text);
    }
    const std::string& parsedText = restored.empty() ? text : restored;
    bool parsed =
        reader->parse(parsedText.data(), parsedText.data() + parsedText.size(), &root, &messages);
    error = oneLine(messages);
    return parsed;
}

std::string toStyledText(const Json::Value& root) {
    return writeText(root, STYLED_INDENTATION);
}

std::string toIndentedText(const Json::Value& root, const std::string& indentation) {
    return writeText(root, indentation);
}

bool ensureParentFolder(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (folder.empty() || std::filesystem::is_directory(folder, error)) {
        return true;
    }
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

bool writeAtomically(const std::string& path, const std::string& text, std::string* error,
                     Durability durability) {
    const std::string temporary = path + ".tmp";
    FileDescriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!file.valid()) {
        return fail(error, "cannot create " + temporary);
    }
    if (!writeAll(file.get(), text) || ::fsync(file.get()) != 0) {
        fail(error, "cannot write " + temporary);
        file.reset();
        ::unlink(temporary.c_str());
        return false;
    }
    if (::close(file.release()) != 0) {
        fail(error, "cannot close " + temporary);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        fail(error, "cannot replace " + path);
        ::unlink(temporary.c_str());
        return false;
    }
    if (durability == Durability::FULL) { // make the rename itself durable
        FileDescriptor folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.valid()) {
            ::fsync(folder.get());
        }
    }
    return true;
}

bool saveStyled(const std::string& path, const Json::Value& root, Durability durability) {
    return ensureParentFolder(path) &&
           writeAtomically(path, toStyledText(root), nullptr, durability);
}

std::string keepCopy(const std::string& path) {
    for (int number = 1; number <= MOST_COPIES; ++number) {
        const std::string copy =
            path + COPY_SUFFIX + (number == 1 ? "" : "." + std::to_string(number));
        std::error_code ec;
        if (std::filesystem::exists(copy, ec)) {
            continue;
        }
        // Without overwrite: a copy made meanwhile by someone else fails here and is skipped.
        if (std::filesystem::copy_file(path, copy, std::filesystem::copy_options::none, ec)) {
            return copy;
        }
        if (!std::filesystem::exists(copy, ec)) {
            return "";
        }
    }
    return "";
}

} // namespace JsonFile
