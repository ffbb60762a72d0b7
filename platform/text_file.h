#pragma once
// Sequential 8-bit text files with CR LF lines, opened by a name relative to the
// working directory, one at a time. The player file is the only file the game
// uses: it is read whole at every pass and only ever grows by whole lines.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// An input file, read whole when opened.
struct TextFile {
    std::string bytes;          // the file's contents
    std::size_t position = 0;   // next byte ReadNumber looks at
    bool open = false;
};

bool OpenForInput(TextFile& file, const std::string& name);  // false (and nothing read) when missing
// Lines: carriage returns (each optionally followed by a line feed) plus one for a
// last line with characters but no line end; counting stops at Ctrl-Z (26).
std::int64_t CountLines(const TextFile& file);
// Next number: commas, blanks, Tab, CR and LF separate; Ctrl-Z ends the file.
// A malformed number reads as 0; past the end it gives 0.
double ReadNumber(TextFile& file);
void CloseFile(TextFile& file);

// A record line is built in memory and appended in one write, so a game killed
// at any moment never leaves half a record in the file.
void WriteNumber(std::string& line, std::int64_t value);  // shortest decimal, "-" for negatives
void WriteSeparator(std::string& line);                    // ","
void EndRecord(std::string& line);                         // CR LF
// Opens for appending (creating a missing file), first ends a last line that
// lacks its line end, writes the line and closes. False when it cannot be written.
bool AppendLine(const std::string& name, std::string_view line);

}  // namespace platform
