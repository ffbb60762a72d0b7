#include "render/scene.h"

#include "platform/platform.h"
#include "platform/text_forms.h"
#include "records/number_masks.h"
#include "records/report.h"
#include "render/draw_helpers.h"
#include "render/robo_figure.h"
#include "render/wall.h"
#include "render/wall_order.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace render {

namespace {

// The fixed wall colours: red, green, blue, yellow, purple, cyan.
constexpr std::array<std::array<std::int16_t, 3>, 6> kWallColors = {{
    {255, 0, 0},
    {0, 255, 0},
    {0, 0, 255},
    {249, 249, 0},
    {255, 0, 255},
    {0, 255, 255},
}};

constexpr const char* kSceneFace = "VERDANA";
constexpr std::string_view kTimeMask = "####0";

// Room for the longest verdict line: the LOST text around the print form of
// any 32-bit excess.
using VerdictBuffer = std::array<char, 64>;

// The verdict line, written into a buffer the caller keeps, so that the frame
// that shows it allocates nothing.
std::string_view VerdictText(int excess, VerdictBuffer& buffer) {
    if (excess == 0) return "  Game WON because 0 excess moves";
    if (excess == 1) return "  Game LOST because 1 excess move";
    // The excess in the window's print form: a sign position and a trailing blank.
    const std::string number = platform::PrintForm(excess, false);
    constexpr std::string_view head = "  Game LOST because ";
    constexpr std::string_view tail = " excess moves";
    std::size_t length = 0;
    for (std::string_view part : {head, std::string_view(number), tail}) {
        const std::size_t take = std::min(part.size(), buffer.size() - length);
        std::memcpy(buffer.data() + length, part.data(), take);
        length += take;
    }
    return std::string_view(buffer.data(), length);
}

// -- Frames and texts --

void DrawFrames(GameState& game) {
    platform::Platform& platform = *game.platform;
    const Screen& screen = game.screen;
    // The main frame's black fill hides the stars inside it: only the margin
    // keeps its sky.
    platform::GraphicSetPenWidth(platform, Scaled(screen, 3));
    platform::GraphicBox(platform, screen.LayoutX[3], screen.LayoutY[3], screen.LayoutX[18], screen.LayoutY[16], 2,
                         kRed, kBlack, platform::FillStyle::Solid);
    platform::GraphicSetPenWidth(platform, Scaled(screen, 2));
    platform::GraphicBox(platform, screen.LayoutX[5], screen.LayoutY[13], screen.LayoutX[16], screen.LayoutY[14], 7,
                         kRed, kBlack, platform::FillStyle::Solid);
    platform::GraphicSetPenWidth(platform, 1);
}

// The running time while the etude lasts; once it is over, its duration and
// the verdict.
void DrawStatusText(const GameState& game) {
    platform::Platform& platform = *game.platform;
    const Screen& screen = game.screen;
    const Etude& etude = game.etude;
    platform::GraphicSetColor(platform, kWhite, platform::kUnchanged);
    platform::SetGameFont(platform, kSceneFace, FontPoints(screen, 15));
    platform::GraphicSetPos(platform, static_cast<float>(screen.LayoutX[5] + ScaledExact(screen, 18)),
                            static_cast<float>(screen.LayoutY[13] - ScaledExact(screen, 9)));
    if (etude.Duration > 0.001f) {
        platform::GraphicPrintText(platform, records::FormatWithMask(etude.Duration, kTimeMask));
        int excess = 0;
        for (int f = 1; f <= NumFaces; ++f) excess += etude.FaceKeyStrokes[f][1] - etude.FaceKeyStrokes[f][0];
        VerdictBuffer buffer;
        platform::GraphicPrintText(platform, VerdictText(excess, buffer));
    } else {
        const double running = platform::SecondsSince(platform, etude.EtudeStartTime);
        platform::GraphicPrintText(platform, records::FormatWithMask(running, kTimeMask));
    }
    platform::GraphicNewLine(platform);
}

// A record that was not kept, or a player file that cannot be read, is told
// just below the frame of the status bar, where the verdict is read.
void DrawFileTrouble(const GameState& game) {
    if (game.history.FileTrouble.empty()) return;
    constexpr platform::Color kFileTroubleText = platform::Rgb(255, 150, 0);
    platform::Platform& platform = *game.platform;
    const Screen& screen = game.screen;
    platform::GraphicSetColor(platform, kFileTroubleText, platform::kUnchanged);
    platform::SetGameFont(platform, kSceneFace, FontPoints(screen, 13));
    platform::GraphicSetPos(platform, static_cast<float>(screen.LayoutX[5] + ScaledExact(screen, 18)),
                            static_cast<float>(screen.LayoutY[16] - ScaledExact(screen, 12)));
    platform::GraphicPrintText(platform, game.history.FileTrouble);
}

// Expected presses in the upper row, observed presses below, each under its
// wall's cell and in its wall's colour.
void DrawKeyStrokeCounts(const GameState& game) {
    platform::Platform& platform = *game.platform;
    const Screen& screen = game.screen;
    const int cell = Scaled(screen, 120);
    const int gap = Scaled(screen, 14);
    const int row_step = Scaled(screen, 14) + Scaled(screen, 64);
    platform::SetGameFont(platform, kSceneFace, FontPoints(screen, 18));
    for (int k = 0; k <= 1; ++k) {
        for (int f = 1; f <= NumFaces; ++f) {
            platform::GraphicSetColor(platform, WallColor(game, f), platform::kUnchanged);
            const double x = screen.LayoutX[4] + cell / 3.5 + (f - 1) * (gap + cell);
            const double y = screen.LayoutY[8] - k * row_step;
            platform::GraphicSetPos(platform, static_cast<float>(x), static_cast<float>(y));
            platform::GraphicPrintNumber(platform, game.etude.FaceKeyStrokes[f][k]);
            platform::GraphicNewLine(platform);
        }
        platform::GraphicNewLine(platform);
    }
}

// The last key pressed, shown for two seconds in the status bar.
void DrawKeyEcho(const GameState& game) {
    platform::Platform& platform = *game.platform;
    const Screen& screen = game.screen;
    const Play& play = game.play;
    if (play.KeyShown.empty()) return;
    platform::GraphicSetColor(platform, kWhite, platform::kUnchanged);
    platform::GraphicSetPos(platform, static_cast<float>(screen.LayoutX[16] - ScaledExact(screen, 30)),
                            static_cast<float>(screen.LayoutY[13] - ScaledExact(screen, 9)));
    platform::SetGameFont(platform, kSceneFace, FontPoints(screen, 13));
    platform::GraphicPrintText(platform, play.KeyShown);
}

// -- Walls --

// A position of the order that holds no wall number is reported and left
// empty: there is no colour and no letter to paint for it.
bool CheckWall(GameState& game, int wall) {
    if (wall >= 1 && wall <= NumFaces) return true;
    platform::Platform& platform = *game.platform;
    platform::GraphicPrintText(platform, "FATAL ERROR AT VVVVVV:  FinLabelDRAW=");
    platform::GraphicPrintNumber(platform, wall);
    platform::GraphicNewLine(platform);
    platform::GraphicPrintText(platform, "<> cont");
    platform::GraphicLineInput(platform);
    return false;
}

// A wall of the painting order that ROBO has reached; false for a position
// that holds no wall number.
bool RoboArrived(const GameState& game, int position) {
    const int wall = game.scene.DrawCharFacesInThisORDER[position];
    return wall >= 1 && wall <= NumFaces && game.scene.FaceLook[wall][1] != kFalse;
}

void DrawWallsInOrder(GameState& game) {
    const Scene& scene = game.scene;
    for (int p = 1; p <= 6; ++p) {
        const int wall = scene.DrawCharFacesInThisORDER[p];
        // The marker sits inside the craft: over the three far walls, under the near ones.
        if (p == 4) DrawMarker(game);
        const bool arrived = RoboArrived(game, p);
        // A ROBO beyond a far wall is painted first and seen through that wall.
        if (p <= 3 && arrived) PaintRobo(game, wall);
        if (!CheckWall(game, wall)) continue;
        DrawWall(game, wall);
        // A ROBO beyond a near wall stands in front of it.
        if (p >= 4 && arrived) PaintRobo(game, wall);
    }
}

}  // namespace

