#include "render/view.h"

#include "render_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <set>
#include <vector>

namespace {

Screen Metrics(int width, int height) {
    Screen screen;
    render::ComputeScreenMetricsFor(screen, width, height);
    return screen;
}

// Layout tables worked out by hand-run script from the step list, for the
// given work areas (each step a rounded multiple of the window scale).
void ExpectLayout(const Screen& screen, const std::vector<int>& columns, const std::vector<int>& rows) {
    for (int k = 1; k <= 19; ++k) EXPECT_EQ(screen.LayoutX[k], columns[static_cast<std::size_t>(k - 1)]) << "X " << k;
    for (int k = 1; k <= 17; ++k) EXPECT_EQ(screen.LayoutY[k], rows[static_cast<std::size_t>(k - 1)]) << "Y " << k;
}

// -- Screen metrics --

TEST(ScreenMetrics, ReferenceScreenIsScaleOne) {
    const Screen screen = Metrics(3840, 2160);
    EXPECT_EQ(screen.WindowXrange, 3840);
    EXPECT_EQ(screen.WindowYrange, 2160);
    EXPECT_EQ(screen.WindowScale, 1.0f);
    EXPECT_EQ(screen.TextScale, 1.0f);
    EXPECT_EQ(screen.HalfWidth, 1920);
    EXPECT_EQ(screen.HalfHeight, 1080);
    EXPECT_EQ(screen.CubeScaleUnit, 144);
    EXPECT_EQ(screen.StripUnit, 17);
    EXPECT_EQ(screen.OutlineWidth, 12);
    EXPECT_DOUBLE_EQ(screen.RoboScaleUnit, 33.0);
    EXPECT_DOUBLE_EQ(screen.RoboStandOff, -936.0);
    ExpectLayout(screen,
                 {-1920, -1912, -1909, -1895, -1893, -1775, -1761, -1641, -1627, -1507, -1493, -1373, -1359, -1239,
                  -1225, -1107, -1105, -1091, -1088},
                 {1080, 1072, 1069, 1055, 935, 921, 801, 787, 723, 709, 645, 631, 629, 577, 575, 561, 558});
    // Six wall cells of 120 steps each, separated by gaps of 14.
    EXPECT_EQ(screen.LayoutX[6] - screen.LayoutX[4], 120);
    EXPECT_EQ(screen.LayoutX[17] - screen.LayoutX[15], 120);
}

TEST(ScreenMetrics, SmallerScreenScalesByItsTighterSide) {
    const Screen screen = Metrics(1920, 1040);
    EXPECT_FLOAT_EQ(screen.WindowScale, 1040.0f / 2160.0f);  // narrower than 1920 / 3840
    EXPECT_NEAR(screen.TextScale, 0.68889, 1e-4);
    EXPECT_EQ(screen.CubeScaleUnit, 69);  // from 69.33
    EXPECT_EQ(screen.StripUnit, 8);
    EXPECT_EQ(screen.OutlineWidth, 6);
    EXPECT_EQ(screen.HalfWidth, 960);
    EXPECT_EQ(screen.HalfHeight, 520);
    EXPECT_NEAR(screen.RoboScaleUnit, 33.0 * 1040.0 / 2160.0, 1e-6);
    EXPECT_DOUBLE_EQ(screen.RoboStandOff, 69 * -6.5);
    ExpectLayout(screen,
                 {-960, -956, -955, -948, -947, -890, -883, -825, -818, -760, -753, -695, -688, -630, -623, -566, -565,
                  -558, -557},
                 {520, 516, 515, 508, 450, 443, 385, 378, 347, 340, 309, 302, 301, 276, 275, 268, 267});
}

TEST(ScreenMetrics, WideScreenIsLimitedByItsHeight) {
    const Screen screen = Metrics(3840, 1000);
    EXPECT_FLOAT_EQ(screen.WindowScale, 1000.0f / 2160.0f);
    EXPECT_EQ(screen.CubeScaleUnit, 67);
    EXPECT_EQ(screen.HalfWidth, 1920);
    ExpectLayout(screen,
                 {-1920, -1916, -1915, -1909, -1908, -1853, -1847, -1791, -1785, -1729, -1723, -1667, -1661, -1605,
                  -1599, -1544, -1543, -1537, -1536},
                 {500, 496, 495, 489, 433, 427, 371, 365, 335, 329, 299, 293, 292, 268, 267, 261, 260});
}

TEST(ScreenMetrics, LayoutStepsAreRoundedOneByOne) {
    // At this scale 120 steps round to 33 and 2 steps to 1, so the narrowed
    // cell column is 32 wide, where rounding 118 steps at once would give 33.
    const Screen screen = Metrics(3840, 600);
    EXPECT_EQ(screen.LayoutX[6] - screen.LayoutX[5], 32);
    ExpectLayout(screen,
                 {-1920, -1918, -1917, -1913, -1912, -1880, -1876, -1843, -1839, -1806, -1802, -1769, -1765, -1732,
                  -1728, -1696, -1695, -1691, -1690},
                 {300, 298, 297, 293, 260, 256, 223, 219, 201, 197, 179, 175, 174, 160, 159, 155, 154});
}

TEST(ScreenMetrics, HalvesRoundToEvenAndPassesRepeatExactly) {
    EXPECT_EQ(Metrics(1919, 1080).HalfWidth, 960);  // 959.5
    EXPECT_EQ(Metrics(1917, 1080).HalfWidth, 958);  // 958.5
    EXPECT_EQ(Metrics(1920, 1081).HalfHeight, 540);  // 540.5
    EXPECT_EQ(Metrics(1919, 1080).LayoutX[1], -960);

    Screen screen;
    render::ComputeScreenMetricsFor(screen, 1920, 1040);
    render::ComputeScreenMetricsFor(screen, 1920, 1040);
    EXPECT_EQ(screen.CubeScaleUnit, 69);
    EXPECT_EQ(screen.LayoutX[19], -557);
}

TEST(ScreenMetrics, WithoutAWorkAreaTheReferenceScreenIsUsed) {
    auto game = std::make_unique<GameState>();  // no platform attached
    game->screen.CubeScaleUnit = 0;
    render::ComputeScreenMetrics(*game);
    EXPECT_EQ(game->screen.WindowXrange, 3840);
    EXPECT_EQ(game->screen.CubeScaleUnit, 144);
}

// -- The craft's numbering --

// Grid coordinates of apexes 1..8.
constexpr std::array<std::array<int, 3>, 9> kApexGrid = {{
    {0, 0, 0}, {0, 0, 0}, {7, 0, 0}, {7, 7, 0}, {0, 7, 0}, {0, 0, 7}, {7, 0, 7}, {7, 7, 7}, {0, 7, 7},
}};

TEST(CraftNumbering, WallsAreFacesAndNeighboursAreEdges) {
    const int plane_axis[7] = {0, 2, 0, 2, 0, 1, 1};
    const int plane_value[7] = {0, 0, 7, 7, 0, 0, 7};
    std::array<int, 9> walls_per_apex{};
    for (int wall = 1; wall <= 6; ++wall) {
        std::set<int> distinct;
        for (int apex : render_test::WallApexes[static_cast<std::size_t>(wall)]) {
            distinct.insert(apex);
            ++walls_per_apex[static_cast<std::size_t>(apex)];
            EXPECT_EQ(kApexGrid[static_cast<std::size_t>(apex)][static_cast<std::size_t>(plane_axis[wall])],
                      plane_value[wall])
                << "wall " << wall << " apex " << apex;
        }
        EXPECT_EQ(distinct.size(), 4u);
    }
    for (int apex = 1; apex <= 8; ++apex) EXPECT_EQ(walls_per_apex[static_cast<std::size_t>(apex)], 3);

    for (int apex = 1; apex <= 8; ++apex) {
        for (int neighbour : render_test::ApexNeighbours[static_cast<std::size_t>(apex)]) {
            int differing = 0;
            for (int axis = 0; axis < 3; ++axis) {
                differing += kApexGrid[static_cast<std::size_t>(apex)][static_cast<std::size_t>(axis)] !=
                             kApexGrid[static_cast<std::size_t>(neighbour)][static_cast<std::size_t>(axis)];
            }
            EXPECT_EQ(differing, 1) << apex << " and " << neighbour;
        }
    }
}

// -- Projection --

TEST(Projection, NearPointsGrowAndFarPointsShrink) {
    const Point2f apex = render::ProjectPoint(-504, -504, -504);
    EXPECT_NEAR(apex.x, -526.6, 0.1);
    EXPECT_NEAR(apex.y, -526.6, 0.1);
    const Point2f on_picture_plane = render::ProjectPoint(123.0, -45.0, -315.0);
    EXPECT_FLOAT_EQ(on_picture_plane.x, 123.0f);
    EXPECT_FLOAT_EQ(on_picture_plane.y, -45.0f);
    const Point2f far = render::ProjectPoint(504, 504, 504);
    EXPECT_NEAR(far.x, 504.0 * 4410.0 / 5229.0, 1e-3);
    const Point2f centre = render::ProjectPoint(0, 0, 0);
    EXPECT_EQ(centre.x, 0.0f);
    EXPECT_EQ(centre.y, 0.0f);
    // A point at the eye itself still gives a finite position.
    const Point2f at_eye = render::ProjectPoint(10, 10, -4725);
    EXPECT_TRUE(std::isfinite(at_eye.x) && std::isfinite(at_eye.y));
}

}  // namespace
