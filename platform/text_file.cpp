#include "platform/text_file.h"

#include "platform/platform_state.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

constexpr char kEndOfFile = 26;  // Ctrl-Z: old editors closed text files with it
constexpr std::size_t kBufferBytes = 65536;
constexpr int kNoByte = -1;
// A number longer than this is no record field: it reads as 0.
constexpr std::size_t kLongestNumber = 63;

// -- Reasons in a player's words --

std::string ReasonFor(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT: return "disk full";
        case EACCES:
        case EPERM: return "no permission";
        case EROFS: return "read-only disk";
        case EISDIR:
        case ENXIO:
        case ENODEV: return "not a regular file";
        case EFBIG: return "file too large";
        case ENOENT:
        case ENOTDIR: return "no such folder";
        default: return std::strerror(error);
    }
}

// -- Reading --

// The next byte of the file, or kNoByte at its end (a read error ends it too:
// what was read stays, the rest reads as absent).
int PeekByte(TextFile& file) {
    if (file.next < file.filled) return static_cast<unsigned char>(file.buffer[file.next]);
    if (file.descriptor < 0) return kNoByte;
    for (;;) {
        ssize_t got = ::pread(file.descriptor, file.buffer.data(), file.buffer.size(), file.offset);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return kNoByte;
        file.offset += got;
        file.next = 0;
        file.filled = static_cast<std::size_t>(got);
        return static_cast<unsigned char>(file.buffer[0]);
    }
}

void Rewind(TextFile& file) {
    file.next = 0;
    file.filled = 0;
    file.offset = 0;
}

bool IsBlank(int c) {
    return c == ' ' || c == '\t';
}

// After a Ctrl-Z: it and the blanks, line ends and Ctrl-Zs that follow are no
// line at all, so the file's end may hide behind them and an append after them
// still starts a line of its own.
void SkipEndOfFileMark(TextFile& file) {
    for (int c = PeekByte(file); c == kEndOfFile || c == '\r' || c == '\n' || IsBlank(c); c = PeekByte(file)) {
        ++file.next;
    }
}

// The numbers of one line, taken as its characters come.
struct LineNumbers {
    LineNumbers(double* into, int wanted) : numbers(into), count(wanted) {}

    double* numbers;
    int count;
    int field = 0;               // numbers finished so far
    char token[kLongestNumber + 1];
    std::size_t length = 0;
    bool too_long = false;

    // Only plain decimal numbers count; strtod alone would also take "inf" or hex.
    double TokenValue() {
        if (too_long) return 0.0;
        token[length] = '\0';
        std::size_t at = token[0] == '-' ? 1 : 0;
        if (length > at && length - at <= 9) {
            std::int32_t whole = 0;
            bool digits = true;
            for (std::size_t i = at; i < length && digits; ++i) {
                digits = token[i] >= '0' && token[i] <= '9';
                whole = whole * 10 + (token[i] - '0');
            }
            if (digits) return at == 1 ? -whole : whole;
        }
        for (std::size_t i = 0; i < length; ++i) {
            char c = token[i];
            bool allowed = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
            if (!allowed) return 0.0;
        }
        char* end = nullptr;
        double value = std::strtod(token, &end);
        if (end == token || *end != '\0') return 0.0;
        return value;
    }

    void EndToken() {
        if (length == 0 && !too_long) return;
        if (field < count) numbers[field] = TokenValue();
        ++field;
        length = 0;
        too_long = false;
    }

    void Take(int c) {
        if (c == ',' || IsBlank(c)) {
            EndToken();
        } else if (field < count) {
            if (length < kLongestNumber) {
                token[length++] = static_cast<char>(c);
            } else {
                too_long = true;
            }
        }
    }
};

bool EndsLine(char c) {
    return c == '\r' || c == '\n' || c == kEndOfFile;
}

// Reads one line, handing its characters to `numbers` when given; false at
// the end of the file. The characters of a line are walked straight through
// the buffer: only a line end or a refill leaves the inner loop.
bool ScanLine(TextFile& file, LineNumbers* numbers) {
    int c = PeekByte(file);
    while (c == kEndOfFile) {
        SkipEndOfFileMark(file);
        c = PeekByte(file);
    }
    if (c == kNoByte) return false;
    for (;;) {
        const char* bytes = file.buffer.data();
        std::size_t at = file.next;
        const std::size_t filled = file.filled;
        if (numbers != nullptr) {
            while (at < filled && !EndsLine(bytes[at])) numbers->Take(static_cast<unsigned char>(bytes[at++]));
        } else {
            while (at < filled && !EndsLine(bytes[at])) ++at;
        }
        file.next = at;
        c = PeekByte(file);
        if (c == kNoByte) break;
        if (!EndsLine(static_cast<char>(c))) continue;  // the buffer was refilled mid-line
        ++file.next;
        if (c == '\r') {
            if (PeekByte(file) == '\n') ++file.next;
        } else if (c == kEndOfFile) {
            SkipEndOfFileMark(file);
        }
        break;
    }
    if (numbers != nullptr) numbers->EndToken();
    return true;
}

