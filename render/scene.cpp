#include "render/scene.h"

#include "platform/platform.h"
#include "platform/random.h"
#include "platform/text_forms.h"
#include "records/number_masks.h"
#include "records/report.h"
#include "render/draw_helpers.h"
#include "render/robo_figure.h"
#include "render/sky.h"
#include "render/wall.h"

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
    platform::Platform& window = *game.platform;
    const Screen& screen = game.screen;
    // The main frame's black fill hides the stars inside it: only the margin
    // keeps its sky.
    platform::GraphicSetPenWidth(window, Scaled(screen, 3));
    platform::GraphicBox(window, screen.LayoutX[3], screen.LayoutY[3], screen.LayoutX[18], screen.LayoutY[16], 2,
                         kRed, kBlack, platform::FillStyle::Solid);
    platform::GraphicSetPenWidth(window, Scaled(screen, 2));
    platform::GraphicBox(window, screen.LayoutX[5], screen.LayoutY[13], screen.LayoutX[16], screen.LayoutY[14], 7,
                         kRed, kBlack, platform::FillStyle::Solid);
    platform::GraphicSetPenWidth(window, 1);
}

// The running time while the etude lasts; once it is over, its duration and
// the verdict. The etude's clock starts at the first picture drawn of it.
void DrawStatusText(GameState& game) {
    platform::Platform& window = *game.platform;
    const Screen& screen = game.screen;
    Etude& etude = game.etude;
    platform::GraphicSetColor(window, kWhite, platform::kUnchanged);
    platform::SetGameFont(window, kSceneFace, FontPoints(screen, 15));
    platform::GraphicSetPos(window, static_cast<float>(screen.LayoutX[5] + ScaledExact(screen, 18)),
                            static_cast<float>(screen.LayoutY[13] - ScaledExact(screen, 9)));
    if (etude.Duration > 0.001f) {
        platform::GraphicPrintText(window, records::FormatWithMask(etude.Duration, kTimeMask));
        int excess = 0;
        for (int f = 1; f <= NumFaces; ++f) excess += etude.FaceKeyStrokes[f][1] - etude.FaceKeyStrokes[f][0];
        VerdictBuffer buffer;
        platform::GraphicPrintText(window, VerdictText(excess, buffer));
    } else {
        if (etude.EtudeStartTime == 0) etude.EtudeStartTime = static_cast<float>(platform::Timer(window));
        const double running = platform::SecondsSince(window, etude.EtudeStartTime);
        platform::GraphicPrintText(window, records::FormatWithMask(running, kTimeMask));
    }
    platform::GraphicNewLine(window);
}

// A record that was not kept, or a player file that cannot be read, is told
// just below the frame of the status bar, where the verdict is read.
void DrawFileTrouble(GameState& game) {
    if (game.history.FileTrouble.empty()) return;
    constexpr platform::Color kFileTroubleText = platform::Rgb(255, 150, 0);
    platform::Platform& window = *game.platform;
    const Screen& screen = game.screen;
    platform::GraphicSetColor(window, kFileTroubleText, platform::kUnchanged);
    platform::SetGameFont(window, kSceneFace, FontPoints(screen, 13));
    platform::GraphicSetPos(window, static_cast<float>(screen.LayoutX[5] + ScaledExact(screen, 18)),
                            static_cast<float>(screen.LayoutY[16] - ScaledExact(screen, 12)));
    platform::GraphicPrintText(window, game.history.FileTrouble);
}

// Expected presses in the upper row, observed presses below, each under its
// wall's cell and in its wall's colour.
void DrawKeyStrokeCounts(GameState& game) {
    platform::Platform& window = *game.platform;
    const Screen& screen = game.screen;
    const int cell = Scaled(screen, 120);
    const int gap = Scaled(screen, 14);
    const int row_step = Scaled(screen, 14) + Scaled(screen, 64);
    platform::SetGameFont(window, kSceneFace, FontPoints(screen, 18));
    for (int k = 0; k <= 1; ++k) {
        for (int f = 1; f <= NumFaces; ++f) {
            platform::GraphicSetColor(window, WallColor(game, f), platform::kUnchanged);
            const double x = screen.LayoutX[4] + cell / 3.5 + (f - 1) * (gap + cell);
            const double y = screen.LayoutY[8] - k * row_step;
            platform::GraphicSetPos(window, static_cast<float>(x), static_cast<float>(y));
            platform::GraphicPrintNumber(window, game.etude.FaceKeyStrokes[f][k]);
            platform::GraphicNewLine(window);
        }
        platform::GraphicNewLine(window);
    }
}

