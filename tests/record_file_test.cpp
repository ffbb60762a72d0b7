#include "records/record_file.h"

#include "app/main_flow.h"
#include "app/menu.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "render/view.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// Every test works in a fresh directory of its own, since the player file is
// named relative to the working directory.
class RecordFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        game_ = std::make_unique<GameState>();
        game_->settings.PlayerName = "ACE1";
    }

    static void WriteFile(const std::string& name, const std::string& bytes) {
        std::ofstream out(name, std::ios::binary);
        out << bytes;
    }
    static std::string ReadFile(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // The off-screen platform, its clock standing at 14:05:33 on 7 December 2026.
    void AttachPlatform(double clock = 14 * 3600 + 5 * 60 + 33) {
        platform::OffscreenOptions options;
        options.start_clock = clock;
        options.year = 2026;
        options.month = 12;
        options.day = 7;
        platform_ = platform::CreateOffscreenPlatform(options);
        game_->platform = platform_.get();
    }

    // Six walls of one keystroke expected each, observed as given.
    void SetKeyStrokes(int observed_total) {
        for (int wall = 1; wall <= 6; ++wall) {
            game_->etude.FaceKeyStrokes[wall][0] = 1;
            game_->etude.FaceKeyStrokes[wall][1] = wall == 1 ? static_cast<std::int16_t>(observed_total - 5) : 1;
        }
    }

    test_support::ScratchDirectory scratch_{"gyrovessel-records-"};
    std::unique_ptr<GameState> game_;
    platform::PlatformHandle platform_;
};

constexpr const char* kFile = "player-ace1.txt";

// -- Reading --

TEST_F(RecordFileTest, MissingFileIsAnEmptyHistory) {
    game_->history.NumRecords = 7;
    records::LoadPlayerHistory(*game_);
    EXPECT_EQ(game_->history.NumRecords, 0);
    EXPECT_EQ(game_->history.PlayerHistory.size(), 1u);  // record 0, kept empty
    EXPECT_FALSE(fs::exists(kFile));
}

TEST_F(RecordFileTest, ReadsEveryFieldAndALastLineWithoutLineEnd) {
    WriteFile(kFile, "1,35,6,6,2026,12,7,14,5,33,1\r\n16,120,9,0,2027,1,2,3,4,5,-1");
    records::LoadPlayerHistory(*game_);
    ASSERT_EQ(game_->history.NumRecords, 2);
    ASSERT_EQ(game_->history.PlayerHistory.size(), 3u);
    const int first[] = {1, 35, 6, 6, 2026, 12, 7, 14, 5, 33, 1};
    const int second[] = {16, 120, 9, 0, 2027, 1, 2, 3, 4, 5, -1};
    for (int field = 1; field <= 11; ++field) {
        EXPECT_EQ(game_->history.PlayerHistory[1][field], first[field - 1]) << "field " << field;
        EXPECT_EQ(game_->history.PlayerHistory[2][field], second[field - 1]) << "field " << field;
    }
}

TEST_F(RecordFileTest, CtrlZEndsTheFileOnlyWhenNothingButBlanksFollow) {
    WriteFile(kFile, "1,35,6,6,2026,12,7,14,5,33,1\r\n\x1a \r\n\x1a");
    records::LoadPlayerHistory(*game_);
    EXPECT_EQ(game_->history.NumRecords, 1);
    WriteFile(kFile, "1,35,6,6,2026,12,7,14,5,33,1\r\n\x1a" "2,35,6,6,2026,12,7,14,5,33,1\r\n");
    records::LoadPlayerHistory(*game_);
    ASSERT_EQ(game_->history.NumRecords, 2);
    EXPECT_EQ(game_->history.PlayerHistory[2][1], 2);
}