// -- Writing --

// Writes all of the bytes, carrying on after a short write. A budget of zero
// or more stands in for a disk with only that many bytes free. Returns 0 or
// the error.
int WriteAll(int descriptor, const char* bytes, std::size_t count, std::int64_t budget) {
    int fault = 0;
    if (budget >= 0 && static_cast<std::uint64_t>(budget) < count) {
        count = static_cast<std::size_t>(budget);
        fault = ENOSPC;
    }
    while (count > 0) {
        ssize_t written = ::write(descriptor, bytes, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (written == 0) return ENOSPC;
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return fault;
}

// A file just created is only safe once its folder's entry is on the disk too.
int SyncFolderOf(const std::string& name) {
    std::size_t slash = name.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : name.substr(0, slash));
    int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return errno;
    int error = ::fsync(descriptor) == 0 ? 0 : errno;
    ::close(descriptor);
    return error;
}

// -- The append journal --
//
// Linux stops a write() to a file between two of its pages when SIGKILL
// arrives, so a record that straddles a 4096-byte boundary can be left half
// written; the reader cannot tell that fragment from a player's own cut-off
// last line. So before it writes, an append leaves a marker beside the player
// file holding the file's size and the bytes it is about to write, and removes
// it once the record is on the disk. A marker still there at the next open
// means that append was cut off: its bytes go again. The marker needs no
// flush: a kill leaves the page cache, and with it the marker, intact.

// A record line is some 60 bytes; anything near this is no record.
constexpr std::size_t kLongestAppend = std::size_t{1} << 20;
constexpr std::size_t kLongestMarker = kLongestAppend + 32;

std::string MarkerName(const std::string& name) {
    return name + ".pending";
}

// "size LF bytes" when the marker reads as one; false for anything else, which
// then changes nothing.
bool ReadMarker(const std::string& marker, std::int64_t& size, std::string& bytes) {
    int descriptor = ::open(marker.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (descriptor < 0) return false;
    struct stat info {};
    std::string text;
    if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        static_cast<std::uint64_t>(info.st_size) <= kLongestMarker) {
        text.resize(static_cast<std::size_t>(info.st_size));
        if (::pread(descriptor, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) text.clear();
    }
    ::close(descriptor);
    std::size_t end = text.find('\n');
    if (end == std::string::npos || end == 0 || end > 18) return false;
    size = 0;
    for (std::size_t i = 0; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        size = size * 10 + (text[i] - '0');
    }
    bytes = text.substr(end + 1);
    return !bytes.empty();
}

// Writes the marker for an append of `bytes` to a file of `size` bytes; 0 or
// the error. A link in the marker's place is not followed.
int WriteMarker(const std::string& marker, std::int64_t size, std::string_view bytes) {
    if (bytes.size() > kLongestAppend) return EFBIG;
    int descriptor = ::open(marker.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (descriptor < 0) return errno;
    std::string text = std::to_string(size) + "\n";
    text.append(bytes);
    int error = WriteAll(descriptor, text.data(), text.size(), -1);
    ::close(descriptor);
    if (error != 0) ::unlink(marker.c_str());
    return error;
}

// Takes back the append a marker names, on the player file open for writing
// and locked. Only bytes that are the start of that append go: never a byte
// the file held before it, nor anything written since by other hands; then
// the marker goes, whatever it held.
void TakeBackCutOffAppend(int descriptor, const std::string& marker) {
    std::int64_t size = 0;
    std::string bytes;
    struct stat info {};
    if (ReadMarker(marker, size, bytes) && ::fstat(descriptor, &info) == 0 && info.st_size > size &&
        static_cast<std::uint64_t>(info.st_size - size) <= bytes.size()) {
        std::string tail(static_cast<std::size_t>(info.st_size - size), '\0');
        if (::pread(descriptor, tail.data(), tail.size(), size) == static_cast<ssize_t>(tail.size()) &&
            bytes.compare(0, tail.size(), tail) == 0 && ::ftruncate(descriptor, size) == 0) {
            ::fsync(descriptor);
        }
    }
    // A link in the marker's place goes itself, never what it points to.
    ::unlink(marker.c_str());
}

// Appends hold an exclusive lock on the player file from the marker to its
// removal, so a second game running for the same player never takes back an
// append still under way; a killed appender's lock goes with it.
void LockForAppend(int descriptor) {
    while (::flock(descriptor, LOCK_EX) != 0 && errno == EINTR) {
    }
}

}  // namespace

void RepairCutOffAppend(const std::string& name) {
    const std::string marker = MarkerName(name);
    if (::access(marker.c_str(), F_OK) != 0 && errno == ENOENT) return;  // the usual case: nothing was cut off
    int descriptor = ::open(name.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        // A file that cannot be written cannot be repaired either; a missing
        // one needs no repair.
        if (errno == ENOENT) ::unlink(marker.c_str());
        return;
    }
    struct stat info {};
    if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode)) {
        LockForAppend(descriptor);
        TakeBackCutOffAppend(descriptor, marker);
    } else {
        ::unlink(marker.c_str());
    }
    ::close(descriptor);
}

