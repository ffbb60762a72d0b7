#include "render/sky.h"

#include "platform/platform.h"
#include "platform/random.h"
#include "render/draw_helpers.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace render {

namespace {

// Stars drawn per frame for sky modes 1..4 (from the table) and 5..8 (new ones).
constexpr std::array<int, 4> kStarCounts = {200, 500, 1000, 1500};
// Radii of the new stars of modes 5..8, in multiples of WindowScale.
constexpr std::array<double, 4> kNewStarRadii = {0.9, 1.1, 1.3, 1.4};
constexpr platform::Color kNewStarColor = platform::Rgb(255, 255, 120);

// How far a star's painted pixels may reach beyond its radius: half the
// one-pixel outline, plus a pixel and a half for the snapping of coordinates
// to pixel centres on the way to the canvas.
constexpr double kStarReachMargin = 2.0;
// The frame's corners are rounded by 2 per cent of its shorter side; whatever
// the back end reads that percentage as (diameter or radius of the corner arc),
// the arc's radius is at most this share of the shorter side.
constexpr double kFrameCornerShare = 0.02;

// A filled circle with a one-pixel outline in its own colour: one disc.
void PaintStar(platform::Platform& platform, double x, double y, double radius, platform::Color color) {
    const auto left = static_cast<float>(x - radius), right = static_cast<float>(x + radius);
    const auto top = static_cast<float>(y + radius), bottom = static_cast<float>(y - radius);
    platform::GraphicBox(platform, left, top, right, bottom, platform::kEllipseCorner, color, color,
                         platform::FillStyle::Solid);
}

}  // namespace

// -- The pass's star table --

void BuildStarTable(GameState& game) {
    Sky& sky = game.sky;
    const Screen& screen = game.screen;
    sky.StarPhase = 1.0;
    sky.StarPhaseStep = 1e-7f;
    for (int n = 1; n <= NumStars; ++n) {
        // Mostly small stars, a few large ones.
        const int r = platform::RandomInteger(game.random, 1, 17);
        const int size = r <= 8 ? 1 : r <= 13 ? 2 : r <= 15 ? 3 : r == 16 ? 4 : 5;
        const int x = platform::RandomInteger(game.random, -screen.HalfWidth + 4, screen.HalfWidth - 5);
        const int y = platform::RandomInteger(game.random, -screen.HalfHeight + 4, screen.HalfHeight - 5);
        sky.StarTable[1][n] = static_cast<std::int16_t>(x);
        sky.StarTable[2][n] = static_cast<std::int16_t>(y);
        sky.StarTable[3][n] = 0;
        sky.StarTable[4][n] = RoundToInt16(static_cast<double>(screen.WindowScale) * size);
        for (int c = 5; c <= 7; ++c) {
            sky.StarTable[c][n] = static_cast<std::int16_t>(platform::RandomInteger(game.random, 0, 255));
        }
    }
}

// -- Stars under the frame --

// The frame's black fill is a rounded box: its inner rectangle (the box less
// the corner radius on every side) grown by a disc of the corner radius. A disc
// of radius r lies inside it when its centre lies in the box shrunk by r and,
// when r is smaller than the corner radius, also within (corner - r) of the
// inner rectangle.
bool StarHiddenByFrame(const Screen& screen, double x, double y, double radius) {
    const double x1 = screen.LayoutX[3], x2 = screen.LayoutX[18];
    const double y1 = screen.LayoutY[3], y2 = screen.LayoutY[16];
    const double left = std::min(x1, x2), right = std::max(x1, x2);
    const double bottom = std::min(y1, y2), top = std::max(y1, y2);
    const double reach = std::fabs(radius) + kStarReachMargin;
    if (!(x >= left + reach && x <= right - reach && y >= bottom + reach && y <= top - reach)) return false;

    const double corner = kFrameCornerShare * std::min(right - left, top - bottom);
    if (reach >= corner) return true;
    const double dx = std::max({0.0, left + corner - x, x - (right - corner)});
    const double dy = std::max({0.0, bottom + corner - y, y - (top - corner)});
    const double room = corner - reach;
    return dx * dx + dy * dy <= room * room;
}

// -- Sky --

int DrawSky(GameState& game, StarPainting painting) {
    Sky& sky = game.sky;
    const Screen& screen = game.screen;
    platform::Platform& platform = *game.platform;
    const bool skip_hidden = painting == StarPainting::SkipHidden;
    int painted = 0;

    if (sky.SkyMode >= 1 && sky.SkyMode <= 4) {
        // The pass's own stars, each a touch larger than the one before: the
        // sky slowly swells for as long as the pass lasts.
        const int count = kStarCounts[static_cast<std::size_t>(sky.SkyMode - 1)];
        for (int n = 1; n <= count; ++n) {
            sky.StarPhase += sky.StarPhaseStep;
            const double radius = sky.StarPhase * sky.StarTable[4][n];
            const double x = sky.StarTable[1][n];
            const double y = sky.StarTable[2][n];
            if (skip_hidden && StarHiddenByFrame(screen, x, y, radius)) continue;
            PaintStar(platform, x, y, radius, platform::Rgb(sky.StarTable[5][n], sky.StarTable[6][n], sky.StarTable[7][n]));
            ++painted;
        }
    } else if (sky.SkyMode >= 5 && sky.SkyMode <= 8) {
        // A new scatter at every frame: the sky twinkles.
        const auto kind = static_cast<std::size_t>(sky.SkyMode - 5);
        const int count = kStarCounts[kind];
        const double radius = ScaledExact(screen, kNewStarRadii[kind]);
        for (int n = 1; n <= count; ++n) {
            const double x = platform::RandomInteger(game.random, -screen.HalfWidth + 6, screen.HalfWidth - 6);
            const double y = platform::RandomInteger(game.random, -screen.HalfHeight + 6, screen.HalfHeight - 6);
            if (skip_hidden && StarHiddenByFrame(screen, x, y, radius)) continue;
            PaintStar(platform, x, y, radius, kNewStarColor);
            ++painted;
        }
    }
    return painted;
}

}  // namespace render
