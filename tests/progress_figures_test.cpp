// The figures of the PROGRESS page on small hand-made histories whose answers
// are worked out by hand: speed, share won, mean excess, the reach, days
// practised, runs of days across month and year ends, the rolling median.
// Then the page itself: every text inside the window from the smallest to the
// largest screen, the sentence for a player without records, and its keys.

#include "app/menu.h"
#include "progress/figures.h"
#include "progress/progress_page.h"
#include "test_support.h"
#include "tools/plausible_history.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace {

struct Line {
    int kind, seconds, expected, observed, year, month, day, status;
};

History MakeHistory(std::initializer_list<Line> lines) {
    History history;
    history.PlayerHistory.assign(1, PlayerRecord{});
    for (const Line& line : lines) {
        PlayerRecord record{};
        record[1] = static_cast<std::int16_t>(line.kind);
        record[2] = static_cast<std::int16_t>(line.seconds);
        record[3] = static_cast<std::int16_t>(line.expected);
        record[4] = static_cast<std::int16_t>(line.observed);
        record[5] = static_cast<std::int16_t>(line.year);
        record[6] = static_cast<std::int16_t>(line.month);
        record[7] = static_cast<std::int16_t>(line.day);
        record[11] = static_cast<std::int16_t>(line.status);
        history.PlayerHistory.push_back(record);
    }
    history.NumRecords = static_cast<std::int32_t>(lines.size());
    return history;
}

TEST(ProgressFiguresTest, SpeedShareAndExcessOverTheReachOfOneKind) {
    History history = MakeHistory({
        {11, 60, 6, 6, 2026, 12, 1, 1},   // won: 270 degrees in 60 s
        {3, 10, 12, 12, 2026, 12, 1, 1},  // another kind, never counted for 11
        {11, 30, 6, 6, 2026, 12, 2, 1},   // won: 270 degrees in 30 s
        {11, 50, 6, 9, 2026, 12, 2, 0},   // lost by 3
        {11, 20, 0, 0, 2026, 12, 3, -1},  // left after some walls
    });
    progress::KindFigures all = progress::FiguresOfKind(history, 11, 10);
    EXPECT_EQ(all.etudes, 4);
    EXPECT_EQ(all.won, 2);
    EXPECT_EQ(all.completed, 3);
    EXPECT_DOUBLE_EQ(all.share_won, 50.0);
    EXPECT_DOUBLE_EQ(all.speed, 540.0 / 90.0);
    EXPECT_DOUBLE_EQ(all.mean_excess, 1.0);
    // Reach 3: the oldest win drops out, newest first as the table counts.
    progress::KindFigures recent = progress::FiguresOfKind(history, 11, 3);
    EXPECT_EQ(recent.etudes, 3);
    EXPECT_DOUBLE_EQ(recent.speed, 9.0);
    EXPECT_DOUBLE_EQ(recent.mean_excess, 1.5);
    EXPECT_NEAR(recent.share_won, 100.0 / 3.0, 1e-12);
    // The one-pass table agrees with the kind-by-kind figures.
    progress::KindTable table;
    progress::FiguresOfAllKinds(history, 3, table);
    EXPECT_DOUBLE_EQ(table[11].speed, recent.speed);
    EXPECT_EQ(table[3].won, 1);
    EXPECT_DOUBLE_EQ(table[3].speed, 54.0);
    EXPECT_FALSE(table[12].has_speed);
    EXPECT_EQ(progress::KindName(11), "Roll 135");
}

TEST(ProgressFiguresTest, DaysRunsAcrossMonthAndYearEndsAndLastWeek) {
    History history = MakeHistory({
        {1, 60, 6, 6, 2025, 12, 30, 1},
        {1, 30, 6, 6, 2025, 12, 31, 1},  // 9 degrees per second: the best win
        {1, 60, 6, 6, 2026, 1, 1, 1},
        {1, 60, 6, 7, 2026, 1, 1, 0},
        {1, 99, 0, 0, 2026, 1, 2, -1},
    });
    progress::Totals totals = progress::TotalsOf(history, progress::DayNumberOf(2026, 1, 3));
    EXPECT_EQ(totals.completed, 4);
    EXPECT_EQ(totals.left, 1);
    EXPECT_EQ(totals.days_practised, 4);
    EXPECT_EQ(totals.current_run, 4);  // still going the day after the last
    EXPECT_EQ(totals.practice_seconds, 309);
    EXPECT_DOUBLE_EQ(totals.best_speed, 9.0);
    EXPECT_EQ(totals.best_record, 2);
    // The week of 28 Dec .. 3 Jan holds every record; its speed is over the wins only.
    EXPECT_EQ(totals.last_week_etudes, 5);
    EXPECT_DOUBLE_EQ(totals.last_week_speed, 810.0 / 150.0);
    EXPECT_EQ(progress::TotalsOf(history, progress::DayNumberOf(2026, 1, 4)).current_run, 0);
    EXPECT_EQ(progress::DayNumberOf(2028, 3, 1) - progress::DayNumberOf(2028, 2, 28), 2);
    EXPECT_EQ(progress::DayNumberOf(2026, 2, 29), -1);
}