// -- Pass set-up --

void BuildFaceColors(GameState& game) {
    for (int w = 1; w <= NumFaces; ++w) {
        for (int c = 1; c <= 3; ++c) {
            game.scene.FaceColor[w][c] = kWallColors[static_cast<std::size_t>(w - 1)][static_cast<std::size_t>(c - 1)];
        }
    }
}

void ResetFaceLooks(GameState& game) {
    for (int w = 1; w <= NumFaces; ++w) {
        game.scene.FaceLook[w][0] = 3;
        game.scene.FaceLook[w][1] = w == 1 ? kTrue : kFalse;
    }
}


// -- Marker --

// A flat four-pointed star with a tip above and below its centre: it turns
// faster than the craft and shows the drift at a glance.
void DrawMarker(const GameState& game) {
    if (game.platform == nullptr) return;
    platform::Platform& platform = *game.platform;
    std::array<platform::PointF, 11> at{};
    for (int p = 1; p <= 10; ++p) {
        const Point3f& point = game.wander.WanderMarker[p];
        at[static_cast<std::size_t>(p)] = Projected(point.x, point.y, point.z);
    }
    platform::GraphicSetPenWidth(platform, 1);
    platform::GraphicSetPixel(platform, at[8].x, at[8].y, kWhite);
    platform::GraphicSetPos(platform, at[8].x, at[8].y);
    for (std::size_t p = 1; p <= 8; ++p) platform::GraphicLineTo(platform, at[p].x, at[p].y, kWhite);
    for (std::size_t p = 1; p <= 8; ++p) {
        platform::GraphicSetPos(platform, at[9].x, at[9].y);
        platform::GraphicLineTo(platform, at[p].x, at[p].y, kWhite);
        platform::GraphicLineTo(platform, at[10].x, at[10].y, kWhite);
    }
}

