#pragma once
// The whole drawing buffer read back as 32-bit xRGB rows, for the benchmarks
// and tests of showing a picture; the off-screen back end implements it.

#include "platform/platform.h"

namespace platform {

int PicturePitch(const Platform& platform);  // bytes per row of the drawing buffer; 0 without a window
// Copies the picture into a buffer of the window's size with the given row pitch.
void CopyPictureTo(const Platform& platform, void* destination, int destination_pitch);
// Pixels the last redraw painted anew when unchanged regions are kept.
long long RepaintedPicturePixels(const Platform& platform);

}  // namespace platform