// The last key pressed, shown for two seconds in the status bar.
void DrawKeyEcho(GameState& game) {
    platform::Platform& window = *game.platform;
    const Screen& screen = game.screen;
    Play& play = game.play;
    if (play.KeyShown.empty()) return;
    if (platform::SecondsSince(window, play.KeyShownAt) > 2.0) {
        play.KeyShown.clear();
        return;
    }
    platform::GraphicSetColor(window, kWhite, platform::kUnchanged);
    platform::GraphicSetPos(window, static_cast<float>(screen.LayoutX[16] - ScaledExact(screen, 30)),
                            static_cast<float>(screen.LayoutY[13] - ScaledExact(screen, 9)));
    platform::SetGameFont(window, kSceneFace, FontPoints(screen, 13));
    platform::GraphicPrintText(window, play.KeyShown);
}

// -- Walls --

// A position of the order that holds no wall number is reported and left
// empty: there is no colour and no letter to paint for it.
bool CheckWall(GameState& game, int wall) {
    if (wall >= 1 && wall <= NumFaces) return true;
    platform::Platform& window = *game.platform;
    platform::GraphicPrintText(window, "FATAL ERROR AT VVVVVV:  FinLabelDRAW=");
    platform::GraphicPrintNumber(window, wall);
    platform::GraphicNewLine(window);
    platform::GraphicPrintText(window, "<> cont");
    platform::GraphicLineInput(window);
    return false;
}

void DrawWallsInOrder(GameState& game) {
    Scene& scene = game.scene;
    const bool running = game.etude.FacesDone < 6;
    for (int p = 1; p <= 6; ++p) {
        const int wall = scene.DrawCharFacesInThisORDER[p];
        // The marker sits inside the craft: over the three far walls, under the near ones.
        if (p == 4) DrawMarker(game);
        const bool known = wall >= 1 && wall <= NumFaces;
        const bool arrived = known && scene.FaceLook[wall][1] != kFalse;
        // A ROBO beyond a far wall is painted first and seen through that wall.
        if (p <= 3 && arrived) DrawRobo(game, wall);
        if (running && arrived) scene.FaceLook[wall][0] = game.settings.AfterArrivalLook;
        if (!CheckWall(game, wall)) continue;
        DrawWall(game, wall);
        // A ROBO beyond a near wall stands in front of it.
        if (p >= 4 && arrived) DrawRobo(game, wall);
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

// -- Marker --

// A flat four-pointed star with a tip above and below its centre: it turns
// faster than the craft and shows the drift at a glance.
void DrawMarker(GameState& game) {
    if (game.platform == nullptr) return;
    platform::Platform& window = *game.platform;
    std::array<platform::PointF, 11> at{};
    for (int p = 1; p <= 10; ++p) {
        const Point3f& point = game.wander.WanderMarker[p];
        at[static_cast<std::size_t>(p)] = Projected(point.x, point.y, point.z);
    }
    platform::GraphicSetPenWidth(window, 1);
    platform::GraphicSetPixel(window, at[8].x, at[8].y, kWhite);
    platform::GraphicSetPos(window, at[8].x, at[8].y);
    for (std::size_t p = 1; p <= 8; ++p) platform::GraphicLineTo(window, at[p].x, at[p].y, kWhite);
    for (std::size_t p = 1; p <= 8; ++p) {
        platform::GraphicSetPos(window, at[9].x, at[9].y);
        platform::GraphicLineTo(window, at[p].x, at[p].y, kWhite);
        platform::GraphicLineTo(window, at[10].x, at[10].y, kWhite);
    }
}

std::string VerdictLine(int excess) {
    VerdictBuffer buffer;
    return std::string(VerdictText(excess, buffer));
}

// -- The picture --

void DrawSceneWith(GameState& game, StarPainting painting) {
    if (game.platform == nullptr) return;
    platform::Platform& window = *game.platform;

    // The sky is black, whatever the menu left as background.
    platform::GraphicSetColor(window, kWhite, kBlack);
    platform::GraphicClear(window);
    platform::GraphicSetPenWidth(window, 1);
    DrawSky(game, painting);
    DrawFrames(game);
    DrawStatusText(game);
    DrawFileTrouble(game);
    DrawKeyStrokeCounts(game);
    DrawKeyEcho(game);
    records::DrawPerformanceReport(game);
    DrawCraft(game);
}

void DrawCraft(GameState& game) {
    if (game.platform == nullptr) return;
    FindNearestApexes(game);
    ChooseWallOrder(game);
    // While the etude runs the looks follow the menu's choices; once it is
    // over the look keys have the walls to themselves.
    if (game.etude.FacesDone < 6) {
        for (int w = 1; w <= NumFaces; ++w) game.scene.FaceLook[w][0] = game.settings.BeforeArrivalLook;
    }
    DrawWallsInOrder(game);
}

void DrawScene(GameState& game) {
    DrawSceneWith(game, StarPainting::SkipHidden);
}

}  // namespace render
