#include "platform/desktop/shared_picture.h"

#if defined(GYROVESSEL_X_SHARED_MEMORY)
#include "platform/desktop/desktop_window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <algorithm>
#include <bit>
#include <vector>
#endif

namespace platform {

#if defined(GYROVESSEL_X_SHARED_MEMORY)

struct SharedPictureState {
    Display* display = nullptr;
    ::Window window = 0;
    GC gc = nullptr;
    XShmSegmentInfo segment{};
    XImage* image = nullptr;
    std::vector<XRectangle> clip = std::vector<XRectangle>(kMaxChangedRegions);  // a picture's regions, reused
};

namespace {

// Set while a request the server may refuse is tried: Xlib's own handler
// would end the program.
bool refused = false;

int NoteRefusal(Display*, XErrorEvent*) {
    refused = true;
    return 0;
}

// The image's own memory is the canvas's: only its description is freed.
void FreeImage(XImage* image) {
    if (image == nullptr) return;
    image->data = nullptr;
    image->obdata = nullptr;
    XDestroyImage(image);
}

bool ShareWithXWindow(SharedPicture& shared, Display* display, ::Window x_window, const Canvas& canvas) {
    StopSharingPicture(shared);
    if (canvas.pixels == nullptr || canvas.shared_memory < 0) return false;
    if (XShmQueryExtension(display) == False) return false;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, x_window, &attributes) == 0) return false;
    // The canvas's pixels are 32-bit words 0x00RRGGBB in this machine's order.
    const Visual* visual = attributes.visual;
    if (attributes.depth != 24 || visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00 ||
        visual->blue_mask != 0xFF)
        return false;
    auto* state = new SharedPictureState;
    state->display = display;
    state->window = x_window;
    state->segment.shmid = canvas.shared_memory;
    state->segment.shmaddr = reinterpret_cast<char*>(canvas.pixels);
    state->segment.readOnly = True;
    state->image = XShmCreateImage(display, attributes.visual, 24, ZPixmap, state->segment.shmaddr, &state->segment,
                                   static_cast<unsigned>(canvas.width), static_cast<unsigned>(canvas.height));
    const bool same_layout = state->image != nullptr && state->image->bits_per_pixel == 32 &&
                             state->image->bytes_per_line == canvas.stride &&
                             (state->image->byte_order == LSBFirst) == (std::endian::native == std::endian::little);
    bool attached = false;
    if (same_layout) {
        // A server on another machine has no way to this one's memory: it refuses.
        XSync(display, False);
        refused = false;
        XErrorHandler before = XSetErrorHandler(NoteRefusal);
        attached = XShmAttach(display, &state->segment) != 0;
        XSync(display, False);
        XSetErrorHandler(before);
        attached = attached && !refused;
    }
    if (!attached) {
        FreeImage(state->image);
        delete state;
        return false;
    }
    state->gc = XCreateGC(display, x_window, 0, nullptr);
    shared.state = state;
    return true;
}

}  // namespace

bool DisplaySharesMemory(SDL_Window* window) {
    Display* display = window != nullptr ? XConnectionOf(window) : nullptr;
    return display != nullptr && XShmQueryExtension(display) != False;
}

bool ShareCanvasWithWindow(SharedPicture& shared, SDL_Window* window, const Canvas& canvas) {
    StopSharingPicture(shared);
    Display* display = window != nullptr ? XConnectionOf(window) : nullptr;
    if (display == nullptr) return false;
    return ShareWithXWindow(shared, display, XWindowOf(window), canvas);
}

bool ShareThroughOwnDisplay(OwnDisplay& own, const char* display_name, unsigned long x_window, const Canvas& canvas) {
    if (own.failed) return false;
    if (own.picture.state != nullptr && own.window == x_window) return true;
    StopSharingPicture(own.picture);
    if (own.display == nullptr) own.display = XOpenDisplay(display_name);
    own.window = x_window;
    own.failed = own.display == nullptr ||
                 !ShareWithXWindow(own.picture, static_cast<Display*>(own.display), x_window, canvas);
    return !own.failed;
}

void StopOwnDisplay(OwnDisplay& own, bool close_connection) {
    StopSharingPicture(own.picture);
    own.window = 0;
    if (close_connection && own.display != nullptr) {
        XCloseDisplay(static_cast<Display*>(own.display));
        own.display = nullptr;
    }
}

void SendSharedPicture(SharedPicture& shared, const PixelRect* regions, int count) {
    SharedPictureState* state = shared.state;
    if (state == nullptr) return;
    if (count < 0) {
        XShmPutImage(state->display, state->window, state->gc, state->image, 0, 0, 0, 0,
                     static_cast<unsigned>(state->image->width), static_cast<unsigned>(state->image->height), False);
    }
    // Many regions go as one picture clipped to them: the server copies only
    // what lies inside, and a request each would cost it more than the copy.
    // They come in bands, as the server keeps a region: told so, it takes them
    // as they are instead of sorting them into bands at every picture.
    if (count > 0) {
        count = std::min(count, kMaxChangedRegions);
        PixelRect bounds = regions[0];
        for (int i = 0; i < count; ++i) {
            const PixelRect& region = regions[i];
            state->clip[static_cast<std::size_t>(i)] =
                XRectangle{static_cast<short>(region.left), static_cast<short>(region.top),
                           static_cast<unsigned short>(region.right - region.left),
                           static_cast<unsigned short>(region.bottom - region.top)};
            bounds = PixelRect{std::min(bounds.left, region.left), std::min(bounds.top, region.top),
                               std::max(bounds.right, region.right), std::max(bounds.bottom, region.bottom)};
        }
        if (count > 1) XSetClipRectangles(state->display, state->gc, 0, 0, state->clip.data(), count, YXBanded);
        XShmPutImage(state->display, state->window, state->gc, state->image, bounds.left, bounds.top, bounds.left,
                     bounds.top, static_cast<unsigned>(bounds.right - bounds.left),
                     static_cast<unsigned>(bounds.bottom - bounds.top), False);
        if (count > 1) XSetClipMask(state->display, state->gc, None);
    }
    // Until the server has read them, the pixels must stay as they are.
    if (count != 0) XSync(state->display, False);
}

void StopSharingPicture(SharedPicture& shared) {
    SharedPictureState* state = shared.state;
    if (state == nullptr) return;
    XShmDetach(state->display, &state->segment);
    XFreeGC(state->display, state->gc);
    FreeImage(state->image);
    XSync(state->display, False);
    delete state;
    shared.state = nullptr;
}

#else

struct SharedPictureState {};

bool DisplaySharesMemory(SDL_Window*) {
    return false;
}

bool ShareCanvasWithWindow(SharedPicture&, SDL_Window*, const Canvas&) {
    return false;
}

void SendSharedPicture(SharedPicture&, const PixelRect*, int) {}

void StopSharingPicture(SharedPicture&) {}

bool ShareThroughOwnDisplay(OwnDisplay&, const char*, unsigned long, const Canvas&) {
    return false;
}

void StopOwnDisplay(OwnDisplay&, bool) {}

#endif

}  // namespace platform