TEST_F(RecordFileTest, MalformedNumbersReadAsZeroAndValuesFitSixteenBits) {
    WriteFile(kFile, "3,abc,6,6x,2026,12,7,2.5,3.5,70000,-1\r\n");
    records::LoadPlayerHistory(*game_);
    ASSERT_EQ(game_->history.NumRecords, 1);
    const PlayerRecord& record = game_->history.PlayerHistory[1];
    EXPECT_EQ(record[1], 3);
    EXPECT_EQ(record[2], 0);
    EXPECT_EQ(record[3], 6);
    EXPECT_EQ(record[4], 0);
    EXPECT_EQ(record[5], 2026);
    EXPECT_EQ(record[8], 2);      // halves to even
    EXPECT_EQ(record[9], 4);
    EXPECT_EQ(record[10], 32767);
    EXPECT_EQ(record[11], -1);
}

TEST_F(RecordFileTest, FortyThousandLinesLoad) {
    std::ostringstream text;
    for (int line = 1; line <= 40000; ++line) {
        text << (line % 16 + 1) << ',' << line % 30000 << ",6,6,2026,12,7,14,5,33," << (line % 3 - 1) << "\r\n";
    }
    WriteFile(kFile, text.str());
    records::LoadPlayerHistory(*game_);
    ASSERT_EQ(game_->history.NumRecords, 40000);
    const PlayerRecord& last = game_->history.PlayerHistory[40000];
    EXPECT_EQ(last[1], 40000 % 16 + 1);
    EXPECT_EQ(last[2], 40000 % 30000);
    EXPECT_EQ(last[11], 40000 % 3 - 1);
}

// -- Recording --

TEST_F(RecordFileTest, CompletedEtudeAppendsExactlyOneLine) {
    AttachPlatform();
    records::LoadPlayerHistory(*game_);
    game_->etude.EtudeStartTime = 14 * 3600 + 5 * 60 + 33 - 35;
    SetKeyStrokes(6);
    records::RecordCompletedEtude(*game_);
    EXPECT_EQ(ReadFile(kFile), "1,35,6,6,2026,12,7,14,5,33,1\r\n");
    EXPECT_EQ(game_->etude.DateNOW, "12-07-2026");
    EXPECT_EQ(game_->etude.TimeNOW, "14:05:33");
    EXPECT_EQ(game_->history.NumRecords, 1);
    EXPECT_EQ(game_->history.PlayerHistory[1][11], 1);
}

TEST_F(RecordFileTest, FewerOrMoreKeyStrokesThanExpectedAreLost) {
    AttachPlatform();
    records::LoadPlayerHistory(*game_);
    game_->settings.EtudeNumber = 9;
    game_->etude.EtudeStartTime = 50000;
    SetKeyStrokes(5);
    records::RecordCompletedEtude(*game_);
    SetKeyStrokes(8);
    records::RecordCompletedEtude(*game_);
    EXPECT_EQ(ReadFile(kFile),
              "9,733,6,5,2026,12,7,14,5,33,0\r\n"
              "9,733,6,8,2026,12,7,14,5,33,0\r\n");
}

TEST_F(RecordFileTest, AppendAfterALastLineWithoutLineEndStartsANewLine) {
    AttachPlatform();
    WriteFile(kFile, "2,40,6,6,2026,12,6,9,0,0,1");
    records::LoadPlayerHistory(*game_);
    game_->etude.EtudeStartTime = 14 * 3600 + 5 * 60 + 33 - 35;
    SetKeyStrokes(6);
    records::RecordCompletedEtude(*game_);
    EXPECT_EQ(ReadFile(kFile), "2,40,6,6,2026,12,6,9,0,0,1\r\n1,35,6,6,2026,12,7,14,5,33,1\r\n");
    records::LoadPlayerHistory(*game_);
    EXPECT_EQ(game_->history.NumRecords, 2);
}

