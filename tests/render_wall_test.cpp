// One wall with its letter, by look, on the unturned craft where wall 1 faces
// the viewer squarely; and the wall's cells in the flat strip.

#include "render/wall.h"

#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "render/draw_helpers.h"
#include "render_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using platform::Color;
using platform::Rgb;
using render_test::MakeScene;
using render_test::Polygon;

constexpr Color kBackdrop = Rgb(128, 128, 128);
constexpr Color kRedWall = Rgb(255, 0, 0);
constexpr Color kWhite = Rgb(255, 255, 255);

int PaintedSections(const GameState& game, int wall) {
    return game.glyphs.SectionsPerCharacter[wall][1] - game.glyphs.SectionsPerCharacter[wall][2];
}

int LetterSections(int painted) {
    return painted == 3 ? 1 : 2;
}

// What a point well inside a section shows, by the section's role and the look.
Color Expected(bool letter, int look) {
    if (!letter) return look <= 2 ? kRedWall : kBackdrop;
    switch (look) {
        case 0: return kRedWall;
        case 1: return kWhite;
        case 3: return kRedWall;
        default: return kBackdrop;  // 2 see-through; 4 only the contour, not the inside
    }
}

// Every look of a letter with no counters (C: 3 sections), with counters
// (A: 7 sections, 2 contours) and with two counters (B: 9 sections, 3 contours).
TEST(DrawWall, EachLookPaintsTheWallAndLetterSectionsAsTheTableSays) {
    for (const std::string word : {"CRAFTS", "ARCTIC", "BRAVOS"}) {
        app::SceneChoice choice;
        choice.word = word;
        auto scene = MakeScene(choice);
        GameState& game = scene.g();
        const int painted = PaintedSections(game, 1);
        const int sections = game.glyphs.SectionsPerCharacter[1][1];
        ASSERT_EQ(painted, word[0] == 'C' ? 3 : (word[0] == 'A' ? 5 : 6)) << word;

        std::vector<Polygon> areas, everything, contours;
        for (int s = 1; s <= sections; ++s) {
            Polygon shape = render_test::ProjectedSection(game, 1, s);
            everything.push_back(shape);
            if (s <= painted) areas.push_back(shape);
            // Without counters the letter section is its own contour.
            if (s > painted || (painted == 3 && s == 3)) contours.push_back(shape);
        }
        const double margin = game.screen.OutlineWidth / 2.0 + 3;
        const auto samples = render_test::SamplePoints(areas, everything, margin, 5);
        int wall_points = 0, letter_points = 0;
        for (const auto& sample : samples) {
            if (sample.section == 0) continue;
            (sample.section > painted - LetterSections(painted) ? letter_points : wall_points)++;
        }
        ASSERT_GT(wall_points, 100) << word;
        ASSERT_GT(letter_points, 20) << word;

        for (int look = 0; look <= 4; ++look) {
            render_test::PaintAll(scene.w(), kBackdrop);
            game.scene.FaceLook[1][0] = static_cast<std::int16_t>(look);
            render::DrawWall(game, 1);
            for (const auto& sample : samples) {
                if (sample.section == 0) continue;
                const bool letter = sample.section > painted - LetterSections(painted);
                ASSERT_EQ(platform::PixelAt(scene.w(), sample.x, sample.y), Expected(letter, look))
                    << word << " look " << look << " section " << sample.section << " at " << sample.x << ","
                    << sample.y;
            }
            if (look != 4) continue;
            // Look 4 paints the contours, and only them: the edges between the
            // other sections stay unpainted.
            for (const Polygon& contour : contours) {
                for (const auto& mid : render_test::EdgeMidpoints(contour)) {
                    EXPECT_EQ(platform::PixelAt(scene.w(), mid.x, mid.y), kRedWall)
                        << word << " contour at " << mid.x << "," << mid.y;
                }
            }
            for (int s = 1; s <= painted - (painted == 3 ? 1 : 0); ++s) {
                for (const auto& mid : render_test::EdgeMidpoints(everything[static_cast<std::size_t>(s - 1)])) {
                    bool near_contour = false;
                    for (const Polygon& contour : contours) {
                        near_contour = near_contour || render_test::EdgeDistance(contour, mid.x, mid.y) < margin;
                    }
                    if (!near_contour) {
                        EXPECT_EQ(platform::PixelAt(scene.w(), mid.x, mid.y), kBackdrop)
                            << word << " section " << s << " edge at " << mid.x << "," << mid.y;
                    }
                }
            }
        }
    }
}

