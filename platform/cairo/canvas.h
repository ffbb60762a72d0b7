#pragma once
// The drawing engine behind both back ends: a Cairo image surface over a
// page-aligned pixel buffer, with the graphic window's drawing state (colours,
// user scale, pen, print position, options, font). Figures are drawn without
// antialiasing so that they land on whole pixels as the game's pictures were
// designed; text keeps antialiasing. Internal to platform/.

#include "platform/platform.h"

#include <cairo.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Colours the special value -1 stands for.
constexpr Color kWindowTextColor = 0x000000;  // default foreground
constexpr Color kWindowFaceColor = 0xF0F0F0;  // default background

// -- Fonts: made once, valid for the whole run --
struct FontGlyphs;  // the glyphs a font has shown, for drawing and measuring without Cairo's text calls
struct Font {
    std::string face;        // as the game asked for it
    int points = 0;          // as the game asked for it (0 reads as 8)
    int style = 0;           // bit 1 bold
    cairo_scaled_font_t* scaled = nullptr;
    double ascent = 0;       // pixels above the baseline
    double cell_height = 0;  // ascent + descent: the text cell and the line height
    FontGlyphs* glyphs = nullptr;  // owned, freed with the font
};

// Filled when the back end makes the handle and freed with it; no font is
// dropped in between, so an index stays good for the whole run.
struct FontBook {
    std::vector<Font> fonts;  // handle = index; handle 0 is the window's default font
    bool learn_whole = false;  // a font learns all its glyphs as it is made
};

void InitFontBook(FontBook& book);
void FreeFontBook(FontBook& book);
// Every font of the book learns all its glyphs, and so does every font made
// from now on: texts then draw and measure without allocating. A few
// milliseconds a font, so the desktop does it when the game first rests at a
// typed line, after its first picture.
void LearnFontsWhole(FontBook& book);
int FindOrMakeFont(FontBook& book, const std::string& face, int points, int style);
// The family fontconfig is asked for: the game's Windows faces map to metric twins.
std::string ResolveFontFamily(std::string_view face);

// -- The canvas --
// Device pixels [left, right) x [top, bottom).
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The cells a changed-cell repaint paints, as runs of neighbouring marked
// cells along each row of cells, in pixels: outside them the repaint's
// picture is never looked at, so the direct painters leave out what lies
// beyond them wherever that saves more than it costs.
struct CellRun {
    int left = 0, right = 0;  // pixel columns [left, right)
};
struct MarkedCellRuns {
    int shift = 3;                      // a row of cells is 1 << shift pixel rows
    const int* row_first = nullptr;     // per row of cells, its first run; the entry after the last row ends them
    const CellRun* runs = nullptr;      // left to right within a row of cells
};

struct FigureScratch;  // the edges of figures set pixel by pixel
struct FrameRecord;  // the operations of the frame being drawn and of the one shown before

// A canvas draws either into pixels (the window's buffer) or, for pictures that
// are saved as SVG or PDF, into a Cairo recording surface that keeps every
// figure and glyph as drawn; pixels is null then, and the routines that set
// pixels directly take Cairo's general path instead. A recording canvas never
// keeps frames: what it records is already the whole drawing. Made by
// CreateCanvas when a window opens, freed by DestroyCanvas when the next one
// opens or the handle goes; only the logic thread draws on it.
struct Canvas {
    cairo_surface_t* surface = nullptr;
    cairo_t* cairo = nullptr;
    unsigned char* pixels = nullptr;  // page-aligned, owned; xRGB 32 bits a pixel; null when recording
    // The System V segment the pixels live in, so that the display server can
    // read them without a copy; -1 for private memory. Marked for removal as
    // soon as it is made: it goes with the last process that holds it, even
    // one killed.
    int shared_memory = -1;
    int width = 0;
    int height = 0;
    int stride = 0;  // bytes per row

    Color foreground = kDefaultColor;  // as set, special values included
    Color background = kDefaultColor;

    // User scale as last set, and the mapping it gives: device = (user - origin) x scale.
    float scale_x1 = 0, scale_y1 = 0, scale_x2 = 0, scale_y2 = 0;
    bool scale_set = false;
    double origin_x = 0, origin_y = 0;
    double scale_x = 1, scale_y = 1;

    bool scroll = false;
    bool wrap = false;
    bool inclusive = false;
    int pen_width = 1;  // pixels
    int pen_style = 0;  // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none

    double position_x = 0;  // print and line position, device pixels
    double position_y = 0;
    int font = 0;           // handle into the platform's FontBook

    cairo_pattern_t* hatches[7] = {};  // masks for fill styles 1..6 (0 unused)
    std::string utf8;                  // scratch for printed text, reused
    std::vector<double> corners;       // scratch: a polygon's corners or many discs in device pixels, reused

    FigureScratch* figures = nullptr;  // owned; made with the pixels, reused by every figure
    PixelRect clip;                 // direct pixel writes stay inside: the whole canvas but while repainting
    const MarkedCellRuns* marked = nullptr;  // set while repainting changed cells: only these are looked at
    FrameRecord* frames = nullptr;  // set: drawing is recorded and painted at the redraw where it changed
};

