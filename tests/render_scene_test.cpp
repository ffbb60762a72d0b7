// The whole picture: sky, status texts, keystroke counts, key echo, the looks
// rule, the marker and ROBO's place among the walls; and the fast star path
// against the plain one.

#include "render/scene.h"

#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "render/sky.h"
#include "render_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using platform::Color;
using platform::Rgb;
using render_test::MakeScene;
using render_test::Polygon;

constexpr Color kBlack = Rgb(0, 0, 0);
constexpr Color kWhite = Rgb(255, 255, 255);

const platform::PrintedText* FindText(const platform::Platform& window, const std::string& text) {
    for (const auto& printed : platform::PrintedTexts(window)) {
        if (printed.text == text) return &printed;
    }
    return nullptr;
}

// The band along the bottom of the window: below the craft and its ROBO on
// wall 1, outside every frame and text. Only the sky paints there.
int CountBottomBand(const platform::Platform& window, const Screen& screen, Color wanted, bool match) {
    int count = 0;
    for (int y = -screen.HalfHeight + 2; y < -screen.HalfHeight + 150; ++y) {
        for (int x = -screen.HalfWidth + 2; x < screen.HalfWidth - 2; ++x) {
            const bool same = platform::PixelAt(window, static_cast<float>(x), static_cast<float>(y)) == wanted;
            count += same == match;
        }
    }
    return count;
}

// -- Looks --

TEST(DrawScene, LooksFollowTheMenuBeforeAndAfterArrivalWhileTheEtudeRuns) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    game.etude.FacesDone = 2;
    game.settings.BeforeArrivalLook = 1;
    game.settings.AfterArrivalLook = 4;
    for (int w = 1; w <= 6; ++w) game.scene.FaceLook[w][1] = (w == 1 || w == 3) ? kTrue : kFalse;
    render::DrawScene(game);
    for (int w = 1; w <= 6; ++w) EXPECT_EQ(game.scene.FaceLook[w][0], (w == 1 || w == 3) ? 4 : 1) << "wall " << w;
    // Wall 1 faces the viewer and is see-through: no red inside it but its letter's contour.
    const Polygon wall_section = render_test::ProjectedSection(game, 1, 1);
    int red = 0, inside = 0;
    for (const auto& s : render_test::SamplePoints({wall_section}, {wall_section}, 8, 6)) {
        if (s.section == 0) continue;
        ++inside;
        red += platform::PixelAt(scene.w(), s.x, s.y) == Rgb(255, 0, 0);
    }
    EXPECT_GT(inside, 50);
    EXPECT_EQ(red, 0);

    // Once all six walls are done the looks are left to the look keys.
    game.etude.FacesDone = 6;
    for (int w = 1; w <= 6; ++w) game.scene.FaceLook[w][0] = static_cast<std::int16_t>(w - 1);
    render::DrawScene(game);
    for (int w = 1; w <= 6; ++w) EXPECT_EQ(game.scene.FaceLook[w][0], w - 1);
}

TEST(DrawScene, RoboOnTheNearWallStandsInFrontOfIt) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    game.settings.BeforeArrivalLook = 1;
    game.settings.AfterArrivalLook = 1;
    const Point3d centre = game.robo.RoboONFACE[1][31][0];  // a navy plate in front of wall 1
    const Point2f at = render::ProjectPoint(centre.x, centre.y, centre.z);
    render::DrawScene(game);
    EXPECT_EQ(platform::PixelAt(scene.w(), at.x, at.y), Rgb(0, 0, 230));
    game.scene.FaceLook[1][1] = kFalse;  // not arrived: no ROBO, the wall's own colours show
    render::DrawScene(game);
    const Color bare = platform::PixelAt(scene.w(), at.x, at.y);
    EXPECT_TRUE(bare == Rgb(255, 0, 0) || bare == kWhite) << std::hex << bare;
}

// -- Sky --

TEST(DrawSky, ModeZeroPaintsNoStarsAndTheTableModesDo) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    game.sky.SkyMode = 0;
    render::DrawScene(game);
    EXPECT_EQ(CountBottomBand(scene.w(), game.screen, kBlack, false), 0);
    EXPECT_EQ(game.sky.StarPhase, 1.0);

    int previous = 0;
    for (int mode = 1; mode <= 4; ++mode) {
        game.sky.SkyMode = static_cast<std::int16_t>(mode);
        game.sky.StarPhase = 1.0;
        render::DrawScene(game);
        const int lit = CountBottomBand(scene.w(), game.screen, kBlack, false);
        EXPECT_GT(lit, previous) << "mode " << mode << " shows more stars";
        previous = lit;
        const int stars[] = {200, 500, 1000, 1500};
        double phase = 1.0;
        for (int n = 0; n < stars[mode - 1]; ++n) phase += game.sky.StarPhaseStep;
        EXPECT_EQ(game.sky.StarPhase, phase) << "one growth step per star";
    }
}

