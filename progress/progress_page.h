#pragma once
// The PROGRESS page, menu choice 60: the learning curves of the four axis
// groups on one shared scale, the rotation speed of every etude kind coloured
// from slow to fast, and the player's totals. Everything it shows is worked
// out from PlayerHistory in memory once, when the page opens (PreparePage);
// drawing it (DrawProgressPage) then only walks the prepared marks and texts,
// so the page appears at once even for a history of 100,000 etudes.

#include "app/game_state.h"
#include "app/indexed.h"
#include "platform/platform.h"
#include "progress/figures.h"

#include <cstdint>
#include <string>
#include <vector>

namespace progress {

// The marks of one learning curve in the window's user coordinates, at most
// one mark of a kind per marker-sized cell: denser histories only overdraw.
struct CurveMarks {
    std::vector<platform::PointF> won;     // centres of the won etudes' discs
    std::vector<platform::PointF> lost;    // centres of the lost etudes' diamonds
    std::vector<platform::PointF> median;  // the rolling median, one corner per pixel column
};

// Where everything goes, in pixels from the window's top-left corner (y down).
struct PageLayout {
    int width = 0, height = 0;        // the window
    int margin = 0;
    int title_points = 0, body_points = 0, small_points = 0;  // TextScale x 18, 15 and 12
    double title_line = 0, body_line = 0, small_line = 0;     // their line heights
    double content_top = 0, footer_top = 0;
    // Learning curves: the four plots share x and y scales.
    double label_left = 0, plot_left = 0, plot_right = 0;
    Indexed<double, 1, kNumAxisGroups> plot_top{};
    double plot_height = 0;
    double marker_radius = 0;
    // Rotation speed: a 4 x 4 grid of tiles, axis groups down, steps across.
    double panel_left = 0, panel_right = 0;
    double tiles_left = 0, tiles_top = 0, tile_width = 0, tile_height = 0, tile_gap = 0;
    double legend_top = 0, totals_top = 0;
};

// What the page shows, prepared for one window size when the page opens.
struct PageFigures {
    PageLayout layout;
    int chosen_kind = 1;              // EtudeNumber when the page opened
    int reach = 10;                   // PastPerformanceReach
    std::int32_t records = 0;         // NumRecords
    std::string player;               // PlayerName
    KindTable kinds{};
    bool any_speed = false;           // some kind has a win to measure
    double slowest = 0, fastest = 0;  // the range of the kinds' speeds
    int slowest_kind = 0;
    Indexed<LearningCurve, 1, kNumAxisGroups> curves{};
    Indexed<CurveMarks, 1, kNumAxisGroups> marks{};
    float seconds_top = 1;            // the curves' common scale: 0 .. seconds_top per wall
    std::string first_date, last_date;  // "7 Dec 2026" of the first and last record
    std::vector<double> period_starts;  // page x of the first etude of every week, month or year after the first
    std::string period_name;            // "week", "month" or "year": the finest that leaves room between lines
    Totals totals;
};

// today: DayNumberOf the date the page is shown for (runs of days, last week).
// The window must be open: the layout measures the game's fonts.
void PreparePage(GameState& game, std::int32_t today, PageFigures& page);
void DrawProgressPage(GameState& game, const PageFigures& page);

// Choice 60 of the menu: draws the page and waits. Enter or "1" goes back to
// the menu; Esc or closing the window ends the program (flow.Quit), as in play.
void ShowProgressPage(GameState& game);

}  // namespace progress
