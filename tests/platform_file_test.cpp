// The player file's text conventions: numbers across CR LF and Ctrl-Z, the line
// count, and appends that end a cut-off last line first.

#include "platform/text_file.h"

#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace platform;

class TextFileTest : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return (scratch_.path() / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(PathOf(name), std::ios::binary);
        out << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    static std::int64_t LinesOf(const std::string& bytes) {
        TextFile file;
        file.bytes = bytes;
        return CountLines(file);
    }

    test_support::ScratchDirectory scratch_{"gyrovessel-file-"};
};

TEST_F(TextFileTest, NumbersReadAcrossLineEndsUntilCtrlZ) {
    Write("p.txt", "3,12,-1\r\n 4, 5\t6\r\n7.5,1x,8\r\n\x1a" "99,100\r\n");
    TextFile file;
    ASSERT_TRUE(OpenForInput(file, PathOf("p.txt")));
    for (double expected : {3.0, 12.0, -1.0, 4.0, 5.0, 6.0, 7.5, 0.0, 8.0}) EXPECT_EQ(ReadNumber(file), expected);
    EXPECT_EQ(ReadNumber(file), 0.0);  // Ctrl-Z ends the file: 99 is never read
    EXPECT_EQ(ReadNumber(file), 0.0);
    CloseFile(file);
    EXPECT_FALSE(file.open);

    TextFile missing;
    EXPECT_FALSE(OpenForInput(missing, PathOf("nobody.txt")));
    EXPECT_FALSE(missing.open);
    EXPECT_EQ(ReadNumber(missing), 0.0);
}

TEST_F(TextFileTest, LineCountRules) {
    EXPECT_EQ(LinesOf(""), 0);
    EXPECT_EQ(LinesOf("1,2\r\n3,4\r\n"), 2);
    EXPECT_EQ(LinesOf("1,2\r\n3,4"), 2);       // a last line without its end still counts
    EXPECT_EQ(LinesOf("1,2\r3,4\r"), 2);       // CR alone ends a line
    EXPECT_EQ(LinesOf("1,2\n3,4\n"), 2);       // so does LF alone
    EXPECT_EQ(LinesOf("1,2\r\n\r\n"), 2);      // an empty line is a line
    EXPECT_EQ(LinesOf("1,2\r\n\x1a" "3,4\r\n"), 1);  // counting stops at Ctrl-Z
    EXPECT_EQ(LinesOf("\x1a"), 0);
}

TEST_F(TextFileTest, RecordLinesAreBuiltAndAppendedWhole) {
    std::string line;
    WriteNumber(line, 3);
    WriteSeparator(line);
    WriteNumber(line, 12);
    WriteSeparator(line);
    WriteNumber(line, -1);
    EndRecord(line);
    EXPECT_EQ(line, "3,12,-1\r\n");

    ASSERT_TRUE(AppendLine(PathOf("new.txt"), line));  // a missing file is created
    ASSERT_TRUE(AppendLine(PathOf("new.txt"), line));
    EXPECT_EQ(Read("new.txt"), "3,12,-1\r\n3,12,-1\r\n");

    Write("cut.txt", "1,2");  // a last line left without its end
    ASSERT_TRUE(AppendLine(PathOf("cut.txt"), line));
    EXPECT_EQ(Read("cut.txt"), "1,2\r\n3,12,-1\r\n");
    TextFile file;
    ASSERT_TRUE(OpenForInput(file, PathOf("cut.txt")));
    EXPECT_EQ(CountLines(file), 2);

    Write("dos.txt", "1,2\r\n\x1a");  // closed with Ctrl-Z: the new line must not hide behind it
    ASSERT_TRUE(AppendLine(PathOf("dos.txt"), line));
    EXPECT_EQ(Read("dos.txt"), "1,2\r\n3,12,-1\r\n");

    EXPECT_FALSE(AppendLine(PathOf("no-such-folder/p.txt"), line));
    EXPECT_FALSE(AppendLine(scratch_.path().string(), line));
}

}  // namespace