TEST(DrawSky, NewStarModesScatterFreshPaleStarsEveryFrame) {
    app::SceneChoice choice;
    choice.width = 3840;
    choice.height = 2160;
    auto scene = MakeScene(choice);
    GameState& game = scene.g();
    const Color pale = Rgb(255, 255, 120);
    game.sky.SkyMode = 6;
    platform::RandomState expected = game.random;
    for (int n = 0; n < 1000; ++n) platform::RandomInteger(expected, 0, 1);

    render::DrawScene(game);
    EXPECT_EQ(game.random.state, expected.state) << "500 stars, two draws each";
    EXPECT_EQ(game.sky.StarPhase, 1.0);
    const int first = CountBottomBand(scene.w(), game.screen, pale, true);
    EXPECT_GT(first, 10);
    EXPECT_EQ(CountBottomBand(scene.w(), game.screen, kBlack, false), first) << "only pale stars in the sky";

    const auto before = render_test::AllPixels(scene.w(), 3840, 2160);
    render::DrawScene(game);
    EXPECT_NE(render_test::AllPixels(scene.w(), 3840, 2160), before) << "a new scatter";
}

TEST(StarHiddenByFrame, OnlyDiscsWhollyUnderTheFrameAreHidden) {
    Screen screen;
    render::ComputeScreenMetricsFor(screen, 1920, 1080);
    const double left = screen.LayoutX[3], right = screen.LayoutX[18];
    const double top = screen.LayoutY[3], bottom = screen.LayoutY[16];
    const double mid_x = (left + right) / 2, mid_y = (top + bottom) / 2;
    EXPECT_TRUE(render::StarHiddenByFrame(screen, mid_x, mid_y, 5));
    EXPECT_FALSE(render::StarHiddenByFrame(screen, left - 10, mid_y, 1));
    EXPECT_FALSE(render::StarHiddenByFrame(screen, left + 1, mid_y, 0)) << "on the outline";
    EXPECT_FALSE(render::StarHiddenByFrame(screen, mid_x, top - 3, 2)) << "reaches past the top edge";
    EXPECT_TRUE(render::StarHiddenByFrame(screen, mid_x, top - 10, 2));
    EXPECT_TRUE(render::StarHiddenByFrame(screen, left + 2.5, mid_y, 0)) << "along a straight edge";
    EXPECT_FALSE(render::StarHiddenByFrame(screen, left + 2.5, top - 2.5, 0)) << "in the rounded-off corner";
    EXPECT_FALSE(render::StarHiddenByFrame(screen, mid_x, mid_y, 1000)) << "larger than the frame";
}

// The fast path skips stars under the frame: the picture, the growth and the
// random numbers must come out exactly as when every star is painted.
TEST(DrawSky, SkippingHiddenStarsLeavesThePictureAndStateUnchanged) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    const Screen& screen = game.screen;
    const int width = screen.WindowXrange, height = screen.WindowYrange;

    // Stars around the frame's edges and corners, at every small distance
    // inside and outside, on top of the random ones.
    const int x1 = screen.LayoutX[3], x2 = screen.LayoutX[18], y1 = screen.LayoutY[3], y2 = screen.LayoutY[16];
    int n = 1;
    auto put = [&](int x, int y, int size) {
        if (n > 1500) return;
        game.sky.StarTable[1][n] = static_cast<std::int16_t>(x);
        game.sky.StarTable[2][n] = static_cast<std::int16_t>(y);
        game.sky.StarTable[4][n] = static_cast<std::int16_t>(size);
        ++n;
    };
    for (int d = -4; d <= 9; ++d) {
        for (int t = 0; t <= 16; ++t) {
            const int size = (d + t) % 3;
            put(x1 + d, y2 + (y1 - y2) * t / 16, size);
            put(x2 - d, y2 + (y1 - y2) * t / 16, size);
            put(x1 + (x2 - x1) * t / 16, y1 - d, size);
            put(x1 + (x2 - x1) * t / 16, y2 + d, size);
        }
        for (int e = 0; e <= 12; e += 2) put(x1 + d + e, y1 - d, 1), put(x2 - d - e, y2 + d, 1);
    }

    for (double phase : {1.0, 6.0}) {
        for (int mode = 1; mode <= 8; ++mode) {
            game.sky.SkyMode = static_cast<std::int16_t>(mode);
            game.sky.StarPhase = phase;
            const GameState before = game;

            render::DrawSceneWith(game, render::StarPainting::SkipHidden);
            const auto fast = render_test::AllPixels(scene.w(), width, height);
            const GameState fast_state = game;

            game = before;
            render::DrawSceneWith(game, render::StarPainting::PaintAll);
            const auto plain = render_test::AllPixels(scene.w(), width, height);

            ASSERT_EQ(fast, plain) << "mode " << mode << " phase " << phase;
            EXPECT_EQ(fast_state.sky.StarPhase, game.sky.StarPhase);
            EXPECT_EQ(fast_state.random.state, game.random.state);
            game = before;
        }
    }

    // And the fast path does skip: the frame hides a share of the stars.
    game.sky.SkyMode = 4;
    const GameState before = game;
    platform::GraphicClear(scene.w());
    const int fast_count = render::DrawSky(game, render::StarPainting::SkipHidden);
    game = before;
    EXPECT_EQ(render::DrawSky(game, render::StarPainting::PaintAll), 1500);
    EXPECT_LT(fast_count, 1400);
}

