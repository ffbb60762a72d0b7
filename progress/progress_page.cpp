#include "progress/progress_page.h"

#include "core/rounding.h"
#include "platform/platform.h"
#include "platform/text_forms.h"
#include "progress/page_style.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace progress {

namespace {

// -- Layout --

double MeasureLine(platform::Platform& platform, std::string_view face, int points) {
    platform::SetGameFont(platform, std::string(face), points);
    return platform::GraphicLineHeight(platform);
}

double MeasureWidth(platform::Platform& platform, std::string_view face, int points, std::string_view text) {
    platform::SetGameFont(platform, std::string(face), points);
    return platform::GraphicTextWidth(platform, text);
}

// Every size is designed for a 3840 x 2160 screen and multiplied by the game's
// WindowScale (figures) or TextScale (fonts), as everywhere in the game.
PageLayout LayOut(GameState& game) {
    platform::Platform& platform = *game.platform;
    const Screen& screen = game.screen;
    const double scale = screen.WindowScale;
    PageLayout layout;
    layout.width = 2 * screen.HalfWidth;
    layout.height = 2 * screen.HalfHeight;
    layout.margin = std::max(8, RoundToInt32(scale * 72.0));
    layout.title_points = RoundToInt32(screen.TextScale * 18.0);
    layout.body_points = RoundToInt32(screen.TextScale * 15.0);
    layout.small_points = RoundToInt32(screen.TextScale * 12.0);
    layout.title_line = MeasureLine(platform, kTitleFace, layout.title_points);
    layout.body_line = MeasureLine(platform, kBodyFace, layout.body_points);
    layout.small_line = MeasureLine(platform, kSmallFace, layout.small_points);

    const double margin = layout.margin;
    layout.content_top = margin + layout.title_line * 1.9;
    layout.footer_top = layout.height - margin - layout.body_line;
    const double content_bottom = layout.footer_top - layout.body_line * 0.8;
    const double split = std::round(layout.width * 0.55);

    // Learning curves on the left: group names, then the scale's numbers, then the plots.
    layout.label_left = margin;
    double label_width = MeasureWidth(platform, kBodyFace, layout.body_points, "Pitch ");
    label_width = std::max(label_width, MeasureWidth(platform, kSmallFace, layout.small_points, "9999 done "));
    double tick_width = MeasureWidth(platform, kSmallFace, layout.small_points, "99.9 s ");
    layout.plot_left = std::round(margin + label_width + tick_width);
    layout.plot_right = std::round(split - margin);
    double plots_top = layout.content_top + layout.body_line * 1.5 + layout.small_line * 1.8;
    double plots_bottom = content_bottom - layout.small_line * 1.6;
    double gap = std::round(layout.small_line * 0.9);
    layout.plot_height = std::floor((plots_bottom - plots_top - 3 * gap) / kNumAxisGroups);
    for (int group = 1; group <= kNumAxisGroups; ++group)
        layout.plot_top[group] = std::round(plots_top + (group - 1) * (layout.plot_height + gap));
    layout.marker_radius = std::max(2.5, scale * 6.0);

    // Rotation speed and totals on the right.
    layout.panel_left = split + margin;
    layout.panel_right = layout.width - margin;
    double row_label = MeasureWidth(platform, kBodyFace, layout.body_points, "Pitch ");
    layout.tile_gap = std::max(3.0, std::round(scale * 14.0));
    layout.tiles_left = std::round(layout.panel_left + row_label + layout.tile_gap);
    layout.tiles_top = std::round(layout.content_top + layout.body_line * 1.5 + layout.small_line * 2.9);
    layout.tile_width = std::floor((layout.panel_right - layout.tiles_left - 3 * layout.tile_gap) / 4);
    double natural = layout.small_line * 2.6 + layout.title_line * 1.3;
    double roomy = (content_bottom - layout.tiles_top) * 0.5 / 4 - layout.tile_gap;
    layout.tile_height = std::floor(std::max(natural, std::min(roomy, natural * 1.6)));
    layout.legend_top = layout.tiles_top + 4 * layout.tile_height + 3 * layout.tile_gap + layout.small_line * 0.8;
    layout.totals_top = layout.legend_top + layout.small_line * 3.2;
    return layout;
}

// -- Learning-curve marks --

// The common top of the four plots: a round number of seconds per wall just
// above nearly every etude, so one slow etude does not flatten every curve.
float SecondsTop(const PageFigures& page) {
    std::vector<float> seconds;
    for (int group = 1; group <= kNumAxisGroups; ++group)
        for (const CurvePoint& point : page.curves[group].points) seconds.push_back(point.seconds_per_wall);
    if (seconds.empty()) return 10;
    auto high = seconds.begin() + static_cast<std::ptrdiff_t>((seconds.size() - 1) * 97 / 100);
    std::nth_element(seconds.begin(), high, seconds.end());
    static constexpr float kRoundTops[] = {2, 4, 6, 8, 10, 12, 16, 20, 24, 30, 40, 50, 60, 80, 100, 120, 160, 200,
                                           300, 400, 600, 1000, 2000, 6000};
    for (float top : kRoundTops)
        if (*high <= top) return top;
    return 6000;
}

struct PlotMapping {
    double left, width, top, height;
    double first, span;   // records first .. first + span across the width
    double seconds_top;

