// ROBO's drawing: only present sections, farthest first, in the colour table's
// colours, with the one-second right-hand and hyphen-head effects.

#include "render/robo_figure.h"

#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "render_fixture.h"

#include <gtest/gtest.h>

namespace {

using platform::Color;
using platform::Rgb;
using render_test::MakeScene;

constexpr Color kBlack = Rgb(0, 0, 0);

// Puts section s of a wall's copy on a flat square facing the viewer, so the
// test knows exactly where it lands; point 0 (the sorting point) at its centre.
void PlaceSquare(GameState& game, int wall, int s, double cx, double cy, double z, double half) {
    auto& section = game.robo.RoboONFACE[wall][s];
    section[0] = {cx, cy, z};
    section[1] = {cx - half, cy - half, z};
    section[2] = {cx + half, cy - half, z};
    section[3] = {cx + half, cy + half, z};
    section[4] = {cx - half, cy + half, z};
}

void ShowOnly(GameState& game, int wall, std::initializer_list<int> sections) {
    for (int s = 1; s <= NumRoboSections; ++s) game.robo.RoboONFACE[wall][s][-1].x = kFalse;
    for (int s : sections) game.robo.RoboONFACE[wall][s][-1].x = kTrue;
}

Color CentreOf(render_test::TestScene& scene, double cx, double cy, double z) {
    const Point2f at = render::ProjectPoint(cx, cy, z);
    return platform::PixelAt(scene.w(), at.x, at.y);
}

TEST(DrawRobo, TakenAwaySectionsAreNotDrawnAndAFullyTakenCopyDrawsNothing) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    const int width = game.screen.WindowXrange, height = game.screen.WindowYrange;
    render_test::PaintAll(scene.w(), kBlack);
    const auto empty = render_test::AllPixels(scene.w(), width, height);

    render::DrawRobo(game, 1);
    EXPECT_NE(render_test::AllPixels(scene.w(), width, height), empty) << "a whole copy paints something";

    ShowOnly(game, 1, {});
    render_test::PaintAll(scene.w(), kBlack);
    render::DrawRobo(game, 1);
    EXPECT_EQ(render_test::AllPixels(scene.w(), width, height), empty);
}

TEST(DrawRobo, RightHandLightsItsSectionsForOneSecondOnly) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    struct Lit {
        int section;
        Color normal;
        Color lit;
    };
    const Lit lit[] = {{2, Rgb(245, 245, 0), Rgb(255, 255, 255)},
                       {24, Rgb(200, 50, 0), Rgb(185, 255, 255)},
                       {32, Rgb(0, 240, 0), Rgb(220, 255, 255)},
                       {34, Rgb(180, 0, 180), Rgb(150, 255, 255)},
                       {64, Rgb(200, 50, 0), Rgb(185, 255, 255)},
                       {3, Rgb(245, 245, 0), Rgb(245, 245, 0)}};
    ShowOnly(game, 1, {2, 24, 32, 34, 64, 3});
    for (int i = 0; i < 6; ++i) PlaceSquare(game, 1, lit[i].section, -250 + 100 * i, 0, -300, 30);

    // The second runs across midnight, where the clock starts again from 0.
    const double start = 86400.0 - 0.5;
    game.robo.ShowRightHand = true;
    game.robo.ShowRightHandAt = start;
    for (double after : {0.0, 0.9, 1.2}) {
        platform::SetClock(scene.w(), start + after);
        render_test::PaintAll(scene.w(), kBlack);
        render::DrawRobo(game, 1);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(CentreOf(scene, -250 + 100 * i, 0, -300), after < 1.0 ? lit[i].lit : lit[i].normal)
                << "section " << lit[i].section << " at " << after << " s";
        }
    }
    EXPECT_FALSE(game.robo.ShowRightHand);
}

TEST(DrawRobo, HyphenHeadHatchesItsSectionsUntilItExpires) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    ShowOnly(game, 1, {1, 8, 30, 5});
    const int sections[] = {1, 8, 30, 5};
    for (int i = 0; i < 4; ++i) PlaceSquare(game, 1, sections[i], -240 + 160 * i, 0, -300, 50);

    const double start = 86400.0 - 1.0;  // lit in the last second before midnight, out after it
    game.robo.ShowHyphenHead = true;
    game.robo.ShowHyphenHeadAt = start;
    for (double after : {0.5, 1.5}) {
        platform::SetClock(scene.w(), start + after);
        render_test::PaintAll(scene.w(), kBlack);
        render::DrawRobo(game, 1);
        for (int i = 0; i < 4; ++i) {
            // Inside the square: are whole rows, whole columns uniform? Is any of it unpainted?
            const Point2f c = render::ProjectPoint(-240 + 160 * i, 0, -300);
            bool rows_uniform = true, columns_uniform = true, any_black = false, any_paint = false;
            for (int a = -30; a <= 30; ++a) {
                for (int b = -30; b <= 30; ++b) {
                    const Color here = platform::PixelAt(scene.w(), c.x + b, c.y + a);
                    rows_uniform = rows_uniform && here == platform::PixelAt(scene.w(), c.x - 30, c.y + a);
                    columns_uniform = columns_uniform && here == platform::PixelAt(scene.w(), c.x + b, c.y - 30);
                    (here == kBlack ? any_black : any_paint) = true;
                }
            }
            const bool hatched = after < 1.0 && sections[i] != 5;
            EXPECT_TRUE(any_paint) << "section " << sections[i];
            EXPECT_EQ(any_black, hatched) << "section " << sections[i] << " at " << after << " s";
            if (!hatched) continue;
            if (sections[i] == 1) {
                EXPECT_TRUE(rows_uniform && !columns_uniform) << "horizontal hatch";
            } else if (sections[i] == 8) {
                EXPECT_TRUE(columns_uniform && !rows_uniform) << "vertical hatch";
            } else {
                EXPECT_FALSE(rows_uniform || columns_uniform) << "crossed hatch";
            }
        }
    }
    EXPECT_FALSE(game.robo.ShowHyphenHead);
}

