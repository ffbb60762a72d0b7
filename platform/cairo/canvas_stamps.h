#pragma once
// Small marks set straight into the canvas's pixels: discs (the sky's stars,
// the won etudes of a learning curve), one-pixel diamond outlines (the lost
// ones) and thick open lines (the curve's median). A batch of equal marks is stamped from a table of row spans worked
// out once per size, so a scatter plot of thousands of marks costs little more
// than the pixels it sets. The caller flushes the surface before and marks it
// dirty after; every write stays inside canvas.clip. Internal to platform/.

#include "platform/cairo/canvas.h"

#include <cstdint>

namespace platform {

constexpr double kSmallDisc = 12;  // radius in pixels up to which discs are set directly
constexpr int kSmallDiamond = 64;  // radius in pixels up to which diamonds are stamped

// Sets every pixel whose centre lies inside the ellipse (Cairo's coordinates).
void SetDiscPixels(Canvas& canvas, double centre_x, double centre_y, double radius_x, double radius_y,
                   std::uint32_t pixel);

// Many discs, four values each (centre x, y and radii x, y, all at most
// kSmallDisc): exactly the pixels SetDiscPixels sets for each of them.
void StampDiscs(Canvas& canvas, const double* discs, int count, std::uint32_t pixel);

// Many diamonds with the same whole-pixel radii, centred on the pixels whose
// column and row the two values of each give: the rows between the top and
// bottom corners hold the pixels of the four edges, one per row where an edge
// is steep and a run where it is flat, so the outline is closed.
void StampDiamonds(Canvas& canvas, const double* centres, int count, int radius_x, int radius_y,
                   std::uint32_t pixel);

// An open line through `count` exact corners (x, y pairs), `thickness` pixels
// from top to bottom: in every pixel column it crosses, the rows from the
// highest to the lowest point it reaches there, grown by the thickness. Steep
// or flat, it has no gaps, and each pixel is set once per segment.
void StampPolyline(Canvas& canvas, const double* corners, int count, int thickness, std::uint32_t pixel);

}  // namespace platform
