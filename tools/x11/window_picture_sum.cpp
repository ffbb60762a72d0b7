// window_picture_sum: prints a checksum of what an X window shows, read back
// from the X server. The end-to-end runs compare two of them a moment apart
// to see that the window follows the game's pictures.
//   window_picture_sum <window id>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_picture_sum <window id>\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "window_picture_sum: no display\n");
        return 1;
    }
    const auto window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    // Read from the screen: a window reaching past its edge cannot be read itself.
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0) return 1;
    const Window root = DefaultRootWindow(display);
    int left = 0, top = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, root, 0, 0, &left, &top, &child);
    const int screen_width = DisplayWidth(display, DefaultScreen(display));
    const int screen_height = DisplayHeight(display, DefaultScreen(display));
    const int right = std::min(left + attributes.width, screen_width);
    const int bottom = std::min(top + attributes.height, screen_height);
    left = std::max(left, 0);
    top = std::max(top, 0);
    if (right <= left || bottom <= top) return 1;
    XImage* image = XGetImage(display, root, left, top, static_cast<unsigned>(right - left),
                              static_cast<unsigned>(bottom - top), AllPlanes, ZPixmap);
    if (image == nullptr) return 1;
    // FNV-1a over the pixels' colours, row by row.
    std::uint64_t sum = 14695981039346656037ull;
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            sum ^= XGetPixel(image, x, y) & 0xFFFFFF;
            sum *= 1099511628211ull;
        }
    }
    std::printf("%016llx\n", static_cast<unsigned long long>(sum));
    XDestroyImage(image);
    XCloseDisplay(display);
    return 0;
}