bool OpenForInput(TextFile& file, const std::string& name) {
    CloseFile(file);
    // O_NONBLOCK: a FIFO in the file's place must not stall the game waiting for a writer.
    int descriptor = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        if (errno != ENOENT) file.problem = ReasonFor(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        file.problem = ReasonFor(EISDIR);
        return false;
    }
    file.descriptor = descriptor;
    file.buffer.resize(kBufferBytes);
    file.open = true;
    return true;
}

std::int64_t CountLines(TextFile& file) {
    Rewind(file);
    std::int64_t lines = 0;
    while (ScanLine(file, nullptr)) ++lines;
    Rewind(file);
    return lines;
}

int ReadLine(TextFile& file, double* numbers, int count) {
    for (int i = 0; i < count; ++i) numbers[i] = 0.0;
    LineNumbers line(numbers, count);
    if (!ScanLine(file, &line)) return -1;
    return line.field < count ? line.field : count;
}

void CloseFile(TextFile& file) {
    if (file.descriptor >= 0) ::close(file.descriptor);
    file = TextFile{};
}

void WriteNumber(std::string& line, std::int64_t value) {
    line += std::to_string(value);
}

void WriteSeparator(std::string& line) {
    line += ',';
}

void EndRecord(std::string& line) {
    line += "\r\n";
}

bool AppendLine(const Platform* platform, const std::string& name, std::string_view line, std::string& why_not) {
    why_not.clear();
    constexpr int kFlags = O_RDWR | O_APPEND | O_CLOEXEC | O_NONBLOCK;
    bool created = false;
    int descriptor = ::open(name.c_str(), kFlags);
    if (descriptor < 0 && errno == ENOENT) {
        descriptor = ::open(name.c_str(), kFlags | O_CREAT | O_EXCL, 0644);
        created = descriptor >= 0;
        // A link whose target is still to be made (a synced folder) is followed.
        if (descriptor < 0 && errno == EEXIST) descriptor = ::open(name.c_str(), kFlags | O_CREAT, 0644);
    }
    if (descriptor < 0) {
        why_not = ReasonFor(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        why_not = ReasonFor(EISDIR);
        return false;
    }
    // An append a kill cut off last time goes first, under the lock this
    // append keeps until its own marker is gone.
    const std::string marker = MarkerName(name);
    LockForAppend(descriptor);
    TakeBackCutOffAppend(descriptor, marker);
    if (::fstat(descriptor, &info) != 0) {
        why_not = ReasonFor(errno);
        ::close(descriptor);
        return false;
    }
    const off_t size = info.st_size;
    char last = '\n';
    if (size > 0 && ::pread(descriptor, &last, 1, size - 1) != 1) {
        why_not = ReasonFor(errno);
        ::close(descriptor);
        return false;
    }
    // A cut-off last line is ended first, so the new record is a line of its
    // own. After a Ctrl-Z the line end is harmless: the reader skips it.
    std::string bytes = (last == '\n' || last == '\r') ? std::string() : std::string("\r\n");
    bytes.append(line);

    // No marker, no append: a record whose write could be cut off unseen is
    // not started (a read-only folder says "no permission" here).
    int error = WriteMarker(marker, size, bytes);
    if (error == 0) {
        std::int64_t budget = -1;
        if (platform != nullptr && platform->offscreen != nullptr) budget = platform->offscreen->write_budget;
        error = WriteAll(descriptor, bytes.data(), bytes.size(), budget);
        if (error == 0 && ::fsync(descriptor) != 0) error = errno;
        if (error == 0 && created) error = SyncFolderOf(name);
        if (error != 0) {
            // Half a record would read back as an etude of its own and merge
            // with the next one: the file goes back to exactly what it was.
            if (!created && ::ftruncate(descriptor, size) == 0) ::fsync(descriptor);
        }
    }
    if (error != 0 && created) ::unlink(name.c_str());
    // The record counts as kept only once its marker is gone (until then the
    // next open would take it back), and the lock goes only after that.
    if (error == 0 && ::unlink(marker.c_str()) != 0 && errno != ENOENT) error = errno;
    if (error != 0) ::unlink(marker.c_str());
    ::close(descriptor);
    if (error != 0) {
        why_not = ReasonFor(error);
        return false;
    }
    return true;
}

bool AppendLine(const std::string& name, std::string_view line) {
    std::string why_not;
    return AppendLine(nullptr, name, line, why_not);
}

}  // namespace platform
