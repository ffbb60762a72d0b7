#include "progress/help_page.h"

#include "core/rounding.h"
#include "platform/platform.h"
#include "records/record_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>

namespace progress {

namespace {

// -- Faces, colours and sizes --
// The menu's and the scene's own: courier for keys as the menu prints them,
// Verdana for sentences as the scene prints its texts; white text, the menu's
// orange for headings, the report's yellow for keys, its blue for the way out.
constexpr const char* kSentenceFace = "VERDANA";
constexpr const char* kKeyFace = "courier new";
constexpr platform::Color kText = platform::Rgb(255, 255, 255);
constexpr platform::Color kHeading = platform::Rgb(255, 150, 0);
constexpr platform::Color kKey = platform::Rgb(255, 255, 80);
constexpr platform::Color kWayOut = platform::Rgb(160, 160, 255);
constexpr platform::Color kBlack = platform::Rgb(0, 0, 0);
constexpr platform::Color kDim = platform::Rgb(90, 90, 90);
constexpr platform::Color kWallRed = platform::Rgb(255, 0, 0);

// Design sizes for the 3840 x 2160 screen, multiplied by TextScale: the page
// is text, and text keeps a readable size on small screens, so the layout
// follows the text's scale rather than the window's.
constexpr double kTitlePoints = 32;
constexpr double kBodyPoints = 18;
constexpr double kCaptionPoints = 15;
constexpr double kLinePitch = 32;       // one body line
constexpr double kColumnWidth = 860;    // the longest sentence line fits with room to spare
constexpr double kColumnGap = 70;
constexpr double kKeyColumn = 200;      // where the meaning of a key starts
constexpr double kTopMargin = 40;
constexpr double kPageHeight = 1220;   // title to way-out line: the page stands centred where there is room
constexpr double kCell = 66;            // one cell of the drawn strip

// -- The words --

struct Block {
    std::string_view heading;
    std::array<std::string_view, 8> lines;  // unused lines stay empty
};

constexpr Block kEtude = {"THE ETUDE",
                          {"An etude is one exercise on all six walls of the craft.",
                           "Each wall carries a letter of a six-letter word, and",
                           "beyond it hovers a copy of ROBO, knocked out of its",
                           "rest pose by one turn: pitch, yaw or roll, by 45, 90",
                           "or 135 degrees. The kind you pick in the menu (1 to 16)",
                           "sets the axis and the size; Any mixes the sizes, PYR",
                           "mixes the axes. You work on one wall after the other."}};

constexpr Block kSolving = {"WHAT SOLVES A WALL",
                            {"Every press of a turn key turns ROBO by 45 degrees",
                             "about its own body. The wall is solved when ROBO's toe",
                             "comes to the right corner of the wall's letter, and",
                             "turning ROBO straight back to its rest pose always",
                             "brings it there. ROBO shrinks, the craft lurches, and",
                             "ROBO moves on to the next wall."}};

constexpr Block kStrip = {"THE LETTER STRIP",
                          {"At the top left of the scene every wall's letter is",
                           "shown again, white on the wall's colour. Upper row:",
                           "the letter turned the way the goal asks. Lower row:",
                           "empty until ROBO's toe stands on a corner, then the",
                           "letter turned the way the toe stands. When both rows",
                           "show it turned alike, the wall is solved. Below the",
                           "strip: the presses each wall expects, and under them",
                           "the presses you made."}};

constexpr Block kJudged = {"HOW AN ETUDE IS JUDGED",
                           {"The clock runs from the first picture to the sixth wall.",
                            "The etude is won when your presses equal the presses",
                            "expected, no more and no fewer: one press too many",
                            "loses it. Leaving with 1 after one to five walls",
                            "records the etude as incomplete."}};

constexpr Block kLooks = {"LOOKS AND ECHO",
                          {"Menu 30 to 37 paint wall and letter in colour, white or",
                           "see-through, before and after ROBO arrives at a wall;",
                           "a see-through wall shows ROBO and the walls behind it.",
                           "The look keys show once all six walls are solved.",
                           "Menu 40 to 43 choose the sounds: none, spoken keys,",
                           "spoken keys and the sinking sound, or sinking alone."}};

struct KeyLine {
    std::string_view keys;
    std::string_view meaning;
};
constexpr std::array<KeyLine, 10> kKeys = {{
    {"7 / 4", "pitch up / down"},
    {"8 / 5", "yaw right / left"},
    {"9 / 6", "roll right / left"},
    {"", "step the look of one wall"},  // the six colour keys, drawn each in its wall's colour
    {"A / Z", "step every look / all walls see-through"},
    {"D / X", "flash ROBO's right hand / its hyphen head"},
    {"E / S", "next echo / next sky"},
    {"W", "send the drift a new way"},
    {"F", "freeze the scene until Enter"},
    {"1 / Esc", "back to the menu / end the game"},
}};

// The six colour keys in the colours of the walls they step.
struct ColourKey {
    char key;
    platform::Color color;
};
constexpr std::array<ColourKey, 6> kColourKeys = {{
    {'R', platform::Rgb(255, 0, 0)},
    {'G', platform::Rgb(0, 255, 0)},
    {'B', platform::Rgb(0, 0, 255)},
    {'Y', platform::Rgb(249, 249, 0)},
    {'P', platform::Rgb(255, 0, 255)},
    {'C', platform::Rgb(0, 255, 255)},
}};

// -- Layout --

struct Layout {
    double body_pitch;
    double left_x, right_x;  // the two columns' left edges
    double top;              // the title's top
    double bottom;           // the way-out line's top
    int title_points, body_points, caption_points;
};

Layout MakeLayout(const Screen& screen) {
    const double text = screen.TextScale;
    Layout layout{};
    layout.body_pitch = RoundToInt32(kLinePitch * text);
    const double column = RoundToInt32(kColumnWidth * text);
    const double gap = RoundToInt32(kColumnGap * text);
    layout.left_x = -(2 * column + gap) / 2;
    layout.right_x = layout.left_x + column + gap;
    layout.top = std::min<double>(screen.HalfHeight - RoundToInt32(kTopMargin * text),
                                  RoundToInt32(kPageHeight * text / 2));
    layout.bottom = -screen.HalfHeight + RoundToInt32(kTopMargin * text) + layout.body_pitch;
    layout.title_points = RoundToInt32(kTitlePoints * text);
    layout.body_points = RoundToInt32(kBodyPoints * text);
    layout.caption_points = RoundToInt32(kCaptionPoints * text);
    return layout;
}

void PrintAt(platform::Platform& platform, double x, double y, std::string_view text) {
    platform::GraphicSetPos(platform, static_cast<float>(x), static_cast<float>(y));
    platform::GraphicPrintText(platform, text);
}

// A heading and its lines from y downwards; returns the y below the block,
// half a line of air included.
double DrawBlock(platform::Platform& platform, const Layout& layout, double x, double y, const Block& block) {
    platform::SetGameFont(platform, kSentenceFace, layout.body_points);
    if (!block.heading.empty()) {
        platform::GraphicSetColor(platform, kHeading, platform::kTransparent);
        PrintAt(platform, x, y, block.heading);
        y -= layout.body_pitch;
    }
    platform::GraphicSetColor(platform, kText, platform::kTransparent);
    for (std::string_view line : block.lines) {
        if (line.empty()) continue;
        PrintAt(platform, x, y, line);
        y -= layout.body_pitch;
    }
    return y - layout.body_pitch / 2;
}

// -- The drawn strip --

// A capital F on the 7 x 7 glyph grid: no two of its turns look alike, so the
// reader sees at once which way it stands.
constexpr std::array<platform::PointF, 10> kLetterF = {{
    {1, 0}, {3, 0}, {3, 3}, {5, 3}, {5, 4.5f}, {3, 4.5f}, {3, 5.5f}, {6, 5.5f}, {6, 7}, {1, 7},
}};

// One strip cell centred at (cx, cy): the wall's red with the letter in white,
// turned by quarter turns anticlockwise as the strip turns it; quarter_turns
// below 0 leaves the cell empty, as the lower row stands before the toe
// reaches a corner.
void DrawStripCell(platform::Platform& platform, double cx, double cy, double size, int quarter_turns) {
    const double half = size / 2;
    const auto x1 = static_cast<float>(cx - half), x2 = static_cast<float>(cx + half);
    const auto y1 = static_cast<float>(cy + half), y2 = static_cast<float>(cy - half);
    if (quarter_turns < 0) {
        platform::GraphicBox(platform, x1, y1, x2, y2, 0, kDim, platform::kTransparent, platform::FillStyle::Solid);
        return;
    }
    platform::GraphicBox(platform, x1, y1, x2, y2, 0, kWallRed, kWallRed, platform::FillStyle::Solid);
    const double unit = size / 9.0;
    std::array<platform::PointF, kLetterF.size()> points{};
    for (std::size_t n = 0; n < kLetterF.size(); ++n) {
        double x = kLetterF[n].x - 3.5, y = kLetterF[n].y - 3.5;
        for (int turn = 0; turn < quarter_turns; ++turn) {
            const double turned_x = -y;
            y = x;
            x = turned_x;
        }
        points[n] = {static_cast<float>(cx + unit * x), static_cast<float>(cy + unit * y)};
    }
    platform::GraphicPolygon(platform, points.data(), static_cast<int>(points.size()), kText, kText,
                             platform::FillStyle::Solid, 0);
}

// Three moments of one wall whose goal is the letter turned half round:
// the toe at no corner, at another corner, and on the goal.
double DrawStripExample(platform::Platform& platform, const Layout& layout, const Screen& screen, double x,
                        double y) {
    const double cell = RoundToInt32(kCell * screen.TextScale);
    const double gap = std::max(2.0, static_cast<double>(RoundToInt32(6 * screen.TextScale)));
    const double pair_step = RoundToInt32(250 * screen.TextScale);
    const double label_width = RoundToInt32(150 * screen.TextScale);
    constexpr int kGoal = 2;
    constexpr std::array<int, 3> kToe = {-1, 1, kGoal};
    constexpr std::array<std::string_view, 3> kCaptions = {"toe on no corner", "another corner", "solved"};

    platform::SetGameFont(platform, kSentenceFace, layout.caption_points);
    platform::GraphicSetColor(platform, kKey, platform::kTransparent);
    const double upper_cy = y - cell / 2;
    const double lower_cy = upper_cy - cell - gap;
    const double caption_offset = layout.body_pitch * 0.35;
    PrintAt(platform, x, upper_cy + caption_offset, "goal");
    PrintAt(platform, x, lower_cy + caption_offset, "toe");
    for (std::size_t n = 0; n < kToe.size(); ++n) {
        const double cx = x + label_width + cell / 2 + pair_step * static_cast<double>(n);
        DrawStripCell(platform, cx, upper_cy, cell, kGoal);
        DrawStripCell(platform, cx, lower_cy, cell, kToe[n]);
        platform::GraphicSetColor(platform, n + 1 == kToe.size() ? kHeading : kText, platform::kTransparent);
        PrintAt(platform, cx - cell / 2, lower_cy - cell / 2 - gap, kCaptions[n]);
    }
    return lower_cy - cell / 2 - gap - layout.body_pitch * 1.3;
}

// -- The keys --

double DrawKeys(platform::Platform& platform, const Layout& layout, const Screen& screen, double x, double y) {
    platform::SetGameFont(platform, kSentenceFace, layout.body_points);
    platform::GraphicSetColor(platform, kHeading, platform::kTransparent);
    PrintAt(platform, x, y, "THE KEYS");
    y -= layout.body_pitch;
    const double meaning_x = x + RoundToInt32(kKeyColumn * screen.TextScale);
    for (const KeyLine& line : kKeys) {
        platform::SetGameFont(platform, kKeyFace, layout.body_points);
        if (line.keys.empty()) {
            platform::GraphicSetPos(platform, static_cast<float>(x), static_cast<float>(y));
            for (const ColourKey& key : kColourKeys) {
                platform::GraphicSetColor(platform, key.color, platform::kTransparent);
                const char text[2] = {key.key, ' '};
                platform::GraphicPrintText(platform, std::string_view(text, 2));
            }
        } else {
            platform::GraphicSetColor(platform, kKey, platform::kTransparent);
            PrintAt(platform, x, y, line.keys);
        }
        platform::SetGameFont(platform, kSentenceFace, layout.body_points);
        platform::GraphicSetColor(platform, kText, platform::kTransparent);
        PrintAt(platform, meaning_x, y, line.meaning);
        y -= layout.body_pitch;
    }
    return y - layout.body_pitch / 2;
}

// The records block names this player's own file.
double DrawRecords(GameState& game, const Layout& layout, double x, double y) {
    platform::Platform& platform = *game.platform;
    const std::string file = game.settings.PlayerName.empty()
                                 ? std::string("player-<name>.txt")
                                 : records::PlayerFileName(game.settings.PlayerName);
    const std::string first = "Every etude you finish, or leave after a wall, adds";
    const std::string second = "one line to " + file + " in the folder";
    const Block block = {"YOUR RECORDS",
                         {first, second, "the game was started in; no line is ever rewritten.",
                          "The table beside the craft sums up your latest etudes",
                          "of each kind (menu 50 sets how many). Menu 60 shows",
                          "your progress; after 62 the coach picks every etude",
                          "until you choose a kind yourself."}};
    return DrawBlock(platform, layout, x, y, block);
}

}  // namespace

void DrawHelpPage(GameState& game) {
    platform::Platform& platform = *game.platform;
    const Screen& screen = game.screen;
    const Layout layout = MakeLayout(screen);

    platform::GraphicSetColor(platform, kText, kBlack);
    platform::GraphicClear(platform);
    platform::GraphicSetPenWidth(platform, 1);

    platform::SetGameFont(platform, kSentenceFace, layout.title_points);
    platform::GraphicSetColor(platform, kHeading, platform::kTransparent);
    PrintAt(platform, layout.left_x, layout.top, "HELP");
    platform::SetGameFont(platform, kSentenceFace, layout.body_points);
    platform::GraphicSetColor(platform, kText, platform::kTransparent);
    // On the title's baseline.
    PrintAt(platform, layout.left_x + RoundToInt32(140 * screen.TextScale),
            layout.top - RoundToInt32(17 * screen.TextScale), "how an etude is played");

    const double columns_top = layout.top - RoundToInt32(kTitlePoints * 2.2 * screen.TextScale);
    double y = DrawBlock(platform, layout, layout.left_x, columns_top, kEtude);
    y = DrawBlock(platform, layout, layout.left_x, y, kSolving);
    y = DrawBlock(platform, layout, layout.left_x, y, kStrip);
    const double left_end = DrawStripExample(platform, layout, screen, layout.left_x, y);

    y = DrawKeys(platform, layout, screen, layout.right_x, columns_top);
    y = DrawBlock(platform, layout, layout.right_x, y, kJudged);
    y = DrawBlock(platform, layout, layout.right_x, y, kLooks);
    const double right_end = DrawRecords(game, layout, layout.right_x, y);

    // The way back, under a thin rule below the longer column, and never
    // lower than the window allows.
    const double rule_y = std::max(std::min(left_end, right_end), layout.bottom + layout.body_pitch / 2);
    platform::GraphicSetPos(platform, static_cast<float>(layout.left_x), static_cast<float>(rule_y));
    platform::GraphicLineTo(platform, static_cast<float>(-layout.left_x), static_cast<float>(rule_y), kDim);
    platform::SetGameFont(platform, kSentenceFace, layout.body_points);
    platform::GraphicSetColor(platform, kWayOut, platform::kTransparent);
    PrintAt(platform, layout.left_x, rule_y - layout.body_pitch / 2,
            "Enter or 1: back to the menu        Esc: end the game");
    platform::GraphicRedraw(platform);
}

void ShowHelpPage(GameState& game) {
    platform::Platform& platform = *game.platform;
    DrawHelpPage(game);
    for (;;) {
        if (platform::QuitRequested(platform)) {
            game.flow.Quit = true;
            return;
        }
        const std::string key = platform::GraphicInkey(platform);
        if (key.empty()) {
            platform::GraphicRedraw(platform);  // paced to the display: the wait costs no processor
            continue;
        }
        if (key == "\r" || key == "\n" || key == "1") return;
        if (key == "\x1b") {
            platform::PlayCue(platform, "speakquit");
            game.flow.Quit = true;
            return;
        }
    }
}

}  // namespace progress