    double X(std::int32_t record) const { return left + (record - first) / span * width; }
    double Y(float seconds) const { return top + height - std::min<double>(seconds, seconds_top) / seconds_top * height; }
};

// Keeps a mark only when no mark of its kind holds its cell yet.
struct CellSieve {
    int columns = 0, rows = 0;
    double cell = 1, left = 0, top = 0;
    std::vector<bool> taken;

    CellSieve(const PlotMapping& map, double cell_size)
        : columns(static_cast<int>(map.width / cell_size) + 2),
          rows(static_cast<int>(map.height / cell_size) + 2),
          cell(cell_size), left(map.left), top(map.top),
          taken(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), false) {}

    bool Take(double x, double y) {
        int column = std::clamp(static_cast<int>((x - left) / cell), 0, columns - 1);
        int row = std::clamp(static_cast<int>((y - top) / cell), 0, rows - 1);
        std::size_t at = static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(column);
        if (taken[at]) return false;
        taken[at] = true;
        return true;
    }
};

void BuildMarks(const GameState& game, PageFigures& page) {
    const PageLayout& layout = page.layout;
    const Screen& screen = game.screen;
    auto user = [&](double x, double y) {
        return platform::PointF{static_cast<float>(x - screen.HalfWidth), static_cast<float>(screen.HalfHeight - y)};
    };
    for (int group = 1; group <= kNumAxisGroups; ++group) {
        PlotMapping map{layout.plot_left, layout.plot_right - layout.plot_left, layout.plot_top[group],
                        layout.plot_height, 1.0, std::max(1.0, page.records - 1.0), page.seconds_top};
        CurveMarks& marks = page.marks[group];
        marks = CurveMarks{};
        // A cell the size of a mark: sparse marks keep their places, dense
        // ones thin out to an even cloud instead of overdrawing each other.
        const double cell = std::max(2.0, layout.marker_radius * 2.0);
        CellSieve won_cells(map, cell);
        CellSieve lost_cells(map, cell);
        for (const CurvePoint& point : page.curves[group].points) {
            double x = map.X(point.record), y = map.Y(point.seconds_per_wall);
            if (point.won ? won_cells.Take(x, y) : lost_cells.Take(x, y))
                (point.won ? marks.won : marks.lost).push_back(user(x, y));
        }
        // One corner every few pixels, at the mean of the medians that fall
        // there: a line of thousands of wins stays a line, not a scribble.
        const double step = std::max(2.0, std::round(game.screen.WindowScale * 4.0));
        int column = -1;
        double sum_x = 0, sum_y = 0;
        int count = 0;
        auto flush = [&] {
            if (count > 0) marks.median.push_back(user(sum_x / count, sum_y / count));
            sum_x = sum_y = 0;
            count = 0;
        };
        for (const MedianPoint& point : page.curves[group].median) {
            double x = map.X(point.record), y = map.Y(point.seconds_per_wall);
            auto point_column = static_cast<int>(std::floor(x / step));
            if (point_column != column) flush();
            column = point_column;
            sum_x += x;
            sum_y += y;
            ++count;
        }
        flush();
    }
}

