#include "records/report.h"

#include "core/rounding.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr platform::Color kYellow = platform::Rgb(255, 255, 80);
constexpr platform::Color kLilac = platform::Rgb(160, 160, 255);
constexpr const char* kStars = "  *** ***  *********  ********  ***  ***  ***  ******";

// Kind, duration, expected keystrokes, year, month, day, hour, minute, second, status.
PlayerRecord Record(int kind, int seconds, int keys, int year, int month, int day, int hour, int minute,
                    int second, int status) {
    PlayerRecord record{};
    const int fields[] = {kind, seconds, keys, keys, year, month, day, hour, minute, second, status};
    for (int field = 1; field <= 11; ++field) record[field] = static_cast<std::int16_t>(fields[field - 1]);
    return record;
}

class ReportTest : public test_support::PassCanvasTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(PassCanvasTest::SetUp());
        game_->settings.PlayerName = "ACE1";
        game_->history.PlayerHistory.assign(1, PlayerRecord{});
    }

    void Add(const PlayerRecord& record) {
        game_->history.PlayerHistory.push_back(record);
        game_->history.NumRecords = static_cast<std::int32_t>(game_->history.PlayerHistory.size()) - 1;
    }

    // The sixteen kind rows of one drawing, in order: the texts printed at the row indent.
    std::vector<platform::PrintedText> Draw() {
        platform::ClearPrintedTexts(*platform_);
        records::DrawPerformanceReport(*game_);
        std::vector<platform::PrintedText> rows;
        for (const auto& printed : platform::PrintedTexts(*platform_)) {
            if (printed.x == kRowX) rows.push_back(printed);
        }
        return rows;
    }

    // At 1920 x 1080: 960 - round(0.5 x 905 = 452.5) = 508; lines 22 units apart.
    static constexpr float kRowX = 508;
};

TEST_F(ReportTest, LayoutTitleHeaderAndGroupsAtTheirLines) {
    records::DrawPerformanceReport(*game_);
    const auto& texts = platform::PrintedTexts(*platform_);
    ASSERT_EQ(texts.size(), 2u + 4u + 16u);

    EXPECT_EQ(texts[0].text, "ACE1 PERFORMANCE");
    EXPECT_FLOAT_EQ(texts[0].x, 960 - 472);  // 0.5 x 945 = 472.5 rounds to 472
    EXPECT_FLOAT_EQ(texts[0].y, 540 - 22);
    EXPECT_EQ(texts[0].font_face, "COURIER NEW");
    EXPECT_EQ(texts[0].font_points, 8);      // 0.7 x 12 = 8.4
    EXPECT_EQ(texts[1].text, "  ETUDE DEG  SEC  KS    DATE       TIME    WON LOST  INC   %WON");
    EXPECT_FLOAT_EQ(texts[1].x, 960 - 480);
    EXPECT_FLOAT_EQ(texts[1].y, 540 - 44);

    const char* groups[] = {"Pitch", "Yaw", "Roll", "PYR"};
    for (int group = 0; group < 4; ++group) {
        const auto& name = texts[2 + group * 5];
        EXPECT_EQ(name.text, groups[group]);
        EXPECT_FLOAT_EQ(name.x, 960 - 472);
        EXPECT_FLOAT_EQ(name.y, 540 - 22 * (3 + group * 5));
        for (int step = 1; step <= 4; ++step) {
            EXPECT_FLOAT_EQ(texts[2 + group * 5 + step].y, 540 - 22 * (3 + group * 5 + step));
        }
    }
}

// Where a row at the written size would pass the right edge and wrap on at the
// left edge, the table takes the largest size at which nothing leaves its column.
TEST_F(ReportTest, OnANarrowWindowTheTableShrinksAndStaysInItsColumn) {
    struct Size {
        int width, height, written_points;
    };
    for (const Size size : {Size{1280, 720, 7}, Size{1024, 768, 7}}) {
        ASSERT_NO_FATAL_FAILURE(OpenCanvas(size.width, size.height));
        game_->settings.PlayerName = "ACE1";
        Add(Record(2, 35, 6, 2026, 12, 7, 14, 5, 33, 1));
        ASSERT_EQ(RoundToInt32(game_->screen.TextScale * 12.0), size.written_points);
        records::DrawPerformanceReport(*game_);
        const Screen& screen = game_->screen;
        const auto& texts = platform::PrintedTexts(*platform_);
        ASSERT_EQ(texts.size(), 22u);
        EXPECT_LT(texts[0].font_points, size.written_points) << size.width;
        EXPECT_GT(texts[0].font_points, 2) << size.width;
        // No pixel of the table left of its leftmost line, the header.
        const float header_x = static_cast<float>(screen.HalfWidth - RoundToInt32(screen.WindowScale * 960.0));
        int lit = 0;
        for (int row = 0; row < size.height; ++row) {
            for (int column = 0; column < size.width; ++column) {
                if (platform::DevicePixelAt(*platform_, column, row) == 0) continue;
                ASSERT_GE(column - size.width / 2.0f, header_x - 1) << size.width << " pixel " << column << "," << row;
                ++lit;
            }
        }
        EXPECT_GT(lit, 1000) << size.width;
    }
}