// -- Texts --

TEST(DrawScene, StatusShowsTheRunningTimeFromTheFirstPicture) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    const Screen& screen = game.screen;
    // The etude starts just before midnight, at a reading single precision rounds
    // up, and its clock runs on past midnight.
    platform::SetClock(scene.w(), 86400.0 - 4.3);
    const double start = platform::Timer(scene.w());
    render::DrawScene(game);
    EXPECT_EQ(game.etude.EtudeStartTime, static_cast<float>(start));
    const auto* shown = FindText(scene.w(), "    0");
    ASSERT_NE(shown, nullptr);
    EXPECT_NEAR(shown->x, screen.LayoutX[5] + 18 * screen.WindowScale, 1.0);
    EXPECT_NEAR(shown->y, screen.LayoutY[13] - 9 * screen.WindowScale, 1.0);
    EXPECT_EQ(shown->color, kWhite);
    EXPECT_EQ(shown->font_face, "VERDANA");
    EXPECT_EQ(shown->font_points, 10);  // 0.7 x 15 = 10.5, to the even 10

    platform::AdvanceClock(scene.w(), 12.4);
    platform::ClearPrintedTexts(scene.w());
    render::DrawScene(game);
    EXPECT_EQ(game.etude.EtudeStartTime, static_cast<float>(start)) << "set once";
    EXPECT_NE(FindText(scene.w(), "   12"), nullptr);
}

TEST(DrawScene, StatusShowsTheDurationAndVerdictOnceFinished) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    game.etude.Duration = 12.5f;
    game.etude.FacesDone = 6;
    struct Case {
        int extra;
        const char* line;
    };
    for (const Case c : {Case{0, "  Game WON because 0 excess moves"}, Case{1, "  Game LOST because 1 excess move"},
                         Case{3, "  Game LOST because  3  excess moves"},
                         Case{-2, "  Game LOST because -2  excess moves"}}) {
        for (int w = 1; w <= 6; ++w) {
            game.etude.FaceKeyStrokes[w][0] = static_cast<std::int16_t>(w % 3 + 1);
            game.etude.FaceKeyStrokes[w][1] = static_cast<std::int16_t>(w % 3 + 1 + (w == 4 ? c.extra : 0));
        }
        platform::ClearPrintedTexts(scene.w());
        render::DrawScene(game);
        const auto& texts = platform::PrintedTexts(scene.w());
        ASSERT_GE(texts.size(), 2u);
        EXPECT_EQ(texts[0].text, "   12");  // 12.5 to the even 12
        EXPECT_EQ(texts[1].text, c.line);
        EXPECT_EQ(render::VerdictLine(c.extra), c.line);
    }
    EXPECT_EQ(game.etude.EtudeStartTime, 0.0f) << "a finished etude's clock is not started";
}