std::string VerdictLine(int excess) {
    VerdictBuffer buffer;
    return std::string(VerdictText(excess, buffer));
}

// -- The frame's changes to the state --

void PrepareCraft(GameState& game) {
    if (game.platform == nullptr) return;
    FindNearestApexes(game);
    ChooseWallOrder(game);
    // While the etude runs the looks follow the menu's choices, the walls ROBO
    // has reached taking the after-arrival look; once the etude is over the
    // look keys have the walls to themselves.
    Scene& scene = game.scene;
    if (game.etude.FacesDone < 6) {
        for (int w = 1; w <= NumFaces; ++w) scene.FaceLook[w][0] = game.settings.BeforeArrivalLook;
        for (int p = 1; p <= 6; ++p) {
            if (RoboArrived(game, p)) scene.FaceLook[scene.DrawCharFacesInThisORDER[p]][0] = game.settings.AfterArrivalLook;
        }
    }
    // The effects end in the frames that paint a ROBO.
    bool any_robo = false;
    for (int p = 1; p <= 6; ++p) any_robo = any_robo || RoboArrived(game, p);
    if (any_robo) ExpireEffects(game);
}

void AdvanceSceneFrame(GameState& game) {
    if (game.platform == nullptr) return;
    platform::Platform& platform = *game.platform;
    // The etude's clock starts at the first picture drawn of it.
    Etude& etude = game.etude;
    if (etude.Duration <= 0.001f && etude.EtudeStartTime == 0) {
        etude.EtudeStartTime = static_cast<float>(platform::Timer(platform));
    }
    // The key echo lasts two seconds.
    Play& play = game.play;
    if (!play.KeyShown.empty() && platform::SecondsSince(platform, play.KeyShownAt) > 2.0) play.KeyShown.clear();
    PrepareCraft(game);
}

// -- The picture --

void DrawSceneWith(GameState& game, StarPainting painting) {
    AdvanceSceneFrame(game);
    PaintScene(game, painting);
}

void PaintScene(GameState& game, StarPainting painting) {
    if (game.platform == nullptr) return;
    platform::Platform& platform = *game.platform;

    // The sky is black, whatever the menu left as background.
    platform::GraphicSetColor(platform, kWhite, kBlack);
    platform::GraphicClear(platform);
    platform::GraphicSetPenWidth(platform, 1);
    DrawSky(game, painting);
    DrawFrames(game);
    DrawStatusText(game);
    DrawFileTrouble(game);
    DrawKeyStrokeCounts(game);
    DrawKeyEcho(game);
    records::DrawPerformanceReport(game);
    PaintCraft(game);
}

void DrawCraft(GameState& game) {
    PrepareCraft(game);
    PaintCraft(game);
}

void PaintCraft(GameState& game) {
    if (game.platform == nullptr) return;
    DrawWallsInOrder(game);
}

void DrawScene(GameState& game) {
    DrawSceneWith(game, StarPainting::SkipHidden);
}

}  // namespace render
