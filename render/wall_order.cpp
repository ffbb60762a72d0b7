// The painting order of the six walls. With no depth buffer the craft is
// painted back to front, and the order is read off the three apexes nearest
// the eye: the three walls away from the nearest apex go first, then the
// three around it, the one facing the viewer most squarely last.

#include "render/wall_order.h"

#include "platform/platform.h"
#include "render/view.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace render {

namespace {

// One row of the order table: for a nearest apex and a second-nearest apex
// (an edge neighbour), the order when the third apex is A, and when it is B.
// A is always the lower-numbered of the two remaining neighbours; any other
// third apex (a near-tie across a wall's diagonal) takes the A order.
struct WallOrderRow {
    std::int8_t nearest;
    std::int8_t second;
    std::int8_t third_a;
    std::array<std::int8_t, 6> order_a;
    std::int8_t third_b;
    std::array<std::int8_t, 6> order_b;
};

constexpr std::array<WallOrderRow, 24> kWallOrderTable = {{
    {1, 2, 4, {2, 3, 6, 4, 5, 1}, 5, {2, 3, 6, 4, 1, 5}},
    {1, 4, 2, {2, 3, 6, 5, 4, 1}, 5, {2, 3, 6, 5, 1, 4}},
    {1, 5, 2, {2, 3, 6, 1, 4, 5}, 4, {2, 3, 6, 1, 5, 4}},
    {2, 1, 3, {3, 4, 6, 2, 5, 1}, 6, {3, 4, 6, 2, 1, 5}},
    {2, 3, 1, {3, 4, 6, 5, 2, 1}, 6, {3, 4, 6, 5, 1, 2}},
    {2, 6, 1, {3, 4, 6, 1, 2, 5}, 3, {3, 4, 6, 1, 5, 2}},
    {3, 2, 4, {3, 4, 5, 6, 2, 1}, 7, {3, 4, 5, 6, 1, 2}},
    {3, 4, 2, {3, 4, 5, 2, 6, 1}, 7, {3, 4, 5, 2, 1, 6}},
    {3, 7, 2, {3, 4, 5, 1, 6, 2}, 4, {3, 4, 5, 1, 2, 6}},
    {4, 1, 3, {2, 3, 5, 6, 4, 1}, 8, {2, 3, 5, 6, 1, 4}},
    {4, 3, 1, {2, 3, 5, 4, 6, 1}, 8, {2, 3, 5, 4, 1, 6}},
    {4, 8, 1, {2, 3, 5, 1, 6, 4}, 3, {2, 3, 5, 1, 4, 6}},
    {5, 1, 6, {1, 2, 6, 3, 4, 5}, 8, {1, 2, 6, 3, 5, 4}},
    {5, 6, 1, {1, 2, 6, 4, 3, 5}, 8, {1, 2, 6, 4, 5, 3}},
    {5, 8, 1, {1, 2, 6, 5, 3, 4}, 6, {1, 2, 6, 5, 4, 3}},
    {6, 2, 5, {1, 4, 6, 3, 2, 5}, 7, {1, 4, 6, 3, 5, 2}},
    {6, 5, 2, {1, 4, 6, 2, 3, 5}, 7, {1, 4, 6, 2, 5, 3}},
    {6, 7, 2, {1, 4, 6, 5, 3, 2}, 5, {1, 4, 6, 5, 2, 3}},
    {7, 3, 6, {1, 4, 5, 3, 6, 2}, 8, {1, 4, 5, 3, 2, 6}},
    {7, 6, 3, {1, 4, 5, 6, 3, 2}, 8, {1, 4, 5, 6, 2, 3}},
    {7, 8, 3, {1, 4, 5, 2, 3, 6}, 6, {1, 4, 5, 2, 6, 3}},
    {8, 4, 5, {1, 2, 5, 3, 6, 4}, 7, {1, 2, 5, 3, 4, 6}},
    {8, 5, 4, {1, 2, 5, 6, 3, 4}, 7, {1, 2, 5, 6, 4, 3}},
    {8, 7, 4, {1, 2, 5, 4, 3, 6}, 5, {1, 2, 5, 4, 6, 3}},
}};

// The stop message for a second apex that is not an edge neighbour of the
// nearest one, naming the nearest apex's three edges as digit pairs.
constexpr std::array<std::string_view, 9> kNotNeighbourMessages = {
    "",
    "FATAL ERROR AT 12 OR 14 OR 15 BECAUSE SECOND DIGIT=",
    "FATAL ERROR AT 21 OR 23 OR 26 BECAUSE SECOND DIGIT=",
    "FATAL ERROR AT 32 OR 34 OR 37 BECAUSE SECOND DIGIT=",
    "FATAL ERROR AT 41 OR 43 OR 48 BECAUSE SECOND DIGIT=",
    "FATAL ERROR AT 51 OR 56 OR 58 BECAUSE SECOND DIGIT=",
    "FATAL ERROR AT 62 OR 65 OR 67 BECAUSE SECOND DIGIT=",
    "FATAL ERROR AT 73 OR 76 OR 78 BECAUSE SECOND DIGIT=",
    "FATAL ERROR AT 84 OR 85 OR 87 BECAUSE SECOND DIGIT=",
};

constexpr float kFarAway = 1000000.0f;

void ReportSecondNotNeighbour(GameState& game, int nearest, int second) {
    if (game.platform == nullptr) return;
    platform::Platform& platform = *game.platform;
    const std::string_view message = kNotNeighbourMessages[static_cast<std::size_t>(nearest)];
    if (nearest == 1) {
        // This one stop speaks in the graphic window, where the player looks.
        platform::GraphicPrintText(platform, message);
        platform::GraphicPrintNumber(platform, second);
        platform::GraphicPrintText(platform, " <> to cont");
        platform::GraphicLineInput(platform);
        return;
    }
    platform::ConsolePrintText(platform, message);
    platform::ConsolePrintNumber(platform, second, false);
    platform::PauseForEnter(platform, " <> to cont");
}

void ReportNearestOutOfRange(GameState& game, int nearest) {
    if (game.platform == nullptr) return;
    platform::Platform& platform = *game.platform;
    platform::ConsolePrintText(platform, "FATAL ERROR AT CASE NEEDING TO BE 1 TO 8, BECAUSE FIRST DIGIT=");
    platform::ConsolePrintNumber(platform, nearest, false);
    platform::PauseForEnter(platform, " <> to cont");
}

}  // namespace

