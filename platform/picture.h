#pragma once
// The drawing buffer as the desktop back end hands it to the window: 32-bit
// xRGB rows, copied whole. Exposed for the benchmarks of showing a picture.

#include "platform/platform.h"

namespace platform {

int PicturePitch(const Platform& platform);  // bytes per row of the drawing buffer; 0 without a window
// Copies the picture into a buffer of the window's size with the given row pitch.
void CopyPictureTo(const Platform& platform, void* destination, int destination_pitch);

// Off-screen: keep frames and repaint only what changed, as the desktop does
// (takes effect now and for every window opened later).
void KeepUnchangedRegions(Platform& platform, bool on);
// Copies what changed since the last such copy (everything the first time, or
// when the canvas cannot tell), as the desktop hands a picture to its window;
// returns the number of pixels copied.
long long CopyChangedPictureTo(Platform& platform, void* destination, int destination_pitch);

}  // namespace platform
