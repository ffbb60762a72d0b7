#include "platform/platform.h"

#include "platform/cairo/canvas.h"
#include "platform/platform_state.h"
#include "platform/text_forms.h"

#include <cmath>

namespace platform {

void PlatformDeleter::operator()(Platform* platform) const {
    if (platform == nullptr) return;
    delete platform->offscreen;  // the desktop's state belongs to RunDesktop
    DestroyCanvas(platform->canvas);
    FreeFontBook(platform->fonts);
    delete platform;
}

// -- Window and run control --

WorkArea DesktopWorkArea(Platform& platform) {
    return platform.backend->work_area(platform);
}

bool OpenGraphicWindow(Platform& platform, const std::string& caption, int screen_x, int screen_y,
                       int client_width, int client_height) {
    if (client_width <= 0 || client_height <= 0) return false;
    // One window at a time: the window of an earlier pass goes away with its picture.
    platform.window_open = false;
    DestroyCanvas(platform.canvas);
    if (!platform.backend->open_window(platform, caption, screen_x, screen_y, client_width, client_height))
        return false;
    ClearCanvas(platform.canvas);
    platform.window_open = true;
    return true;
}

void GraphicSetLocation(Platform& platform, int screen_x, int screen_y) {
    if (platform.window_open) platform.backend->set_location(platform, screen_x, screen_y);
}

void GraphicSetFocus(Platform& platform) {
    if (platform.window_open) platform.backend->set_focus(platform);
}

void GraphicRedraw(Platform& platform) {
    if (!platform.window_open) return;
    SettleCanvas(platform.canvas);
    platform.backend->redraw(platform);
}

bool QuitRequested(const Platform& platform) {
    return platform.backend->quit_requested(platform);
}

// -- Drawing state --

void GraphicSetColor(Platform& platform, Color foreground, Color background) {
    if (platform.window_open) SetCanvasColors(platform.canvas, foreground, background);
}

void GraphicSetScale(Platform& platform, float x1, float y1, float x2, float y2) {
    if (platform.window_open) SetCanvasScale(platform.canvas, x1, y1, x2, y2);
}

void GraphicSetOption(Platform& platform, WindowOption option, bool on) {
    if (platform.window_open) SetCanvasOption(platform.canvas, option, on);
}

void GraphicSetPenStyle(Platform& platform, int style) {
    if (platform.window_open) platform.canvas.pen_style = style;
}

void GraphicSetPenWidth(Platform& platform, int pixels) {
    if (platform.window_open) platform.canvas.pen_width = pixels;
}

void GraphicSetPos(Platform& platform, float x, float y) {
    if (!platform.window_open) return;
    platform.canvas.position_x = DeviceX(platform.canvas, x);
    platform.canvas.position_y = DeviceY(platform.canvas, y);
}

// -- Figures --

void GraphicClear(Platform& platform) {
    if (platform.window_open) ClearCanvas(platform.canvas);
}

void GraphicLineTo(Platform& platform, float x, float y, Color color) {
    if (platform.window_open) CanvasLineTo(platform.canvas, x, y, color);
}

void GraphicSetPixel(Platform& platform, float x, float y, Color color) {
    if (platform.window_open) CanvasSetPixel(platform.canvas, x, y, color);
}

void GraphicBox(Platform& platform, float x1, float y1, float x2, float y2, std::int32_t corner_percent,
                Color outline, Color fill, FillStyle style) {
    if (platform.window_open) CanvasBox(platform.canvas, x1, y1, x2, y2, corner_percent, outline, fill, style);
}

void GraphicDiscs(Platform& platform, const PointF* centres, int count, float radius, Color color) {
    if (platform.window_open) CanvasDiscs(platform.canvas, centres, count, radius, color);
}

void GraphicDiamonds(Platform& platform, const PointF* centres, int count, float radius, Color color) {
    if (platform.window_open) CanvasDiamonds(platform.canvas, centres, count, radius, color);
}

void GraphicPolyline(Platform& platform, const PointF* points, int count, Color color) {
    if (platform.window_open) CanvasPolyline(platform.canvas, points, count, color);
}

void GraphicPolygon(Platform& platform, const PointF* points, int count, Color outline, Color fill,
                    FillStyle style, int fill_mode) {
    if (platform.window_open) CanvasPolygon(platform.canvas, points, count, outline, fill, style, fill_mode);
}

// -- Text --

int MakeFont(Platform& platform, const std::string& face, int points, int style) {
    if (platform.fonts.fonts.empty()) InitFontBook(platform.fonts);
    return FindOrMakeFont(platform.fonts, face, points, style);
}

void SelectFont(Platform& platform, int font) {
    if (!platform.window_open) return;
    if (font >= 0 && static_cast<std::size_t>(font) < platform.fonts.fonts.size()) platform.canvas.font = font;
}

void SetGameFont(Platform& platform, const std::string& face, int points) {
    SelectFont(platform, MakeFont(platform, face, points, 0));
}

void GraphicPrintText(Platform& platform, std::string_view text) {
    if (!platform.window_open || text.empty()) return;
    if (platform.fonts.fonts.empty()) InitFontBook(platform.fonts);
    CanvasPrintText(platform.canvas, platform.fonts, text, platform.backend->text_logger, &platform);
}

double GraphicTextWidth(Platform& platform, std::string_view text) {
    if (!platform.window_open || text.empty()) return 0.0;
    if (platform.fonts.fonts.empty()) InitFontBook(platform.fonts);
    return CanvasTextWidth(platform.canvas, platform.fonts, text) / std::fabs(platform.canvas.scale_x);
}

void GraphicPrintNumber(Platform& platform, double number) {
    GraphicPrintText(platform, PrintForm(number, false));
}

double GraphicLineHeight(Platform& platform) {
    if (!platform.window_open) return 0;
    if (platform.fonts.fonts.empty()) InitFontBook(platform.fonts);
    return CanvasLineHeight(platform.canvas, platform.fonts);
}

void GraphicNewLine(Platform& platform) {
    if (!platform.window_open) return;
    if (platform.fonts.fonts.empty()) InitFontBook(platform.fonts);
    CanvasNewLine(platform.canvas, platform.fonts);
}

std::string GraphicInkey(Platform& platform) {
    if (!platform.window_open) return std::string();
    return platform.backend->inkey(platform);
}

void DiscardPendingKeys(Platform& platform) {
    if (!platform.window_open) return;
    platform.backend->discard_keys(platform);
}

// -- Clock --

double Timer(Platform& platform) {
    return platform.backend->timer(platform);
}

double SecondsSince(Platform& platform, double earlier) {
    constexpr double kSecondsPerDay = 86400.0;
    double elapsed = Timer(platform) - earlier;
    // A start kept in single precision (the etude's) can read a few
    // milliseconds after a later reading: that is no time, not a day less a moment.
    if (elapsed < 0 && elapsed > -1.0) return 0.0;
    elapsed = std::fmod(elapsed, kSecondsPerDay);
    return elapsed < 0 ? elapsed + kSecondsPerDay : elapsed;
}

std::string DateText(Platform& platform) {
    return platform.backend->date_text(platform);
}

std::string TimeText(Platform& platform) {
    return platform.backend->time_text(platform);
}

// -- Sound --

void PlayCue(Platform& platform, std::string_view name) {
    platform.backend->play_cue(platform, name);
}

void SystemBeep(Platform& platform) {
    platform.backend->beep(platform);
}

}  // namespace platform