// -- Nearest apexes --

void FindNearestApexes(GameState& game) {
    Scene& scene = game.scene;
    scene.NearestApexes.Fill(0);
    scene.NearestApexDistances.Fill(kFarAway);
    const double eye_depth = static_cast<double>(FocalLength) + static_cast<double>(ViewerGap);
    const auto& apexes = game.glyphs.CharONFACE[0][1];
    for (int a = 1; a <= 8; ++a) {
        const Point3f& apex = apexes[a];
        const double x = apex.x, y = apex.y, z = apex.z + eye_depth;
        const auto distance = static_cast<float>(std::sqrt(x * x + y * y + z * z));
        // Strictly nearer only: on a tie the lower-numbered apex keeps its place.
        for (int i = 1; i <= 3; ++i) {
            if (scene.NearestApexDistances[i] > distance) {
                for (int j = 3; j > i; --j) {
                    scene.NearestApexDistances[j] = scene.NearestApexDistances[j - 1];
                    scene.NearestApexes[j] = scene.NearestApexes[j - 1];
                }
                scene.NearestApexDistances[i] = distance;
                scene.NearestApexes[i] = static_cast<std::int16_t>(a);
                break;
            }
        }
    }
}

// -- Wall order --

void ChooseWallOrder(GameState& game) {
    Scene& scene = game.scene;
    auto& order = scene.DrawCharFacesInThisORDER;
    // Wall 0 everywhere until a row is found: a failed choice leaves nothing
    // to paint but the wall check's reports.
    order.Fill(0);

    const int nearest = scene.NearestApexes[1];
    const int second = scene.NearestApexes[2];
    const int third = scene.NearestApexes[3];
    if (nearest < 1 || nearest > 8) {
        ReportNearestOutOfRange(game, nearest);
        return;
    }
    for (const WallOrderRow& row : kWallOrderTable) {
        if (row.nearest != nearest || row.second != second) continue;
        const auto& chosen = third == row.third_b ? row.order_b : row.order_a;
        for (int p = 1; p <= 6; ++p) order[p] = chosen[static_cast<std::size_t>(p - 1)];
        return;
    }
    ReportSecondNotNeighbour(game, nearest, second);
}

}  // namespace render