// An opaque wall is closed: its sections meet without a gap, so nothing of
// what lies behind shows inside the wall's outline. The drift states are ones
// where corners snapped to pixels on their own left single pixels open along
// the seams, on screens large and small.
TEST(DrawWall, AnOpaqueWallShowsNothingBehindItAlongItsSeams) {
    struct Case {
        int width, height;
        const char* word;
        int frames;
    };
    int walls_checked = 0;
    for (const Case c : {Case{3840, 2160, "BRAVOS", 873}, Case{1920, 1080, "QUERTY", 1358},
                         Case{1280, 720, "ARCTIC", 679}, Case{1024, 768, "BRAVOS", 873}}) {
        app::SceneChoice choice;
        choice.width = c.width;
        choice.height = c.height;
        choice.word = c.word;
        choice.letter_turns = {90, 0, 270, 180, 90, 0};
        choice.wander_frames = c.frames;
        choice.seed = 500.0 + c.frames;
        auto scene = MakeScene(choice);
        GameState& game = scene.g();
        const Screen& screen = game.screen;
        // User coordinates of a pixel's centre, the scale being inclusive.
        const double per_column = 2.0 * screen.HalfWidth / (screen.WindowXrange - 1);
        const double per_row = 2.0 * screen.HalfHeight / (screen.WindowYrange - 1);
        for (int wall = 1; wall <= NumFaces; ++wall) {
            // The wall's outline: its four apexes, in turn around their centre.
            Polygon outline;
            double cx = 0, cy = 0;
            for (int apex : render_test::WallApexes[static_cast<std::size_t>(wall)]) {
                const Point3f& p = game.glyphs.CharONFACE[0][1][apex];
                const Point2f at = render::ProjectPoint(p.x, p.y, p.z);
                outline.push_back({at.x, at.y});
                cx += at.x / 4, cy += at.y / 4;
            }
            std::sort(outline.begin(), outline.end(), [&](const auto& a, const auto& b) {
                return std::atan2(a.y - cy, a.x - cx) < std::atan2(b.y - cy, b.x - cx);
            });
            render_test::PaintAll(scene.w(), kBackdrop);
            game.scene.FaceLook[wall][0] = 1;  // coloured wall, white letter: nothing see-through
            render::DrawWall(game, wall);
            // Only the pixels over the outline's bounding box can be inside it.
            float left = outline[0].x, right = left, bottom = outline[0].y, top = bottom;
            for (const auto& p : outline) {
                left = std::min(left, p.x), right = std::max(right, p.x);
                bottom = std::min(bottom, p.y), top = std::max(top, p.y);
            }
            const int first_column = std::max(0, static_cast<int>((left + screen.HalfWidth) / per_column));
            const int last_column =
                std::min(screen.WindowXrange - 1, static_cast<int>((right + screen.HalfWidth) / per_column) + 1);
            const int first_row = std::max(0, static_cast<int>((screen.HalfHeight - top) / per_row));
            const int last_row =
                std::min(screen.WindowYrange - 1, static_cast<int>((screen.HalfHeight - bottom) / per_row) + 1);
            int inside = 0;
            for (int row = first_row; row <= last_row; ++row) {
                const double y = screen.HalfHeight - row * per_row;
                for (int column = first_column; column <= last_column; ++column) {
                    const double x = column * per_column - screen.HalfWidth;
                    if (!render_test::Inside(outline, x, y) || render_test::EdgeDistance(outline, x, y) < 1.5)
                        continue;
                    ++inside;
                    ASSERT_NE(platform::DevicePixelAt(scene.w(), column, row), kBackdrop)
                        << c.word << " at " << c.width << "x" << c.height << ", wall " << wall << " after "
                        << c.frames << " frames, pixel " << column << "," << row;
                }
            }
            walls_checked += inside > 500;
        }
    }
    EXPECT_GE(walls_checked, 16);
}

