#pragma once
// Cairo's paths and pens, for what the canvas does not set straight into the
// pixels: recording canvases (SVG, PDF), patterned pens and figures beyond the
// direct routines' reach. Internal to platform/.

#include "platform/cairo/canvas.h"
#include "platform/cairo/canvas_pixels.h"

#include <cairo.h>

#include <cmath>

namespace platform {

// Beyond this many pixels from the canvas's corner a figure is left to Cairo.
constexpr int kFarCoordinate = 1 << 15;

// Whole device pixels: figures snap to the pixel grid, halves to even as everywhere.
inline double Snap(double device) {
    return RoundHalfEven(device);
}

// The centre of the pixel a device coordinate falls on, in Cairo's coordinates.
inline double PixelCentre(double device) {
    return Snap(device) + 0.5;
}

// While changed cells are repainted, Cairo is clipped to the region being
// repainted only when it is about to draw: the direct painters, which draw
// nearly all of a play picture, keep to canvas.clip by themselves, and a clip
// set for every operation cost more than many of them. Called before a path
// is begun, since the clip is made from a path of its own.
void ClipCairoToRepaint(Canvas& canvas);

// Outline -1 is the foreground; fill -1 is the outline's colour; -2 is nothing.
struct FigureColors {
    bool outlined = false;
    bool filled = false;
    Color outline = 0;
    Color fill = 0;
};

void SetSource(cairo_t* cairo, Color color);
// The canvas's pen (width, joins, dashes) on its drawing context.
void ApplyPen(Canvas& canvas);
// Fills and outlines the path already built on the canvas, then drops it.
void PaintFigure(Canvas& canvas, const FigureColors& colors, FillStyle style, bool even_odd);
// Four Bezier quarters, built without touching the transformation.
void AppendEllipse(cairo_t* cairo, double centre_x, double centre_y, double radius_x, double radius_y);
// A rectangle from (left, top) to (right, bottom) with elliptic corners of the
// given radii; both radii 0 gives the plain rectangle.
void AppendRoundedBox(cairo_t* cairo, double left, double top, double right, double bottom, double radius_x,
                      double radius_y);

}  // namespace platform
