// The walls' painting order: the three apexes nearest the eye, and the order
// read from them, checked against the rule the order table was made from.

#include "render/wall_order.h"

#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "render/scene.h"
#include "render/view.h"
#include "render_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

namespace {

using render_test::MakeScene;

using render_test::ApexNeighbours;
using render_test::WallApexes;

bool Holds(int wall, int apex) {
    const auto& apexes = WallApexes[static_cast<std::size_t>(wall)];
    return std::find(apexes.begin(), apexes.end(), apex) != apexes.end();
}

bool IsNeighbour(int apex, int other) {
    const auto& n = ApexNeighbours[static_cast<std::size_t>(apex)];
    return std::find(n.begin(), n.end(), other) != n.end();
}

// The rule: the three walls away from the nearest apex in ascending number;
// then the wall with the nearest and third but not the second, the wall with
// the nearest and second but not the third, and the wall with all three. A
// third apex that is no neighbour counts as the lower remaining neighbour.
std::array<int, 6> RuleOrder(int nearest, int second, int third) {
    if (!IsNeighbour(nearest, third)) {
        for (int candidate : ApexNeighbours[static_cast<std::size_t>(nearest)]) {
            if (candidate != second) {
                third = candidate;
                break;
            }
        }
    }
    std::array<int, 6> order{};
    std::size_t at = 0;
    for (int w = 1; w <= 6; ++w) {
        if (!Holds(w, nearest)) order[at++] = w;
    }
    auto wall_with = [&](bool with_second, bool with_third) {
        for (int w = 1; w <= 6; ++w) {
            if (Holds(w, nearest) && Holds(w, second) == with_second && Holds(w, third) == with_third) return w;
        }
        return 0;
    };
    order[3] = wall_with(false, true);
    order[4] = wall_with(true, false);
    order[5] = wall_with(true, true);
    return order;
}

std::array<int, 6> Chosen(GameState& game, int nearest, int second, int third) {
    game.scene.NearestApexes[1] = static_cast<std::int16_t>(nearest);
    game.scene.NearestApexes[2] = static_cast<std::int16_t>(second);
    game.scene.NearestApexes[3] = static_cast<std::int16_t>(third);
    render::ChooseWallOrder(game);
    std::array<int, 6> order{};
    for (int p = 1; p <= 6; ++p) order[static_cast<std::size_t>(p - 1)] = game.scene.DrawCharFacesInThisORDER[p];
    return order;
}

TEST(FindNearestApexes, UnturnedCraftGivesTheLowestThreeOfTheFacingWall) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    render::FindNearestApexes(game);
    EXPECT_EQ(game.scene.NearestApexes[1], 1);
    EXPECT_EQ(game.scene.NearestApexes[2], 2);
    EXPECT_EQ(game.scene.NearestApexes[3], 3);
    const double z = -252.0 + 4725.0;
    EXPECT_EQ(game.scene.NearestApexDistances[1], static_cast<float>(std::sqrt(2 * 252.0 * 252.0 + z * z)));
    render::ChooseWallOrder(game);
    const std::array<int, 6> expected{2, 3, 6, 4, 5, 1};
    for (int p = 1; p <= 6; ++p) EXPECT_EQ(game.scene.DrawCharFacesInThisORDER[p], expected[p - 1]);
}

TEST(FindNearestApexes, KeepsTheNearestThreeWithTiesToTheLowerApex) {
    GameState game;
    auto& apexes = game.glyphs.CharONFACE[0][1];
    // Farther with every apex number: the last three come out, nearest first.
    for (int a = 1; a <= 8; ++a) apexes[a] = {0, 0, static_cast<float>(100 - 10 * a)};
    render::FindNearestApexes(game);
    EXPECT_EQ(game.scene.NearestApexes[1], 8);
    EXPECT_EQ(game.scene.NearestApexes[2], 7);
    EXPECT_EQ(game.scene.NearestApexes[3], 6);
    EXPECT_FLOAT_EQ(game.scene.NearestApexDistances[1], 4725.0f + 20.0f);

    // All equally far: the three lowest numbers, in order.
    for (int a = 1; a <= 8; ++a) apexes[a] = {a % 2 ? 30.0f : -30.0f, a % 3 ? 40.0f : -40.0f, 0};
    render::FindNearestApexes(game);
    EXPECT_EQ(game.scene.NearestApexes[1], 1);
    EXPECT_EQ(game.scene.NearestApexes[2], 2);
    EXPECT_EQ(game.scene.NearestApexes[3], 3);

    // A drifted craft: the same three as a plain sort by distance would give.
    app::SceneChoice choice;
    choice.wander_frames = 777;
    auto scene = MakeScene(choice);
    render::FindNearestApexes(scene.g());
    std::array<std::pair<double, int>, 8> sorted{};
    for (int a = 1; a <= 8; ++a) {
        const Point3f& p = scene.g().glyphs.CharONFACE[0][1][a];
        const double z = p.z + 4725.0;
        sorted[static_cast<std::size_t>(a - 1)] = {std::sqrt(double(p.x) * p.x + double(p.y) * p.y + z * z), a};
    }
    std::sort(sorted.begin(), sorted.end());
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(scene.g().scene.NearestApexes[i], sorted[static_cast<std::size_t>(i - 1)].second);
}

