#include "render/view.h"

#include "platform/platform.h"

#include <array>
#include <cstddef>

namespace render {

namespace {

// Every size in the picture is designed for this work area.
constexpr int kReferenceWidth = 3840;
constexpr int kReferenceHeight = 2160;

// A step of the layout grid: a multiple of WindowScale, rounded on its own so
// the grid is the same whichever column it is counted from.
std::int16_t Step(float scale, int multiple) {
    return RoundToInt16(static_cast<double>(multiple) * static_cast<double>(scale));
}

// Column steps from the left edge; a {120, 2} entry is 120 steps less 2, each
// rounded separately, so a wall's cell is exactly 120 steps wide.
struct LayoutStep {
    int steps;
    int less;
};
constexpr std::array<LayoutStep, 18> kColumnSteps = {{
    {8, 0}, {3, 0}, {14, 0}, {2, 0}, {120, 2}, {14, 0}, {120, 0}, {14, 0}, {120, 0},
    {14, 0}, {120, 0}, {14, 0}, {120, 0}, {14, 0}, {120, 2}, {2, 0}, {14, 0}, {3, 0},
}};
// Row steps down from the top edge.
constexpr std::array<int, 16> kRowSteps = {8, 3, 14, 120, 14, 120, 14, 64, 14, 64, 14, 2, 52, 2, 14, 3};

}  // namespace

// -- Screen metrics --
void ComputeScreenMetricsFor(Screen& screen, int work_width, int work_height) {
    screen.WindowXrange = work_width;
    screen.WindowYrange = work_height;
    const float by_width = static_cast<float>(work_width) / static_cast<float>(kReferenceWidth);
    const float by_height = static_cast<float>(work_height) / static_cast<float>(kReferenceHeight);
    const float scale = by_height < by_width ? by_height : by_width;
    screen.WindowScale = scale;
    screen.TextScale = scale + 0.4f * (1.0f - scale);
    screen.HalfWidth = RoundToInt16(work_width / 2.0);
    screen.HalfHeight = RoundToInt16(work_height / 2.0);
    // Always from the base values, so repeated passes never compound a scale.
    screen.CubeScaleUnit = Step(scale, 144);
    screen.StripUnit = Step(scale, 17);
    screen.OutlineWidth = Step(scale, 12);
    screen.RoboScaleUnit = 33.0 * static_cast<double>(scale);
    screen.RoboStandOff = screen.CubeScaleUnit * -6.5;

    screen.LayoutX[1] = static_cast<std::int16_t>(-screen.HalfWidth);
    for (int k = 2; k <= 19; ++k) {
        const LayoutStep& step = kColumnSteps[static_cast<std::size_t>(k - 2)];
        const int width = Step(scale, step.steps) - (step.less != 0 ? Step(scale, step.less) : 0);
        screen.LayoutX[k] = static_cast<std::int16_t>(screen.LayoutX[k - 1] + width);
    }
    screen.LayoutY[1] = screen.HalfHeight;
    for (int k = 2; k <= 17; ++k) {
        const int height = Step(scale, kRowSteps[static_cast<std::size_t>(k - 2)]);
        screen.LayoutY[k] = static_cast<std::int16_t>(screen.LayoutY[k - 1] - height);
    }
}

void ComputeScreenMetrics(GameState& game) {
    platform::WorkArea area{kReferenceWidth, kReferenceHeight};
    if (game.platform != nullptr) area = platform::DesktopWorkArea(*game.platform);
    // A platform that cannot tell its work area gets the reference screen
    // rather than a zero scale that would shrink the whole scene to a point.
    if (area.width <= 0 || area.height <= 0) area = platform::WorkArea{kReferenceWidth, kReferenceHeight};
    ComputeScreenMetricsFor(game.screen, area.width, area.height);
}

// -- Projection --
Point2f ProjectPoint(double x, double y, double z) {
    double depth = z + static_cast<double>(FocalLength) + static_cast<double>(ViewerGap);
    // Nothing the game draws comes this close to the eye; the floor only keeps
    // a stray point from becoming an infinite or mirrored coordinate.
    if (depth < 1.0) depth = 1.0;
    const double focal = FocalLength;
    return Point2f{static_cast<float>(x * focal / depth), static_cast<float>(y * focal / depth)};
}

}  // namespace render