TEST(DrawScene, KeystrokeCountsSitUnderTheirWallsInTheWallsColours) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    const Screen& screen = game.screen;
    for (int w = 1; w <= 6; ++w) {
        game.etude.FaceKeyStrokes[w][0] = static_cast<std::int16_t>(w);
        game.etude.FaceKeyStrokes[w][1] = static_cast<std::int16_t>(10 + w);
    }
    platform::ClearPrintedTexts(scene.w());
    render::DrawScene(game);
    const Color colours[] = {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255),
                             Rgb(249, 249, 0), Rgb(255, 0, 255), Rgb(0, 255, 255)};
    for (int k = 0; k <= 1; ++k) {
        for (int w = 1; w <= 6; ++w) {
            const auto* count = FindText(scene.w(), " " + std::to_string(k * 10 + w) + " ");
            ASSERT_NE(count, nullptr) << "wall " << w << " row " << k;
            EXPECT_EQ(count->color, colours[w - 1]);
            EXPECT_EQ(count->font_points, 13);  // 0.7 x 18 = 12.6
            EXPECT_NEAR(count->x, screen.LayoutX[4] + 60 / 3.5 + (w - 1) * 67, 1.0);
            EXPECT_NEAR(count->y, screen.LayoutY[8] - k * 39, 1.0);
        }
    }

    // On laptop screens the performance table, drawn after the counts, must
    // leave wall 1's counts in sight: some red of each is still on screen.
    for (const auto& [width, height] : {std::pair{1280, 720}, std::pair{1024, 768}}) {
        app::SceneChoice choice;
        choice.width = width;
        choice.height = height;
        auto small = MakeScene(choice);
        small.g().sky.SkyMode = 0;
        small.g().etude.FaceKeyStrokes[1][0] = 3;
        small.g().etude.FaceKeyStrokes[1][1] = 7;
        platform::ClearPrintedTexts(small.w());
        render::DrawScene(small.g());
        for (const char* text : {" 3 ", " 7 "}) {
            const auto* count = FindText(small.w(), text);
            ASSERT_NE(count, nullptr) << width;
            int red = 0;
            for (float dy = 0; dy < 12; ++dy) {
                for (float dx = 0; dx < 20; ++dx) {
                    const Color here = platform::PixelAt(small.w(), count->x + dx, count->y - dy);
                    red += (here >> 16) > 128 && ((here >> 8) & 255) < 64 && (here & 255) < 64;
                }
            }
            EXPECT_GT(red, 3) << "wall 1's count" << text << "at " << width << "x" << height;
        }
    }
}

TEST(DrawScene, KeyEchoLastsTwoSeconds) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    const Screen& screen = game.screen;
    game.play.KeyShown = "Z";
    game.play.KeyShownAt = platform::Timer(scene.w());
    platform::ClearPrintedTexts(scene.w());
    render::DrawScene(game);
    const auto* echo = FindText(scene.w(), "Z");
    ASSERT_NE(echo, nullptr);
    EXPECT_NEAR(echo->x, screen.LayoutX[16] - 30 * screen.WindowScale, 1.0);
    EXPECT_NEAR(echo->y, screen.LayoutY[13] - 9 * screen.WindowScale, 1.0);
    EXPECT_EQ(echo->font_points, 9);  // 0.7 x 13 = 9.1

    platform::AdvanceClock(scene.w(), 1.9);
    platform::ClearPrintedTexts(scene.w());
    render::DrawScene(game);
    EXPECT_NE(FindText(scene.w(), "Z"), nullptr);

    platform::AdvanceClock(scene.w(), 0.2);
    platform::ClearPrintedTexts(scene.w());
    render::DrawScene(game);
    EXPECT_EQ(FindText(scene.w(), "Z"), nullptr);
    EXPECT_EQ(game.play.KeyShown, "");

    // A key no command took has no time: gone at the next picture.
    game.play.KeyShown = "?";
    game.play.KeyShownAt = 0;
    platform::ClearPrintedTexts(scene.w());
    render::DrawScene(game);
    EXPECT_EQ(FindText(scene.w(), "?"), nullptr);

    // The clock starts again from 0 at midnight; two seconds still end.
    game.play.KeyShown = "Z";
    platform::SetClock(scene.w(), 86400.0 - 1.0);
    game.play.KeyShownAt = platform::Timer(scene.w());
    platform::AdvanceClock(scene.w(), 2.1);
    platform::ClearPrintedTexts(scene.w());
    render::DrawScene(game);
    EXPECT_EQ(FindText(scene.w(), "Z"), nullptr);
}

// -- Marker --

TEST(DrawMarker, RingAndSpokesInWhite) {
    auto scene = MakeScene();
    GameState& game = scene.g();
    render_test::PaintAll(scene.w(), kBlack);
    render::DrawMarker(game);
    const auto& marker = game.wander.WanderMarker;
    auto projected = [&](int p) { return render::ProjectPoint(marker[p].x, marker[p].y, marker[p].z); };
    for (int p = 1; p <= 8; ++p) {
        const Point2f a = projected(p), b = projected(p % 8 + 1), tip = projected(9);
        EXPECT_EQ(platform::PixelAt(scene.w(), (a.x + b.x) / 2, (a.y + b.y) / 2), kWhite) << "ring " << p;
        EXPECT_EQ(platform::PixelAt(scene.w(), (a.x + tip.x) / 2, (a.y + tip.y) / 2), kWhite) << "spoke " << p;
    }
    EXPECT_EQ(platform::PixelAt(scene.w(), 200, 200), kBlack);
}

}  // namespace
