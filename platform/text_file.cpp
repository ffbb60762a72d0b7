#include "platform/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

namespace {

constexpr char kEndOfFile = 26;  // Ctrl-Z: old editors closed text files with it

bool IsSeparator(char c) {
    return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Writes all of the bytes, carrying on after a short write.
bool WriteAll(int descriptor, const char* bytes, std::size_t count) {
    while (count > 0) {
        ssize_t written = ::write(descriptor, bytes, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) return false;
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

// -- Reading --

bool OpenForInput(TextFile& file, const std::string& name) {
    file = TextFile{};
    int descriptor = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return false;
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        return false;
    }
    std::string bytes;
    char chunk[65536];
    for (;;) {
        ssize_t got = ::read(descriptor, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            ::close(descriptor);
            return false;
        }
        if (got == 0) break;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(descriptor);
    file.bytes = std::move(bytes);
    file.open = true;
    return true;
}

std::int64_t CountLines(const TextFile& file) {
    std::int64_t lines = 0;
    bool open_line = false;  // characters seen since the last line end
    const std::string& bytes = file.bytes;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        char c = bytes[at];
        if (c == kEndOfFile) break;
        if (c == '\r') {
            ++lines;
            open_line = false;
            if (at + 1 < bytes.size() && bytes[at + 1] == '\n') ++at;
        } else if (c == '\n') {
            // A bare line feed (a file touched by a Unix editor) still ends a
            // line, so no record of such a file goes uncounted.
            ++lines;
            open_line = false;
        } else {
            open_line = true;
        }
    }
    return lines + (open_line ? 1 : 0);
}

double ReadNumber(TextFile& file) {
    const std::string& bytes = file.bytes;
    std::size_t& at = file.position;
    while (at < bytes.size() && IsSeparator(bytes[at])) ++at;
    if (at >= bytes.size() || bytes[at] == kEndOfFile) {
        at = bytes.size();
        return 0.0;
    }
    std::size_t start = at;
    while (at < bytes.size() && !IsSeparator(bytes[at]) && bytes[at] != kEndOfFile) ++at;
    std::string token = bytes.substr(start, at - start);
    // Only plain decimal numbers count; strtod alone would also take "inf" or hex.
    for (char c : token) {
        bool allowed = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
        if (!allowed) return 0.0;
    }
    char* end = nullptr;
    double value = std::strtod(token.c_str(), &end);
    if (end == token.c_str() || *end != '\0') return 0.0;
    return value;
}

void CloseFile(TextFile& file) {
    file = TextFile{};
}

// -- Writing --

void WriteNumber(std::string& line, std::int64_t value) {
    line += std::to_string(value);
}

void WriteSeparator(std::string& line) {
    line += ',';
}

void EndRecord(std::string& line) {
    line += "\r\n";
}

bool AppendLine(const std::string& name, std::string_view line) {
    int descriptor = ::open(name.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0) return false;
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        return false;
    }
    off_t size = info.st_size;
    // A file closed with Ctrl-Z would hide every record written after it from
    // the reader, so the marker goes before anything is added.
    char last = 0;
    while (size > 0) {
        if (::pread(descriptor, &last, 1, size - 1) != 1) {
            ::close(descriptor);
            return false;
        }
        if (last != kEndOfFile) break;
        --size;
    }
    if (size != info.st_size && ::ftruncate(descriptor, size) != 0) {
        ::close(descriptor);
        return false;
    }
    std::string bytes;
    if (size > 0 && last != '\n' && last != '\r') bytes = "\r\n";  // finish a cut-off last line
    bytes.append(line);
    bool written = WriteAll(descriptor, bytes.data(), bytes.size());
    bool closed = ::close(descriptor) == 0;
    return written && closed;
}

}  // namespace platform
