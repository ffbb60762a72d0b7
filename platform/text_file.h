#pragma once
// Sequential 8-bit text files with CR LF lines, opened by a name relative to the
// working directory, one at a time. The player file is the only file the game
// uses: it is read at every pass and only ever grows by whole lines.
//
// Reading goes line by line through a small buffer, so a file of any size
// costs only the records taken from it, and no line can change how another
// reads. A line ends at CR (with an LF after it), at a lone LF, or at a Ctrl-Z
// (26) after characters. Old editors closed text files with Ctrl-Z: a Ctrl-Z
// and the blanks, line ends and further Ctrl-Zs after it make no line of their
// own, so a Ctrl-Z followed only by those still ends the file, and one that a
// later append left mid-file hides nothing.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct Platform;

// An input file, open from OpenForInput to CloseFile.
struct TextFile {
    int descriptor = -1;
    bool open = false;
    std::string problem;        // why an existing file cannot be read, in a player's words; "" otherwise
    std::vector<char> buffer;   // a window on the file, refilled as reading goes on
    std::size_t next = 0;       // next byte of the buffer to look at
    std::size_t filled = 0;     // bytes of the buffer that hold file data
    std::int64_t offset = 0;    // file offset just past the buffered bytes
};

// False when the file cannot be read: silently (problem "") when it is missing;
// with `problem` set when it is a folder, a FIFO, a device or unreadable. It
// never waits for a writer on a FIFO.
bool OpenForInput(TextFile& file, const std::string& name);
// Lines of the file (see above); the reading position goes back to the start.
std::int64_t CountLines(TextFile& file);
// Reads the next line and its first `count` numbers into numbers[0..count-1];
// returns how many of them the line held (0 for a blank line), or -1 past the
// last line. Commas, blanks and Tabs separate; a malformed or missing number
// reads as 0 and numbers past `count` are ignored.
int ReadLine(TextFile& file, double* numbers, int count);
void CloseFile(TextFile& file);

// A record line is built in memory and appended in one write.
void WriteNumber(std::string& line, std::int64_t value);  // shortest decimal, "-" for negatives
void WriteSeparator(std::string& line);                    // ","
void EndRecord(std::string& line);                         // CR LF
// Opens for appending (creating a missing file), first ends a last line that
// lacks its line end, writes the line, flushes it to the disk and closes. The
// write is framed by a marker beside the file (see RepairCutOffAppend), so a
// folder where no marker can be made refuses the append.
// All or nothing: when any step fails the file is cut back to what it was (a
// file this call created is removed), `why_not` says why ("disk full", "no
// permission", "not a regular file", ...) and the result is false. A platform
// may be given so that a test can make the write fail (FailWritesAfter).
bool AppendLine(const Platform* platform, const std::string& name, std::string_view line, std::string& why_not);
bool AppendLine(const std::string& name, std::string_view line);
// An append killed mid-write leaves its marker (name + ".pending") beside the
// file; this cuts the file back to its size before that append and removes the
// marker. Called before the file is read or appended to. A marker that does
// not read as one, or whose bytes are not what follows the marked size, is
// removed and changes nothing.
void RepairCutOffAppend(const std::string& name);

}  // namespace platform
