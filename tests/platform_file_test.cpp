// The player file's text conventions: each line's numbers from that line
// alone, the line count with Ctrl-Z, and appends that end a cut-off last line
// first and never wait on a FIFO.

#include "platform/text_file.h"

#include "tests/test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
    std::int64_t LinesOf(const std::string& bytes) const {
        Write("count.txt", bytes);
        TextFile file;
        EXPECT_TRUE(OpenForInput(file, PathOf("count.txt")));
        std::int64_t lines = CountLines(file);
        CloseFile(file);
        return lines;
    }

    test_support::ScratchDirectory scratch_{"gyrovessel-file-"};
};

TEST_F(TextFileTest, EachLineReadsItsOwnNumbersUntilCtrlZ) {
    Write("p.txt", "3,12\r\n 4, 5\t6,7,8\r\n7.5,1x,+8\r\n\r\n\x1a \r\n");
    TextFile file;
    ASSERT_TRUE(OpenForInput(file, PathOf("p.txt")));
    double numbers[3];
    const double expected[4][3] = {{3, 12, 0}, {4, 5, 6}, {7.5, 0, 8}, {0, 0, 0}};
    for (const auto& line : expected) {
        ASSERT_GE(ReadLine(file, numbers, 3), 0);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(numbers[i], line[i]);
    }
    EXPECT_EQ(ReadLine(file, numbers, 3), -1);  // Ctrl-Z and blanks after it end the file
    CloseFile(file);
    EXPECT_FALSE(file.open);

    TextFile missing;
    EXPECT_FALSE(OpenForInput(missing, PathOf("nobody.txt")));
    EXPECT_FALSE(missing.open);
    EXPECT_EQ(missing.problem, "");  // a new player, not a fault
    EXPECT_EQ(ReadLine(missing, numbers, 3), -1);
}

TEST_F(TextFileTest, LineCountRules) {
    EXPECT_EQ(LinesOf(""), 0);
    EXPECT_EQ(LinesOf("1,2\r\n3,4\r\n"), 2);
    EXPECT_EQ(LinesOf("1,2\r\n3,4"), 2);       // a last line without its end still counts
    EXPECT_EQ(LinesOf("1,2\r3,4\r"), 2);       // CR alone ends a line
    EXPECT_EQ(LinesOf("1,2\n3,4\n"), 2);       // so does LF alone
    EXPECT_EQ(LinesOf("1,2\r\n\r\n"), 2);      // an empty line is a line
    EXPECT_EQ(LinesOf("1,2\r\n\x1a \r\n\x1a\n"), 1);  // Ctrl-Z with only blanks after it ends the file
    EXPECT_EQ(LinesOf("\x1a"), 0);
    EXPECT_EQ(LinesOf("1,2\x1a"), 1);                 // and ends a line that has characters
    EXPECT_EQ(LinesOf("1,2\r\n\x1a\r\n3,4\r\n"), 2);  // one followed by a line hides nothing
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

    Write("dos.txt", "1,2\r\n\x1a");  // closed with Ctrl-Z: the file is only ever added to
    ASSERT_TRUE(AppendLine(PathOf("dos.txt"), line));
    EXPECT_EQ(Read("dos.txt"), "1,2\r\n\x1a\r\n3,12,-1\r\n");

    EXPECT_FALSE(AppendLine(PathOf("no-such-folder/p.txt"), line));
    EXPECT_FALSE(AppendLine(scratch_.path().string(), line));
}

// A FIFO named like the player file would stall an ordinary open until some
// other program opened its other end.
TEST_F(TextFileTest, OnlyRegularFilesOpenAndNoneWaits) {
    ASSERT_EQ(::mkfifo(PathOf("fifo.txt").c_str(), 0644), 0);
    ::alarm(30);  // should an open wait after all, the test program ends instead of hanging
    TextFile file;
    EXPECT_FALSE(OpenForInput(file, PathOf("fifo.txt")));
    EXPECT_EQ(file.problem, "not a regular file");
    std::string why_not;
    EXPECT_FALSE(AppendLine(nullptr, PathOf("fifo.txt"), "1\r\n", why_not));
    EXPECT_EQ(why_not, "not a regular file");
    ::alarm(0);

    // A link the player made on purpose, to a file kept elsewhere, is followed.
    Write("kept.txt", "1,2\r\n");
    std::filesystem::create_symlink(PathOf("kept.txt"), PathOf("link.txt"));
    ASSERT_TRUE(AppendLine(PathOf("link.txt"), "3,4\r\n"));
    EXPECT_EQ(Read("kept.txt"), "1,2\r\n3,4\r\n");
}

}  // namespace
