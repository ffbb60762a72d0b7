#pragma once
// The game's one door to the outside world: the graphic window with its
// drawing, text and keyboard operations, the console, the sound cues and the
// clock. Two back ends stand behind the same operations:
//  - the desktop back end: an SDL window serviced by its own thread, drawn with
//    Cairo into an off-screen buffer that is shown at GraphicRedraw;
//  - the off-screen back end: a Cairo canvas of any size with scripted keys, a
//    settable clock and a log of everything printed, for tests and tools.
// Game code sees only these plain functions and plain data; nothing here
// exposes SDL or Cairo types. A back end is started from its own header:
// platform/desktop/desktop.h (RunDesktop, for main) and
// platform/offscreen/offscreen.h (CreateOffscreenPlatform and the controls
// that script and inspect an off-screen run).
//
// Coordinates passed to drawing operations are user coordinates as set by
// GraphicSetScale (the game uses the window centre as origin, y up, one unit a
// pixel). Every drawing, text and input operation does nothing (GraphicInkey
// returns "") while no window is open.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

struct Platform;
struct PlatformDeleter {
    void operator()(Platform* platform) const;
};
using PlatformHandle = std::unique_ptr<Platform, PlatformDeleter>;

// -- Colours --
// A 24-bit value 0xRRGGBB, or one of the special values below.
using Color = std::int32_t;
constexpr Color kDefaultColor = -1;  // foreground: window text colour; in a figure: the outline colour
constexpr Color kTransparent = -2;   // no text background; a figure fill of -2 leaves it hollow
constexpr Color kUnchanged = -3;     // keep the current colour
constexpr Color Rgb(int red, int green, int blue) {
    return static_cast<Color>(((red & 255) << 16) | ((green & 255) << 8) | (blue & 255));
}

struct WorkArea {
    int width = 0;
    int height = 0;
};

struct PointF {
    float x = 0;
    float y = 0;
};

// The corner value of GraphicBox that asks for the inscribed ellipse.
constexpr std::int32_t kEllipseCorner = INT32_MIN;

enum class FillStyle : int {
    Solid = 0,
    Horizontal = 1,
    Vertical = 2,
    ForwardDiagonal = 3,
    BackwardDiagonal = 4,
    Cross = 5,
    DiagonalCross = 6,
};

enum class WindowOption : int { Scroll, Wrap, Inclusive };

// -- Window and run control --
WorkArea DesktopWorkArea(Platform& platform);
// Opens the window with the given client size at the given screen position,
// replacing the window of an earlier pass, and attaches it with buffered
// drawing. Returns false when no window can be made.
bool OpenGraphicWindow(Platform& platform, const std::string& caption, int screen_x, int screen_y,
                       int client_width, int client_height);
void GraphicSetLocation(Platform& platform, int screen_x, int screen_y);
void GraphicSetFocus(Platform& platform);
void GraphicRedraw(Platform& platform);  // shows the buffered picture, paced to the display
bool QuitRequested(const Platform& platform);  // window closed, or the key script ran out

// -- Drawing state --
void GraphicSetColor(Platform& platform, Color foreground, Color background);
void GraphicSetScale(Platform& platform, float x1, float y1, float x2, float y2);
void GraphicSetOption(Platform& platform, WindowOption option, bool on);
void GraphicSetPenStyle(Platform& platform, int style);
void GraphicSetPenWidth(Platform& platform, int pixels);
void GraphicSetPos(Platform& platform, float x, float y);

// -- Figures --
void GraphicClear(Platform& platform);
void GraphicLineTo(Platform& platform, float x, float y, Color color);
void GraphicSetPixel(Platform& platform, float x, float y, Color color);
void GraphicBox(Platform& platform, float x1, float y1, float x2, float y2, std::int32_t corner_percent,
                Color outline, Color fill, FillStyle style);
// 2..1024 points; fill_mode 0 non-zero winding, other values even-odd.
void GraphicPolygon(Platform& platform, const PointF* points, int count, Color outline, Color fill,
                    FillStyle style, int fill_mode);

// Many equal discs at once, each the figure GraphicBox(x - radius, y + radius,
// x + radius, y - radius, kEllipseCorner, color, color, Solid) draws with a
// solid pen: the marks of a scatter plot without a call per mark.
void GraphicDiscs(Platform& platform, const PointF* centres, int count, float radius, Color color);
// Many equal diamonds outlined one pixel wide, their corners radius above,
// right of, below and left of each centre: the second mark of a scatter plot.
void GraphicDiamonds(Platform& platform, const PointF* centres, int count, float radius, Color color);
// An open line through two or more points in the current pen, its width
// counted from top to bottom: the curve of a plot without a call per segment.
void GraphicPolyline(Platform& platform, const PointF* points, int count, Color color);

// -- Text --
void SetGameFont(Platform& platform, const std::string& face, int points);
void GraphicPrintText(Platform& platform, std::string_view text);
// How far GraphicPrintText would move the print position right for this text
// in the current font, in user units; 0 while no window is open.
double GraphicTextWidth(Platform& platform, std::string_view text);
void GraphicPrintNumber(Platform& platform, double number);  // print form of ConsolePrintNumber
void GraphicNewLine(Platform& platform);
// The current font's line height in pixels; 0 while no window is open.
double GraphicLineHeight(Platform& platform);
std::string GraphicLineInput(Platform& platform);  // up to 255 characters, Enter ends
// "" when no key is pending; one character; or "\0" + scan code for F1..F10 and
// the cursor and navigation keys. Each key is delivered once.
std::string GraphicInkey(Platform& platform);
// Drops every key pressed and not yet read: keys typed before a question was
// shown, or while the game did not look for keys.
void DiscardPendingKeys(Platform& platform);

// -- Clock --
double Timer(Platform& platform);          // seconds since local midnight, millisecond resolution
// Seconds from an earlier Timer reading to now, for every elapsed time the game
// takes. The readings start again at midnight, so the difference is taken
// modulo one day: a stretch that spans midnight comes out as long as it lasted.
double SecondsSince(Platform& platform, double earlier);
std::string DateText(Platform& platform);  // "MM-DD-YYYY"
std::string TimeText(Platform& platform);  // "HH:MM:SS"

// -- Sound --
void PlayCue(Platform& platform, std::string_view name);  // asynchronous; replaces a playing cue

// -- Console: the diagnostic channel --
void ConsolePrintText(Platform& platform, std::string_view text);
void ConsolePrintNumber(Platform& platform, double number, bool single_precision);
void ConsoleNewLine(Platform& platform);
std::string ConsoleLineInput(Platform& platform);  // returns "" at end of input instead of waiting
void PauseForEnter(Platform& platform, std::string_view prompt);

}  // namespace platform