TEST(DrawWall, LookFourOutlineIsOutlineWidthWide) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    game.scene.FaceLook[1][0] = 4;
    render_test::PaintAll(scene.w(), kBackdrop);
    render::DrawWall(game, 1);
    const Polygon letter = render_test::ProjectedSection(game, 1, 3);
    int checked = 0;
    for (std::size_t i = 0; i < letter.size(); ++i) {
        const auto& a = letter[i];
        const auto& b = letter[(i + 1) % letter.size()];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        if (length < 30) continue;
        // Two pixels to either side of the edge's middle are still under the pen.
        const double nx = -(b.y - a.y) / length, ny = (b.x - a.x) / length;
        for (double side : {-2.0, 2.0}) {
            const double x = (a.x + b.x) / 2 + side * nx, y = (a.y + b.y) / 2 + side * ny;
            EXPECT_EQ(platform::PixelAt(scene.w(), static_cast<float>(x), static_cast<float>(y)), kRedWall);
            ++checked;
        }
    }
    EXPECT_GT(checked, 4);
    // The pen is back to one pixel for whatever is drawn next.
    render_test::PaintAll(scene.w(), kBackdrop);
    platform::GraphicSetPos(scene.w(), -100, -400);
    platform::GraphicLineTo(scene.w(), 100, -400, kWhite);
    EXPECT_EQ(platform::PixelAt(scene.w(), 0, -400), kWhite);
    EXPECT_EQ(platform::PixelAt(scene.w(), 0, -402), kBackdrop);
}

// The strip shows each letter white on its wall's colour whatever the look:
// row 1 turned to the target corner, row 2 to the matched corner once one matched.
TEST(DrawWall, StripShowsEveryLetterInRowOneAndTheMatchedCornerInRowTwo) {
    app::SceneChoice choice;
    choice.target_turns = {0, 90, 180, 270, 270, 90};
    auto scene = MakeScene(choice);
    GameState& game = scene.g();
    const int looks[] = {4, 2, 3, 0, 1, 4};

    auto check_row = [&](int wall, int turn, double row_drop, bool painted_row) {
        const int painted = PaintedSections(game, wall);
        std::vector<Polygon> shapes;
        for (int s = 1; s <= painted; ++s) shapes.push_back(render_test::StripSection(game, wall, turn, s, row_drop));
        int seen = 0;
        for (const auto& sample : render_test::SamplePoints(shapes, shapes, 1.5, 2)) {
            if (sample.section == 0) continue;
            const bool letter = sample.section > painted - LetterSections(painted);
            const Color want = !painted_row ? kBackdrop : (letter ? kWhite : render::WallColor(game, wall));
            ASSERT_EQ(platform::PixelAt(scene.w(), sample.x, sample.y), want)
                << "wall " << wall << " turn " << turn << " row drop " << row_drop << " section " << sample.section;
            ++seen;
        }
        EXPECT_GT(seen, 40) << "wall " << wall;
    };

    for (int wall = 1; wall <= 6; ++wall) {
        game.scene.FaceLook[wall][0] = static_cast<std::int16_t>(looks[wall - 1]);
        game.etude.ToeDist[wall][0] = 0;
        render_test::PaintAll(scene.w(), kBackdrop);
        render::DrawWall(game, wall);
        const int target_turn = choice.target_turns[static_cast<std::size_t>(wall - 1)] / 90 + 1;
        check_row(wall, target_turn, 60, true);
        check_row(wall, 1, 195, false);  // no corner matched: row 2 stays empty

        const int matched = wall % 4 + 1;
        game.etude.ToeDist[wall][0] = static_cast<float>(matched);
        render_test::PaintAll(scene.w(), kBackdrop);
        render::DrawWall(game, wall);
        check_row(wall, target_turn, 60, true);
        check_row(wall, matched, 195, true);
    }
}

TEST(DrawWall, AnUnknownSectionCountStopsForEverySectionAndPaintsNothing) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    game.glyphs.SectionsPerCharacter[1][2] = 1;  // C's three sections would leave two painted
    platform::QueueKeys(scene.w(), "\r\r\r");
    render_test::PaintAll(scene.w(), kBackdrop);
    platform::ClearPrintedTexts(scene.w());
    render::DrawWall(game, 1);
    EXPECT_EQ(render_test::CountTexts(scene.w(), "AT !!!!!  FATAL ERROR:  FinLabelDRAW="), 3);
    EXPECT_EQ(render_test::CountTexts(scene.w(), "  SectionsPerCharacter(FinLabelDRAW, 1)="), 3);
    for (float x = -200; x <= 200; x += 20) {
        for (float y = -200; y <= 200; y += 20) {
            ASSERT_EQ(platform::PixelAt(scene.w(), x, y), kBackdrop) << x << "," << y;
        }
    }
}

}  // namespace