TEST(ChooseWallOrder, TheWrittenExamples) {
    GameState game;
    EXPECT_EQ(Chosen(game, 5, 8, 6), (std::array<int, 6>{1, 2, 6, 5, 4, 3}));
    EXPECT_EQ(Chosen(game, 5, 8, 1), (std::array<int, 6>{1, 2, 6, 5, 3, 4}));
    EXPECT_EQ(Chosen(game, 5, 8, 7), (std::array<int, 6>{1, 2, 6, 5, 3, 4}));  // across the diagonal
    EXPECT_EQ(Chosen(game, 1, 2, 4), (std::array<int, 6>{2, 3, 6, 4, 5, 1}));
    EXPECT_EQ(Chosen(game, 1, 2, 5), (std::array<int, 6>{2, 3, 6, 4, 1, 5}));
}

// Every row of the table, with both neighbour thirds and every other third.
TEST(ChooseWallOrder, EveryRowFollowsTheRule) {
    GameState game;
    int rows = 0;
    for (int nearest = 1; nearest <= 8; ++nearest) {
        for (int second : ApexNeighbours[static_cast<std::size_t>(nearest)]) {
            ++rows;
            std::set<std::array<int, 6>> distinct;
            for (int third = 1; third <= 8; ++third) {
                if (third == nearest || third == second) continue;
                const auto order = Chosen(game, nearest, second, third);
                ASSERT_EQ(order, RuleOrder(nearest, second, third))
                    << "nearest " << nearest << " second " << second << " third " << third;
                auto sorted = order;
                std::sort(sorted.begin(), sorted.end());
                ASSERT_EQ(sorted, (std::array<int, 6>{1, 2, 3, 4, 5, 6}));
                distinct.insert(order);
            }
            EXPECT_EQ(distinct.size(), 2u) << "A and B orders of row " << nearest << second;
        }
    }
    EXPECT_EQ(rows, 24);
}

TEST(ChooseWallOrder, ASecondApexThatIsNoNeighbourStopsAndLeavesNoWalls) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    for (int nearest = 1; nearest <= 8; ++nearest) {
        // The apex across the wall's diagonal is never an edge neighbour.
        const int across = nearest <= 4 ? (nearest + 1) % 4 + 1 : (nearest - 4 + 1) % 4 + 5;
        ASSERT_FALSE(IsNeighbour(nearest, across));
        platform::ClearPrintedTexts(scene.w());
        platform::QueueKeys(scene.w(), "\r");
        platform::QueueConsoleLine(scene.w(), "");
        const std::string console_before = platform::ConsoleOutput(scene.w());
        const auto order = Chosen(game, nearest, across, 0);
        EXPECT_EQ(order, (std::array<int, 6>{}));
        const std::string pairs = std::to_string(nearest * 10 + ApexNeighbours[nearest][0]) + " OR " +
                                  std::to_string(nearest * 10 + ApexNeighbours[nearest][1]) + " OR " +
                                  std::to_string(nearest * 10 + ApexNeighbours[nearest][2]);
        const std::string message = "FATAL ERROR AT " + pairs + " BECAUSE SECOND DIGIT=";
        const std::string console = platform::ConsoleOutput(scene.w()).substr(console_before.size());
        if (nearest == 1) {
            EXPECT_EQ(render_test::CountTexts(scene.w(), message), 1);
            EXPECT_EQ(render_test::CountTexts(scene.w(), " <> to cont"), 1);
            EXPECT_EQ(console, "");
        } else {
            EXPECT_NE(console.find(message + " " + std::to_string(across) + " "), std::string::npos) << console;
            EXPECT_NE(console.find(" <> to cont"), std::string::npos);
        }
    }
    platform::QueueConsoleLine(scene.w(), "");
    const std::string console_before = platform::ConsoleOutput(scene.w());
    EXPECT_EQ(Chosen(game, 9, 1, 2), (std::array<int, 6>{}));
    EXPECT_NE(platform::ConsoleOutput(scene.w()).find(
                  "FATAL ERROR AT CASE NEEDING TO BE 1 TO 8, BECAUSE FIRST DIGIT= 9 ", console_before.size()),
              std::string::npos);
}

// With no order, the scene reports every position and paints no wall.
TEST(ChooseWallOrder, AFailedChoiceIsReportedByTheWallCheckAtEveryPosition) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    // Apex 1 nearest, its diagonal partner 3 second: no row for that.
    auto& apexes = game.glyphs.CharONFACE[0][1];
    for (int a = 1; a <= 8; ++a) apexes[a] = {0, 0, 1000};
    apexes[1] = {0, 0, -100};
    apexes[3] = {0, 0, -90};
    platform::QueueKeys(scene.w(), "\r\r\r\r\r\r\r");
    platform::ClearPrintedTexts(scene.w());
    render::DrawScene(game);
    EXPECT_EQ(render_test::CountTexts(scene.w(), "FATAL ERROR AT 12 OR 14 OR 15 BECAUSE SECOND DIGIT="), 1);
    EXPECT_EQ(render_test::CountTexts(scene.w(), "FATAL ERROR AT VVVVVV:  FinLabelDRAW="), 6);
    EXPECT_EQ(render_test::CountTexts(scene.w(), "<> cont"), 6);
}

}  // namespace
