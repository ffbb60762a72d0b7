#pragma once
// The drawing buffer as the desktop back end hands it to the window: 32-bit
// xRGB rows, copied whole. Exposed for the benchmarks and tests of showing a
// picture.

#include "platform/platform.h"

namespace platform {

int PicturePitch(const Platform& platform);  // bytes per row of the drawing buffer; 0 without a window
// Copies the picture into a buffer of the window's size with the given row pitch.
void CopyPictureTo(const Platform& platform, void* destination, int destination_pitch);

}  // namespace platform
