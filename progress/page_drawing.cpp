// Drawing the PROGRESS page from its prepared figures: no history scan and no
// file here, only the marks, tiles and texts PreparePage worked out.

#include "progress/progress_page.h"

#include "core/rounding.h"
#include "platform/platform.h"
#include "progress/page_style.h"
#include "records/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

namespace progress {

namespace {

constexpr std::string_view kDegreesPerSecond = " \xB0/s";  // Latin-1 degree sign

// -- Drawing in page pixels: from the window's top-left corner, y down --
struct Page {
    platform::Platform& platform;
    const Screen& screen;
    const PageLayout& layout;

    float X(double x) const { return static_cast<float>(x - screen.HalfWidth); }
    float Y(double y) const { return static_cast<float>(screen.HalfHeight - y); }

    void Font(std::string_view face, int points) const { platform::SetGameFont(platform, std::string(face), points); }
    double Width(std::string_view text) const { return platform::GraphicTextWidth(platform, text); }
    void Text(double x, double y, std::string_view text, platform::Color color) const {
        platform::GraphicSetColor(platform, color, platform::kTransparent);
        platform::GraphicSetPos(platform, X(x), Y(y));
        platform::GraphicPrintText(platform, text);
    }
    void TextRight(double right, double y, std::string_view text, platform::Color color) const {
        Text(right - Width(text), y, text, color);
    }
    void TextCentre(double centre, double y, std::string_view text, platform::Color color) const {
        Text(centre - Width(text) / 2, y, text, color);
    }
    void Box(double left, double top, double right, double bottom, platform::Color outline,
             platform::Color fill) const {
        platform::GraphicBox(platform, X(left), Y(top), X(right), Y(bottom), 0, outline, fill,
                             platform::FillStyle::Solid);
    }
    void Line(double x1, double y1, double x2, double y2, platform::Color color) const {
        platform::GraphicSetPos(platform, X(x1), Y(y1));
        platform::GraphicLineTo(platform, X(x2), Y(y2), color);
    }
};

std::string Format(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// -- Colours of speed: red for the slowest kind, amber, green for the fastest --
platform::Color Blend(platform::Color from, platform::Color to, double t) {
    auto channel = [&](int shift) {
        double a = (from >> shift) & 255, b = (to >> shift) & 255;
        return static_cast<int>(std::lround(a + (b - a) * t)) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

platform::Color SpeedColor(double t) {
    constexpr platform::Color kSlow = platform::Rgb(235, 45, 45);
    constexpr platform::Color kMiddle = platform::Rgb(255, 170, 0);
    constexpr platform::Color kFast = platform::Rgb(40, 215, 75);
    t = std::clamp(t, 0.0, 1.0);
    return t < 0.5 ? Blend(kSlow, kMiddle, t * 2) : Blend(kMiddle, kFast, t * 2 - 1);
}

double SpeedShare(const PageFigures& page, double speed) {
    double range = page.fastest - page.slowest;
    return range > 1e-9 ? (speed - page.slowest) / range : 1.0;
}

// -- Learning curves --

// Diamonds are drawn on whole pixels: a radius between two is rounded up, so
// that the smallest screens still show a diamond as large as a won disc.
float DiamondRadius(const PageLayout& layout) {
    return static_cast<float>(std::ceil(layout.marker_radius));
}

int MedianThickness(const Page& page) {
    return std::max(2, RoundToInt32(page.screen.WindowScale * 4.0));
}

void DrawPolyline(const Page& page, const std::vector<platform::PointF>& points, platform::Color color,
                  int thickness) {
    platform::GraphicSetPenWidth(page.platform, thickness);
    platform::GraphicPolyline(page.platform, points.data(), static_cast<int>(points.size()), color);
    platform::GraphicSetPenWidth(page.platform, 1);
}

void DrawCurve(const Page& page, const PageFigures& figures, int group) {
    const PageLayout& layout = page.layout;
    const double top = layout.plot_top[group], bottom = top + layout.plot_height;
    const double left = layout.plot_left, right = layout.plot_right;
    page.Box(left, top, right, bottom, kPlotFrame, kPlotFill);
    page.Line(left + 1, (top + bottom) / 2, right - 1, (top + bottom) / 2, kGridLine);
    for (double x : figures.period_starts) page.Line(std::round(x), top + 1, std::round(x), bottom - 1, kGridLine);

    page.Font(kSmallFace, layout.small_points);
    const double tick_right = left - layout.small_line * 0.4;
    const double half_line = layout.small_line / 2;
    page.TextRight(tick_right, top - half_line * 0.4, Format("%g s", figures.seconds_top), kQuiet);
    page.TextRight(tick_right, (top + bottom) / 2 - half_line, Format("%g", figures.seconds_top / 2.0), kQuiet);
    page.TextRight(tick_right, bottom - half_line * 1.6, "0", kQuiet);

    const LearningCurve& curve = figures.curves[group];
    page.Font(kBodyFace, layout.body_points);
    page.Text(layout.label_left, top, records::AxisGroupName(group), kText);
    page.Font(kSmallFace, layout.small_points);
    page.Text(layout.label_left, top + layout.body_line * 1.1,
              std::to_string(curve.points.size()) + " done", kQuiet);
    if (!curve.median.empty())
        page.Text(layout.label_left, top + layout.body_line * 1.1 + layout.small_line,
                  Format("now %.1f s", curve.median.back().seconds_per_wall), kMedianLine);

    const CurveMarks& marks = figures.marks[group];
    const float radius = static_cast<float>(layout.marker_radius);
    platform::GraphicDiamonds(page.platform, marks.lost.data(), static_cast<int>(marks.lost.size()),
                              DiamondRadius(layout), kLostMark);
    const float disc = std::max(1.0f, radius * 0.75f);
    platform::GraphicDiscs(page.platform, marks.won.data(), static_cast<int>(marks.won.size()), disc, kWonMark);
    DrawPolyline(page, marks.median, kMedianLine, MedianThickness(page));
}

void DrawCurves(const Page& page, const PageFigures& figures) {
    const PageLayout& layout = page.layout;
    page.Font(kBodyFace, layout.body_points);
    page.Text(layout.label_left, layout.content_top, "LEARNING CURVES", kHeading);
    page.Font(kSmallFace, layout.small_points);
    const double explain_y = layout.content_top + layout.body_line * 1.2;
    page.Text(layout.label_left, explain_y, "seconds per wall of every completed etude, in the order played", kQuiet);

    // The legend: each mark as it is drawn, then, half a letter clear of it, its meaning.
    const double legend_y = explain_y + layout.small_line * 1.05;
    const double mid_y = legend_y + layout.small_line / 2;
    const double clearance = page.Width(" ") / 2;
    const float radius = static_cast<float>(layout.marker_radius);
    double x = layout.plot_left;
    const float disc = std::max(1.0f, radius * 0.75f);
    platform::GraphicBox(page.platform, page.X(x + radius) - disc, page.Y(mid_y) + disc, page.X(x + radius) + disc,
                         page.Y(mid_y) - disc, platform::kEllipseCorner, kWonMark, kWonMark, platform::FillStyle::Solid);
    x += radius + disc + clearance;
    page.Text(x, legend_y, "won", kText);
    x += page.Width("won   ");
    const double diamond_radius = DiamondRadius(layout);
    const platform::PointF diamond{page.X(x + diamond_radius), page.Y(mid_y)};
    platform::GraphicDiamonds(page.platform, &diamond, 1, static_cast<float>(diamond_radius), kLostMark);
    x += 2 * diamond_radius + 1 + clearance;
    page.Text(x, legend_y, "lost", kText);
    x += page.Width("lost   ");
    double line_length = page.Width("mmm");
    DrawPolyline(page, {{page.X(x), page.Y(mid_y)}, {page.X(x + line_length), page.Y(mid_y)}}, kMedianLine,
                 MedianThickness(page));
    x += line_length + clearance;
    page.Text(x, legend_y, "median of the last 10 wins", kText);

    for (int group = 1; group <= kNumAxisGroups; ++group) DrawCurve(page, figures, group);

    // The shared time axis under the last plot.
    page.Font(kSmallFace, layout.small_points);
    const double axis_y = layout.plot_top[kNumAxisGroups] + layout.plot_height + layout.small_line * 0.3;
    page.Text(layout.plot_left, axis_y, figures.first_date, kText);
    page.TextRight(layout.plot_right, axis_y, figures.last_date, kText);
    std::string axis = std::to_string(figures.records) + " etudes";
    if (!figures.period_starts.empty()) axis += ", a line for each " + figures.period_name;
    page.TextCentre((layout.plot_left + layout.plot_right) / 2, axis_y, axis, kQuiet);
}

// -- Rotation speed per kind --

void DrawTile(const Page& page, const PageFigures& figures, int kind, double left, double top) {
    const PageLayout& layout = page.layout;
    const KindFigures& kind_figures = figures.kinds[static_cast<std::size_t>(kind)];
    const double right = left + layout.tile_width, bottom = top + layout.tile_height;
    const double pad = std::max(3.0, std::round(page.screen.WindowScale * 14.0));

    platform::Color accent = kQuiet;
    if (kind_figures.has_speed) {
        accent = SpeedColor(SpeedShare(figures, kind_figures.speed));
        page.Box(left, top, right, bottom, accent, Blend(kBackground, accent, 0.3));
    } else {
        page.Box(left, top, right, bottom, kPlotFrame, kUnplayedTile);
    }
    if (kind == figures.chosen_kind) {
        double grow = std::max(2.0, layout.tile_gap / 2);
        platform::GraphicSetPenWidth(page.platform, std::max(2, RoundToInt32(page.screen.WindowScale * 6.0)));
        page.Box(left - grow, top - grow, right + grow, bottom + grow, kChosenKind, platform::kTransparent);
        platform::GraphicSetPenWidth(page.platform, 1);
    }

    page.Font(kSmallFace, layout.small_points);
    const double line1 = top + pad * 0.6;
    page.Text(left + pad, line1, KindName(kind), kText);
    const double line3 = bottom - pad * 0.6 - layout.small_line;
    if (kind_figures.etudes == 0) {
        page.Text(left + pad, line3, "not played", kQuiet);
        return;
    }
    page.TextRight(right - pad, line1, Format("%.0f%%", kind_figures.share_won), kText);
    std::string count = std::to_string(kind_figures.etudes);
    if (page.Width(count + " played  +0.0") <= layout.tile_width - 2 * pad) count += " played";
    page.Text(left + pad, line3, count, kText);
    if (kind_figures.completed > 0)
        page.TextRight(right - pad, line3, Format("%+.1f", kind_figures.mean_excess), kText);

    const double line2 = (line1 + layout.small_line + line3) / 2 - layout.title_line / 2;
    if (kind_figures.has_speed) {
        page.Font(kTitleFace, layout.title_points);
        std::string speed = Format("%.1f", kind_figures.speed);
        page.Text(left + pad, line2, speed, accent);
        double after = left + pad + page.Width(speed);
        page.Font(kSmallFace, layout.small_points);
        page.Text(after, line2 + layout.title_line - layout.small_line * 1.15, kDegreesPerSecond, accent);
    } else {
        page.Text(left + pad, line2 + (layout.title_line - layout.small_line) / 2, "no win yet", kQuiet);
    }
}

void DrawSpeeds(const Page& page, const PageFigures& figures) {
    const PageLayout& layout = page.layout;
    page.Font(kBodyFace, layout.body_points);
    page.Text(layout.panel_left, layout.content_top, "ROTATION SPEED", kHeading);
    page.Font(kSmallFace, layout.small_points);
    page.Text(layout.panel_left, layout.content_top + layout.body_line * 1.2,
              "degrees per second, wins among the last " + std::to_string(figures.reach) + " of a kind", kQuiet);

    static constexpr std::string_view kSteps[4] = {"45\xB0", "90\xB0", "135\xB0", "any"};
    const double step = layout.tile_width + layout.tile_gap;
    for (int column = 0; column < 4; ++column)
        page.TextCentre(layout.tiles_left + column * step + layout.tile_width / 2,
                        layout.tiles_top - layout.small_line * 1.25, kSteps[column], kText);
    for (int group = 1; group <= kNumAxisGroups; ++group) {
        double top = layout.tiles_top + (group - 1) * (layout.tile_height + layout.tile_gap);
        page.Font(kBodyFace, layout.body_points);
        page.Text(layout.panel_left, top + (layout.tile_height - layout.body_line) / 2, records::AxisGroupName(group),
                  kText);
        for (int column = 0; column < 4; ++column)
            DrawTile(page, figures, (group - 1) * 4 + column + 1, layout.tiles_left + column * step, top);
    }

    // The legend: the colour ramp between the slowest and the fastest kind.
    page.Font(kSmallFace, layout.small_points);
    double x = layout.tiles_left;
    const double y = layout.legend_top;
    std::string slow = figures.any_speed ? Format("slow %.1f ", figures.slowest) : std::string("slow ");
    page.Text(x, y, slow, kText);
    x += page.Width(slow);
    const double ramp_width = layout.tile_width * 1.5;
    constexpr int kRampSteps = 24;
    for (int n = 0; n < kRampSteps; ++n) {
        platform::Color color = SpeedColor((n + 0.5) / kRampSteps);
        page.Box(x + ramp_width * n / kRampSteps, y + layout.small_line * 0.2,
                 x + ramp_width * (n + 1) / kRampSteps - 1, y + layout.small_line * 0.85, color, color);
    }
    x += ramp_width;
    page.Text(x, y, figures.any_speed ? Format(" %.1f fast", figures.fastest) : std::string(" fast"), kText);
    const double box = layout.small_line * 0.7;
    const std::string chosen = "chosen kind";
    double chosen_x = layout.panel_right - page.Width(chosen);
    platform::GraphicSetPenWidth(page.platform, std::max(2, RoundToInt32(page.screen.WindowScale * 6.0)));
    page.Box(chosen_x - box * 1.6, y + layout.small_line * 0.15, chosen_x - box * 0.6, y + layout.small_line * 0.85,
             kChosenKind, platform::kTransparent);
    platform::GraphicSetPenWidth(page.platform, 1);
    page.Text(chosen_x, y, chosen, kChosenKind);
    page.Text(layout.tiles_left, y + layout.small_line * 1.2,
              "in a tile: % won, etudes counted, mean excess moves", kQuiet);
}

// -- Totals --

std::string Duration(std::int64_t seconds) {
    std::int64_t minutes = seconds / 60;
    if (minutes < 60) return std::to_string(minutes) + " min";
    return std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
}

void DrawTotals(const Page& page, const PageFigures& figures) {
    const PageLayout& layout = page.layout;
    const Totals& totals = figures.totals;
    page.Font(kBodyFace, layout.body_points);
    page.Text(layout.panel_left, layout.totals_top, "TOTALS", kHeading);
    const double value_x = layout.panel_left + page.Width("Days practised  ");
    double y = layout.totals_top + layout.body_line * 1.35;
    auto row = [&](std::string_view label, const std::string& value, platform::Color color) {
        page.Text(layout.panel_left, y, label, kQuiet);
        page.Text(value_x, y, value, color);
        y += layout.body_line * 1.15;
    };
    row("Etudes", std::to_string(totals.completed) + " completed, " + std::to_string(totals.left) + " left", kText);
    row("Days practised", std::to_string(totals.days_practised) + ", current run " +
                              std::to_string(totals.current_run) + (totals.current_run == 1 ? " day" : " days"),
        kText);
    row("Practice time", Duration(totals.practice_seconds), kText);
    if (totals.has_best) {
        row("Best speed", Format("%.1f", totals.best_speed) + std::string(kDegreesPerSecond) + "  " +
                              std::string(KindName(totals.best_kind)),
            kText);
    }
    row("Last 7 days",
        totals.has_last_week ? Format("%.1f", totals.last_week_speed) + std::string(kDegreesPerSecond) + " over " +
                                   std::to_string(totals.last_week_etudes) + " etudes"
                             : std::string("no win in the last seven days"),
        kText);
    if (figures.any_speed) {
        row("Slowest kind", std::string(KindName(figures.slowest_kind)) + ", " + Format("%.1f", figures.slowest) +
                                std::string(kDegreesPerSecond),
            SpeedColor(0));
    }
}

void DrawNoRecords(const Page& page, const PageFigures& figures) {
    const PageLayout& layout = page.layout;
    page.Font(kBodyFace, layout.body_points);
    double y = layout.content_top + layout.body_line;
    page.Text(layout.margin, y, "No etudes are recorded for " + figures.player + " yet.", kText);
    y += layout.body_line * 1.5;
    page.Text(layout.margin, y, "Choose 98 PLAY in the menu and solve the six walls of an etude:", kText);
    y += layout.body_line * 1.2;
    page.Text(layout.margin, y, "every finished etude is recorded, and this page shows how you improve.", kText);
}

}  // namespace

void DrawProgressPage(GameState& game, const PageFigures& figures) {
    platform::Platform& platform = *game.platform;
    const PageLayout& layout = figures.layout;
    Page page{platform, game.screen, layout};
    // Texts are placed one by one here: none may wrap at the window's edge.
    platform::GraphicSetOption(platform, platform::WindowOption::Wrap, false);
    platform::GraphicSetPenWidth(platform, 1);
    platform::GraphicSetPenStyle(platform, 0);
    platform::GraphicSetColor(platform, kText, kBackground);
    platform::GraphicClear(platform);

    page.Font(kTitleFace, layout.title_points);
    page.Text(layout.margin, layout.margin, "PROGRESS", kText);
    page.Text(layout.margin + page.Width("PROGRESS   "), layout.margin, figures.player, kHeading);
    if (figures.records == 0) {
        DrawNoRecords(page, figures);
    } else {
        page.Font(kSmallFace, layout.small_points);
        page.TextRight(layout.width - layout.margin, layout.margin + (layout.title_line - layout.small_line) / 2,
                       std::to_string(figures.records) + " etudes from " + figures.first_date + " to " +
                           figures.last_date,
                       kQuiet);
        DrawCurves(page, figures);
        DrawSpeeds(page, figures);
        DrawTotals(page, figures);
    }
    page.Font(kBodyFace, layout.body_points);
    page.Text(layout.margin, layout.footer_top, "Enter or 1: back to the menu      Esc: end the game", kHint);

    platform::GraphicSetColor(platform, kText, kBackground);
    platform::GraphicSetOption(platform, platform::WindowOption::Wrap, true);
}

}  // namespace progress