TEST_F(RecordFileTest, DurationRoundsHalfToEvenWrapsAtMidnightAndCaps) {
    AttachPlatform(112.5);
    records::LoadPlayerHistory(*game_);
    game_->etude.EtudeStartTime = 100;
    SetKeyStrokes(6);
    records::RecordCompletedEtude(*game_);
    EXPECT_FLOAT_EQ(game_->etude.Duration, 12.5f);
    EXPECT_EQ(game_->history.PlayerHistory[1][2], 12);

    platform::SetClock(*platform_, 113.5);
    records::RecordCompletedEtude(*game_);
    EXPECT_EQ(game_->history.PlayerHistory[2][2], 14);

    // Started ten seconds before midnight, finished five seconds after it.
    game_->etude.EtudeStartTime = 86390;
    platform::SetClock(*platform_, 5);
    records::RecordCompletedEtude(*game_);
    EXPECT_FLOAT_EQ(game_->etude.Duration, 15.0f);
    EXPECT_EQ(game_->history.PlayerHistory[3][2], 15);

    game_->etude.EtudeStartTime = 10;
    platform::SetClock(*platform_, 40010);
    records::RecordCompletedEtude(*game_);
    EXPECT_EQ(game_->history.PlayerHistory[4][2], 32767);
}

TEST_F(RecordFileTest, IncompleteEtudeReloadsTheHistoryAndZeroesItsKeyStrokes) {
    AttachPlatform();
    // The file gained a line that the history in memory has not seen.
    WriteFile(kFile, "2,40,6,6,2026,12,6,9,0,0,1\r\n");
    game_->history.NumRecords = 0;
    game_->history.PlayerHistory.assign(1, PlayerRecord{});
    game_->settings.EtudeNumber = 14;
    game_->etude.EtudeStartTime = 14 * 3600 + 5 * 60 + 33 - 20;
    SetKeyStrokes(9);
    records::RecordIncompleteEtude(*game_);

    EXPECT_EQ(ReadFile(kFile), "2,40,6,6,2026,12,6,9,0,0,1\r\n14,20,0,0,2026,12,7,14,5,33,-1\r\n");
    EXPECT_EQ(game_->history.NumRecords, 2);
    EXPECT_EQ(game_->history.PlayerHistory[2][11], -1);
    ASSERT_EQ(platform::CuesPlayed(*platform_).size(), 1u);
    EXPECT_EQ(platform::CuesPlayed(*platform_)[0], "speakincomplete");

    // Only the spoken echo modes say so.
    for (std::int16_t mode : {0, 3}) {
        game_->settings.EchoMode = mode;
        records::RecordIncompleteEtude(*game_);
    }
    EXPECT_EQ(platform::CuesPlayed(*platform_).size(), 1u);
    EXPECT_EQ(game_->history.NumRecords, 4);
}

// Whatever the file held before, the lines before read as they did and the
// record the game appends reads back exactly.
TEST_F(RecordFileTest, AnAppendedRecordReadsBackWhateverTheFileHeld) {
    AttachPlatform();
    const std::string kept = "2,40,6,6,2026,12,6,9,0,0,1\r\n";
    const std::string cases[] = {
        kept + "1,35,6",                              // a line cut off by a crash
        kept + "2,40,6,6,2026,12,6,9,0,0,1,77\r\n",  // twelve fields
        kept + "\r\n" + kept,                         // a blank line
        kept + "\x1a\r\n",                            // closed with Ctrl-Z: mid-file once appended to
        kept + "\x1a\r\n" + kept + "\x1a",            // Ctrl-Z mid-file, and at the end without a line end
        kept + "1,2\x1a  ",                           // Ctrl-Z ending a short line, blanks after it
    };
    auto same = [](const PlayerRecord& a, const PlayerRecord& b) {
        for (int field = 1; field <= FieldsPerRecord; ++field) {
            if (a[field] != b[field]) return false;
        }
        return true;
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(::testing::PrintToString(bytes));
        WriteFile(kFile, bytes);
        records::LoadPlayerHistory(*game_);
        const History before = game_->history;
        game_->etude.EtudeStartTime = 14 * 3600 + 5 * 60 + 33 - 35;
        SetKeyStrokes(6);
        records::RecordCompletedEtude(*game_);
        const PlayerRecord appended = game_->history.PlayerHistory.back();

        records::LoadPlayerHistory(*game_);
        ASSERT_EQ(game_->history.NumRecords, before.NumRecords + 1);
        for (std::size_t i = 1; i < before.PlayerHistory.size(); ++i) {
            EXPECT_TRUE(same(game_->history.PlayerHistory[i], before.PlayerHistory[i])) << "record " << i;
        }
        EXPECT_TRUE(same(game_->history.PlayerHistory.back(), appended));
    }
}