TEST(DrawRobo, FarthestSectionsFirstAndEqualDistancesInAscendingOrder) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    ShowOnly(game, 1, {5, 6});
    const Color yellow = Rgb(245, 245, 0), green = Rgb(0, 240, 0);

    // Equally far: 6 after 5, so 6 shows.
    PlaceSquare(game, 1, 5, 0, 0, -300, 40);
    PlaceSquare(game, 1, 6, 0, 0, -300, 40);
    render::DrawRobo(game, 1);
    EXPECT_EQ(CentreOf(scene, 0, 0, -300), green);

    // 5's sorting point nearer the eye: 5 is painted last.
    game.robo.RoboONFACE[1][5][0].z = -310;
    render::DrawRobo(game, 1);
    EXPECT_EQ(CentreOf(scene, 0, 0, -300), yellow);

    // The working lists: distances never rise along the order, ties keep ascending numbers.
    for (int s = 1; s <= NumRoboSections; ++s) game.robo.RoboONFACE[1][s][0] = {0, 0, static_cast<double>(s % 5)};
    render::DrawRobo(game, 1);
    for (int k = 1; k < NumRoboSections; ++k) {
        const double here = game.scene.RoboDistance[k], next = game.scene.RoboDistance[k + 1];
        ASSERT_GE(here, next);
        if (here == next) {
            ASSERT_LT(game.scene.RoboOrder[k], game.scene.RoboOrder[k + 1]);
        }
    }
    EXPECT_EQ(game.scene.RoboOrder[1], 4);   // z = 4 is the farthest; 4 the lowest such section
    EXPECT_EQ(game.scene.RoboOrder[NumRoboSections], 65);  // z = 0, the highest such section last
}

TEST(RoboSectionColor, EverySectionHasItsTableColourAndNoOtherNumberHasOne) {
    // One section from every row of the table, with its lit colour.
    struct Row {
        int section;
        Color normal;
        Color lit;
    };
    const Row rows[] = {
        {43, Rgb(190, 180, 60), Rgb(190, 180, 60)}, {2, Rgb(245, 245, 0), Rgb(255, 255, 255)},
        {4, Rgb(245, 245, 0), Rgb(245, 245, 0)},    {55, Rgb(0, 240, 0), Rgb(0, 240, 0)},
        {32, Rgb(0, 240, 0), Rgb(220, 255, 255)},   {66, Rgb(200, 50, 0), Rgb(200, 50, 0)},
        {64, Rgb(200, 50, 0), Rgb(185, 255, 255)},  {11, Rgb(0, 220, 0), Rgb(0, 220, 0)},
        {60, Rgb(160, 0, 160), Rgb(160, 0, 160)},   {57, Rgb(230, 10, 0), Rgb(230, 10, 0)},
        {35, Rgb(180, 0, 180), Rgb(180, 0, 180)},   {34, Rgb(180, 0, 180), Rgb(150, 255, 255)},
        {68, Rgb(140, 0, 140), Rgb(140, 0, 140)},   {30, Rgb(30, 255, 25), Rgb(30, 255, 25)},
        {47, Rgb(0, 0, 230), Rgb(0, 0, 230)},
    };
    for (const Row& row : rows) {
        Color normal = -1, lit = -1;
        ASSERT_TRUE(render::RoboSectionColor(row.section, false, normal));
        ASSERT_TRUE(render::RoboSectionColor(row.section, true, lit));
        EXPECT_EQ(normal, row.normal) << row.section;
        EXPECT_EQ(lit, row.lit) << row.section;
    }
    // Exactly five sections change with the right hand.
    int changing = 0;
    for (int s = 1; s <= NumRoboSections; ++s) {
        Color normal = -1, lit = -1;
        ASSERT_TRUE(render::RoboSectionColor(s, false, normal)) << s;
        ASSERT_TRUE(render::RoboSectionColor(s, true, lit)) << s;
        changing += normal != lit;
    }
    EXPECT_EQ(changing, 5);
    Color untouched = 7;
    EXPECT_FALSE(render::RoboSectionColor(0, false, untouched));
    EXPECT_FALSE(render::RoboSectionColor(70, false, untouched));
    EXPECT_EQ(untouched, 7);
}

}  // namespace