// Thin lines where a new week (from Monday), month or year of practice begins,
// the finest of the three that keeps the lines apart, so progress over weeks
// can be read off the curves.
void FindPeriodStarts(const History& history, PageFigures& page) {
    const PageLayout& layout = page.layout;
    const double width = layout.plot_right - layout.plot_left;
    const int most_lines = std::max(1, static_cast<int>(width / (layout.small_line * 2.5)));
    const std::int32_t a_monday = DayNumberOf(2026, 12, 7);
    static constexpr std::string_view kPeriods[3] = {"week", "month", "year"};
    for (int period = 0; period < 3; ++period) {
        page.period_starts.clear();
        page.period_name = kPeriods[period];
        long long last_key = 0;
        bool first = true;
        for (std::int32_t i = 1; i <= page.records; ++i) {
            const PlayerRecord& record = history.PlayerHistory[static_cast<std::size_t>(i)];
            std::int32_t day = DayNumberOfRecord(record);
            if (day < 0) continue;
            long long key = period == 0   ? (static_cast<long long>(day) - a_monday + 7000000) / 7
                            : period == 1 ? record[5] * 12LL + record[6]
                                          : record[5];
            if (!first && key != last_key)
                page.period_starts.push_back(layout.plot_left + (i - 1.5) / std::max(1.0, page.records - 1.0) * width);
            first = false;
            last_key = key;
            if (static_cast<int>(page.period_starts.size()) > most_lines) break;
        }
        if (static_cast<int>(page.period_starts.size()) <= most_lines) return;
    }
    page.period_starts.clear();
}

std::string DateOfRecord(const PlayerRecord& record) {
    return std::to_string(record[7]) + " " + platform::MonthName(record[6]).substr(0, 3) + " " +
           std::to_string(record[5]);
}

// "MM-DD-YYYY" as the platform gives it.
std::int32_t DayNumberOfDateText(const std::string& date) {
    if (date.size() < 10) return -1;
    return DayNumberOf(std::atoi(date.substr(6, 4).c_str()), std::atoi(date.substr(0, 2).c_str()),
                       std::atoi(date.substr(3, 2).c_str()));
}

}  // namespace

// -- Preparing the page --

void PreparePage(GameState& game, std::int32_t today, PageFigures& page) {
    const History& history = game.history;
    page.layout = LayOut(game);
    page.chosen_kind = game.settings.EtudeNumber;
    page.reach = game.settings.PastPerformanceReach;
    page.player = game.settings.PlayerName;
    page.records = LastRecord(history);

    FiguresOfAllKinds(history, page.reach, page.kinds);
    page.any_speed = false;
    for (int kind = 1; kind <= NumEtudeKinds; ++kind) {
        const KindFigures& figures = page.kinds[static_cast<std::size_t>(kind)];
        if (!figures.has_speed) continue;
        if (!page.any_speed || figures.speed < page.slowest) {
            page.slowest = figures.speed;
            page.slowest_kind = kind;
        }
        if (!page.any_speed || figures.speed > page.fastest) page.fastest = figures.speed;
        page.any_speed = true;
    }
    for (int group = 1; group <= kNumAxisGroups; ++group) LearningCurveOf(history, group, page.curves[group]);
    page.seconds_top = SecondsTop(page);
    page.totals = TotalsOf(history, today);
    if (page.records > 0) {
        page.first_date = DateOfRecord(history.PlayerHistory[1]);
        page.last_date = DateOfRecord(history.PlayerHistory[static_cast<std::size_t>(page.records)]);
    }
    FindPeriodStarts(history, page);
    BuildMarks(game, page);
}

// -- Choice 60 --

void ShowProgressPage(GameState& game) {
    platform::Platform& platform = *game.platform;
    PageFigures page;
    PreparePage(game, DayNumberOfDateText(platform::DateText(platform)), page);
    DrawProgressPage(game, page);
    platform::GraphicRedraw(platform);
    for (;;) {
        std::string key = platform::GraphicInkey(platform);
        if (key == "\x1b" || platform::QuitRequested(platform)) {
            game.flow.Quit = true;
            return;
        }
        if (key == "\r" || key == "1") return;
        platform::GraphicRedraw(platform);
    }
}

}  // namespace progress