// A disk that fills up in the middle of the line: the file keeps not one byte
// of it, and the window (here the next menu) says the etude was not kept.
TEST_F(RecordFileTest, AShortWriteLeavesTheFileAsItWasAndTheWindowSaysSo) {
    AttachPlatform();
    const std::string before = "2,40,6,6,2026,12,6,9,0,0,1";  // the append would end this line first
    WriteFile(kFile, before);
    records::LoadPlayerHistory(*game_);
    platform::FailWritesAfter(*platform_, 14);
    SetKeyStrokes(6);
    records::RecordCompletedEtude(*game_);
    EXPECT_EQ(ReadFile(kFile), before);

    platform::FailWritesAfter(*platform_, 0);
    fs::remove(kFile);
    records::RecordCompletedEtude(*game_);
    EXPECT_FALSE(fs::exists(kFile));  // a file made for the record goes again

    render::ComputeScreenMetricsFor(game_->screen, 960, 540);
    ASSERT_TRUE(app::OpenPassWindow(*game_));
    platform::QueueKeys(*platform_, "99\r");
    app::ShowMainMenu(*game_);
    const std::string message = " Etude not recorded: player-ace1.txt - disk full";
    const auto& texts = platform::PrintedTexts(*platform_);
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const auto& t) { return t.text == message; }));
}

// A kill can stop an append between two pages of the file; its marker says so
// at the next open, and the fragment goes rather than reading as an etude.
// A marker that is not one changes nothing.
TEST_F(RecordFileTest, AnAppendCutOffByAKillIsTakenBackAtTheNextOpen) {
    AttachPlatform();
    const std::string kept = "2,40,6,6,2026,12,6,9,0,0,1\r\n";
    WriteFile(kFile, kept + "8,4");
    WriteFile(std::string(kFile) + ".pending", std::to_string(kept.size()) + "\n8,45,6,6,2026,12,7,14,5,33,1\r\n");
    records::LoadPlayerHistory(*game_);
    EXPECT_EQ(game_->history.NumRecords, 1);
    game_->etude.EtudeStartTime = 14 * 3600 + 5 * 60 + 33 - 35;
    SetKeyStrokes(6);
    records::RecordCompletedEtude(*game_);
    EXPECT_EQ(ReadFile(kFile), kept + "1,35,6,6,2026,12,7,14,5,33,1\r\n");
    EXPECT_FALSE(fs::exists(std::string(kFile) + ".pending"));

    const std::string held = ReadFile(kFile) + "1,35,6";  // the player's own cut-off line
    WriteFile(kFile, held);
    for (const std::string garbage : {"0\n", "0\nxyz", "-5\n1,35,6", "5x\n1,35,6", "9999\n1,35,6"}) {
        WriteFile(std::string(kFile) + ".pending", garbage);
        records::LoadPlayerHistory(*game_);
        EXPECT_EQ(ReadFile(kFile), held) << garbage;
        EXPECT_EQ(game_->history.NumRecords, 3);
    }
}

TEST_F(RecordFileTest, AFileThatCannotBeWrittenLosesTheRecordAndSaysSo) {
    AttachPlatform();
    fs::create_directory(kFile);  // a directory where the player file should be
    records::LoadPlayerHistory(*game_);
    SetKeyStrokes(6);
    records::RecordCompletedEtude(*game_);
    EXPECT_TRUE(fs::is_directory(kFile));
    EXPECT_NE(platform::ConsoleOutput(*platform_).find("not recorded"), std::string::npos);
}

}  // namespace