TEST(ProgressFiguresTest, RollingMedianOfTheLastTenWinsPerAxisGroup) {
    History history;
    history.PlayerHistory.assign(1, PlayerRecord{});
    // Roll wins of 6, 12, ..., 72 seconds (1..12 s a wall), a Roll loss and a Pitch win between them.
    for (int n = 1; n <= 12; ++n) {
        PlayerRecord win{};
        win[1] = 10;
        win[2] = static_cast<std::int16_t>(6 * n);
        win[11] = 1;
        history.PlayerHistory.push_back(win);
        if (n == 2) {
            PlayerRecord other = win;
            other[11] = 0;
            other[2] = 600;
            history.PlayerHistory.push_back(other);
            other[1] = 1;
            other[11] = 1;
            history.PlayerHistory.push_back(other);
        }
    }
    history.NumRecords = static_cast<std::int32_t>(history.PlayerHistory.size()) - 1;
    progress::LearningCurve curve;
    progress::LearningCurveOf(history, 3, curve);
    ASSERT_EQ(curve.points.size(), 13u);
    EXPECT_FALSE(curve.points[2].won);
    EXPECT_FLOAT_EQ(curve.points[2].seconds_per_wall, 100.0f);
    ASSERT_EQ(curve.median.size(), 12u);
    EXPECT_FLOAT_EQ(curve.median[1].seconds_per_wall, 1.5f);   // median of 1 and 2
    EXPECT_FLOAT_EQ(curve.median[2].seconds_per_wall, 2.0f);   // the loss is not a win
    EXPECT_EQ(curve.median[2].record, 5);
    EXPECT_FLOAT_EQ(curve.median[11].seconds_per_wall, 7.5f);  // wins 3..12
}

class ProgressPageTest : public test_support::PassCanvasTest {};

TEST_F(ProgressPageTest, EveryTextLiesInsideTheWindowOnTheSmallestAndLargestScreens) {
    for (auto [width, height] : {std::pair{1024, 768}, std::pair{3840, 2160}}) {
        OpenCanvas(width, height);
        tools::MakePlausibleHistory(game_->history, tools::HistoryChoice{});
        game_->settings.PlayerName = "ABCDEFGHIJKLMNOPQRST";  // the longest name
        progress::PageFigures page;
        progress::PreparePage(*game_, progress::DayNumberOf(2026, 12, 7), page);
        platform::ClearPrintedTexts(*platform_);
        progress::DrawProgressPage(*game_, page);
        const auto& texts = platform::PrintedTexts(*platform_);
        ASSERT_GT(texts.size(), 100u);
        const Screen& screen = game_->screen;
        for (const platform::PrintedText& text : texts) {
            platform::SetGameFont(*platform_, text.font_face, text.font_points);
            double right = text.x + platform::GraphicTextWidth(*platform_, text.text);
            double bottom = text.y - platform::GraphicLineHeight(*platform_);
            EXPECT_TRUE(text.x >= -screen.HalfWidth && right <= screen.HalfWidth && text.y <= screen.HalfHeight &&
                        bottom >= -screen.HalfHeight)
                << width << "x" << height << ": \"" << text.text << "\" at " << text.x << ", " << text.y;
        }
    }
}

TEST_F(ProgressPageTest, NoRecordsSaysHowToGetSomeAndTheKeysLeaveAsInPlay) {
    game_->settings.PlayerName = "NEW1";
    game_->history.PlayerHistory.assign(1, PlayerRecord{});
    platform::QueueKeys(*platform_, "x1");
    progress::ShowProgressPage(*game_);
    EXPECT_FALSE(game_->flow.Quit);
    bool told = false;
    for (const platform::PrintedText& text : platform::PrintedTexts(*platform_))
        told = told || text.text.find("Choose 98 PLAY") != std::string::npos;
    EXPECT_TRUE(told);
    platform::QueueKeys(*platform_, "\x1b");
    EXPECT_TRUE(app::ApplyMenuChoice(*game_, 60));
    EXPECT_TRUE(game_->flow.Quit);
}

}  // namespace