// Makes a canvas of the given size in the window's starting state, recording
// figures instead of setting pixels when asked; false when the memory cannot be had.
enum class CanvasMemory { Private, Recording, Shared };  // Shared falls back on Private where it cannot be had
bool CreateCanvas(Canvas& canvas, int width, int height, CanvasMemory memory = CanvasMemory::Private);
void DestroyCanvas(Canvas& canvas);

// -- State --
void SetCanvasColors(Canvas& canvas, Color foreground, Color background);
void SetCanvasScale(Canvas& canvas, float x1, float y1, float x2, float y2);
void SetCanvasOption(Canvas& canvas, WindowOption option, bool on);
double DeviceX(const Canvas& canvas, double user_x);
double DeviceY(const Canvas& canvas, double user_y);
double UserX(const Canvas& canvas, double device_x);
double UserY(const Canvas& canvas, double device_y);
Color ResolvedForeground(const Canvas& canvas);
Color ResolvedBackground(const Canvas& canvas);  // the clear colour; -2 clears as the default

// -- Figures --
void ClearCanvas(Canvas& canvas);
void CanvasLineTo(Canvas& canvas, float x, float y, Color color);
void CanvasSetPixel(Canvas& canvas, float x, float y, Color color);
void CanvasBox(Canvas& canvas, float x1, float y1, float x2, float y2, std::int32_t corner_percent,
               Color outline, Color fill, FillStyle style);
void CanvasPolygon(Canvas& canvas, const PointF* points, int count, Color outline, Color fill, FillStyle style,
                   int fill_mode);
void CanvasDiscs(Canvas& canvas, const PointF* centres, int count, float radius, Color color);
void CanvasDiamonds(Canvas& canvas, const PointF* centres, int count, float radius, Color color);
void CanvasPolyline(Canvas& canvas, const PointF* points, int count, Color color);

// -- Text --
// Prints at the print position (top-left of the text cell) and advances it;
// calls logged(text, device x, device y) once for the whole text when non-null.
using TextLogger = void (*)(void* context, std::string_view text, double device_x, double device_y);
void CanvasPrintText(Canvas& canvas, const FontBook& fonts, std::string_view text, TextLogger logged,
                     void* context);
double CanvasTextWidth(Canvas& canvas, const FontBook& fonts, std::string_view text);
double CanvasLineHeight(const Canvas& canvas, const FontBook& fonts);  // the current font's text cell
void CanvasNewLine(Canvas& canvas, const FontBook& fonts);
// Moves the picture up by the given rows, filling the freed strip with the background.
void ScrollCanvas(Canvas& canvas, int rows);
// The move itself on a recording canvas: a new recording holding the old one shifted up.
void ScrollRecording(Canvas& canvas, int rows);

// -- Keeping frames --
// A kept frame is recorded as it is drawn; SettleCanvas paints it, and when it
// begins with a clear it repaints only the regions whose operations differ
// from the frame before. The picture is the one the operations make painted
// in full; reading pixels settles first.
void KeepCanvasFrames(Canvas& canvas, bool on);
void SettleCanvas(Canvas& canvas);
// Paints what is recorded and draws at once until resumed (for code that
// writes pixels directly); the next kept frame is painted in full.
void SuspendCanvasFrames(Canvas& canvas);
void ResumeCanvasFrames(Canvas& canvas);
// Code that wrote pixels straight into the picture, after settling what was
// drawn before, says where: that region is shown at the next redraw, and the
// next frame that begins with a clear is painted whole.
void CanvasPixelsWritten(Canvas& canvas, const PixelRect& region);
// The regions painted since they were last taken: false when it is the whole
// picture (or frames are not kept). Taking them starts a new account.
constexpr int kMaxChangedRegions = 4096;
bool ChangedCanvasRegions(const Canvas& canvas, const PixelRect** rects, int* count);
// How many regions a picture's changes are gathered into at most (256 until
// set, up to kMaxChangedRegions): fewer cover more pixels that did not
// change, each one more costs a window that takes them one by one a request.
void SetChangedRegionLimit(Canvas& canvas, int limit);
// Copies, of those regions, only the cells whose pixels changed, into a
// destination of the canvas's size that holds the picture as it was when the
// regions were last taken; after it the destination holds the whole picture.
void CopyChangedCanvasCells(const Canvas& canvas, void* destination, int destination_pitch);
void TakeChangedCanvasRegions(Canvas& canvas);
// Pixels the last kept frame repainted (the whole picture when painted in full).
long long RepaintedCanvasPixels(const Canvas& canvas);

// -- Pixels --
Color CanvasDevicePixel(const Canvas& canvas, int column, int row);  // -1 outside the canvas
// Copies the picture into a 32-bit xRGB destination of the same size.
void CopyCanvasPixels(const Canvas& canvas, void* destination, int destination_pitch);
// Writes the picture to a file as PNG, SVG or PDF by the path's extension; a
// recording canvas stays vector in SVG and PDF. False on an unknown extension
// or when the file cannot be written.
bool SaveCanvas(const Canvas& canvas, const std::string& path);
bool SaveCanvasPng(const Canvas& canvas, const std::string& path);  // PNG whatever the extension

}  // namespace platform
