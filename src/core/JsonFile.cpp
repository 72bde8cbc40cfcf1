#include "core/JsonFile.h"

#include "core/Log.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>
#include <utility>
#include <vector>

namespace JsonFile {

namespace {

constexpr size_t READ_CHUNK_BYTES = 64 * 1024;

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

// Reads to the end of the file. The string is reserved at the file's size when that is known,
// so a large library file is held once, not in a growing buffer and then again in a copy.
bool readWhole(std::ifstream& file, std::string& content) {
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.clear();
    file.seekg(0, std::ios::beg);
    if (size > 0) {
        content.reserve(static_cast<size_t>(size));
    }
    std::vector<char> chunk(READ_CHUNK_BYTES);
    while (file.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) ||
           file.gcount() > 0) {
        content.append(chunk.data(), static_cast<size_t>(file.gcount()));
    }
    return !file.bad();
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

ReadResult read(const std::string& path) {
    ReadResult result;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        result.status = ReadStatus::Missing;
        return result;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        result.status = ReadStatus::OpenFailed;
        return result;
    }
    std::string content;
    if (!readWhole(file, content)) {
        result.status = ReadStatus::OpenFailed;
        return result;
    }
    result.status =
        parse(content, result.root, result.error) ? ReadStatus::Ok : ReadStatus::ParseFailed;
    return result;
}

ReadResult readReporting(const std::string& path, const ReadErrorMessages& messages) {
    ReadResult result = read(path);
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
    bool parsed = reader->parse(text.data(), text.data() + text.size(), &root, &messages);
    error = oneLine(messages);
    return parsed;
}

std::string toStyledText(const Json::Value& root) {
    Json::StyledWriter writer;
    return writer.write(root);
}

std::string toIndentedText(const Json::Value& root, const std::string& indentation) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = indentation;
    return Json::writeString(builder, root);
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

bool writeAtomically(const std::string& path, const std::string& text, std::string* error) {
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
    // Make the rename itself durable.
    FileDescriptor folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) {
        ::fsync(folder.get());
    }
    return true;
}

bool saveStyled(const std::string& path, const Json::Value& root) {
    return ensureParentFolder(path) && writeAtomically(path, toStyledText(root));
}

} // namespace JsonFile