TEST_F(ReportTest, NoRecordsGivesSixteenRowsOfStars) {
    auto rows = Draw();
    ASSERT_EQ(rows.size(), 16u);
    const char* steps[] = {"  45", "  90", " 135", " any"};
    for (int kind = 1; kind <= 16; ++kind) {
        char kind_text[8];
        std::snprintf(kind_text, sizeof kind_text, "%3d", kind);
        EXPECT_EQ(rows[kind - 1].text, std::string(kind_text) + steps[(kind - 1) % 4] + kStars);
        EXPECT_EQ(rows[kind - 1].text.size(), 60u);
    }
}

TEST_F(ReportTest, ExampleRowOfKindTwo) {
    Add(Record(2, 50, 4, 2026, 11, 30, 9, 0, 0, 1));
    Add(Record(2, 35, 6, 2026, 12, 7, 14, 5, 33, 1));
    Add(Record(7, 20, 3, 2026, 12, 7, 15, 0, 0, 1));  // another kind in between
    Add(Record(2, 61, 8, 2026, 12, 8, 10, 0, 0, 0));
    Add(Record(2, 40, 5, 2026, 12, 8, 11, 0, 0, 1));
    Add(Record(7, 90, 0, 2026, 12, 8, 12, 0, 0, -1));  // incomplete: neither won nor lost, but counted
    auto rows = Draw();
    ASSERT_EQ(rows.size(), 16u);
    EXPECT_EQ(rows[1].text, "  2  90   35   6   7Dec2026  14:05:33    3    1    0   75.00");
    EXPECT_EQ(rows[1].text.size(), 60u);
    EXPECT_EQ(rows[6].text, "  7 135   20   3   7Dec2026  15:00:00    1    0    1   50.00");
}

TEST_F(ReportTest, WonShareOfTwoWinsAndOneLoss) {
    Add(Record(6, 30, 4, 2027, 3, 5, 7, 4, 9, 1));
    Add(Record(6, 31, 4, 2027, 3, 5, 7, 5, 0, 0));
    Add(Record(6, 32, 4, 2027, 3, 5, 7, 6, 0, 1));
    Add(Record(6, 33, 4, 2027, 3, 5, 7, 7, 0, 5));  // a status the table does not know counts nowhere
    auto rows = Draw();
    EXPECT_EQ(rows[5].text, "  6  90   30   4   5Mar2027  07:04:09    2    1    0   66.67");
}

TEST_F(ReportTest, ReachOneShowsOnlyTheNewestEtudeOfEachKind) {
    Add(Record(3, 30, 4, 2026, 1, 1, 0, 0, 0, 1));
    Add(Record(3, 40, 4, 2026, 1, 2, 0, 0, 0, 0));
    Add(Record(4, 30, 4, 2026, 1, 3, 0, 0, 0, 0));
    Add(Record(4, 45, 4, 2026, 1, 4, 0, 0, 0, 1));
    game_->settings.PastPerformanceReach = 1;
    auto rows = Draw();
    EXPECT_EQ(rows[2].text, std::string("  3 135") + kStars);
    EXPECT_EQ(rows[3].text, "  4 any   45   4   4Jan2026  00:00:00    1    0    0  100.00");

    game_->settings.PastPerformanceReach = 2;
    rows = Draw();
    EXPECT_EQ(rows[2].text, "  3 135   30   4   1Jan2026  00:00:00    1    1    0   50.00");
}

TEST_F(ReportTest, NewerOfTwoEqualWinsAndNeverAWinOf9999Seconds) {
    Add(Record(5, 30, 4, 2026, 1, 1, 0, 0, 0, 1));
    Add(Record(5, 30, 4, 2026, 2, 1, 0, 0, 0, 1));
    Add(Record(8, 9999, 4, 2026, 1, 1, 0, 0, 0, 1));
    Add(Record(8, 12000, 4, 2026, 1, 1, 0, 0, 0, 1));
    auto rows = Draw();
    EXPECT_EQ(rows[4].text, "  5  45   30   4   1Feb2026  00:00:00    2    0    0  100.00");
    EXPECT_EQ(rows[7].text, std::string("  8 any") + kStars);
}

TEST_F(ReportTest, ChosenKindsRowInLilacEverythingElseYellow) {
    // The last kind of a group: the next group's name is yellow again.
    Add(Record(12, 30, 4, 2026, 1, 1, 0, 0, 0, 1));
    game_->settings.EtudeNumber = 12;
    records::DrawPerformanceReport(*game_);
    int lilac = 0;
    for (const auto& printed : platform::PrintedTexts(*platform_)) {
        if (printed.x == kRowX && printed.text.rfind(" 12", 0) == 0) {
            EXPECT_EQ(printed.color, kLilac);
            ++lilac;
        } else {
            EXPECT_EQ(printed.color, kYellow) << printed.text;
        }
    }
    EXPECT_EQ(lilac, 1);
}

}  // namespace
