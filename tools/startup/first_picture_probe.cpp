// Preloaded into a program under measurement: at the first picture handed to
// a window that holds anything but black (through SDL's window surface, or
// straight from the program's shared memory with the X server), it writes the microseconds since
// START_US (the launcher's wall clock at the start, in microseconds) to the
// file named by FIRST_PICTURE_FILE and ends the program. A start-up stopwatch,
// the same for the game and for the bare window it is compared with.

#include <SDL.h>
#include <X11/Xlib.h>

#include <dlfcn.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

long long NowMicroseconds() {
    timeval now{};
    gettimeofday(&now, nullptr);
    return static_cast<long long>(now.tv_sec) * 1000000 + now.tv_usec;
}

bool ShowsMoreThanBlack(SDL_Window* window) {
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (surface == nullptr || surface->format->BytesPerPixel != 4) return false;
    for (int row = 0; row < surface->h; row += 7) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(static_cast<const unsigned char*>(surface->pixels) +
                                                                  static_cast<std::size_t>(row) * surface->pitch);
        for (int column = 0; column < surface->w; ++column)
            if ((line[column] & 0xFFFFFFu) != 0) return true;
    }
    return false;
}

bool ImageShowsMoreThanBlack(const XImage* image) {
    if (image == nullptr || image->bits_per_pixel != 32) return false;
    for (int row = 0; row < image->height; row += 7) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(image->data + static_cast<std::size_t>(row) *
                                                                                 image->bytes_per_line);
        for (int column = 0; column < image->width; ++column)
            if ((line[column] & 0xFFFFFFu) != 0) return true;
    }
    return false;
}

void NoteShown() {
    long long elapsed = NowMicroseconds() - std::atoll(std::getenv("START_US") ? std::getenv("START_US") : "0");
    if (const char* path = std::getenv("FIRST_PICTURE_FILE")) {
        if (FILE* out = std::fopen(path, "w")) {
            std::fprintf(out, "%lld\n", elapsed);
            std::fclose(out);
        }
    }
    _exit(0);
}

void NoteIfShown(SDL_Window* window) {
    if (ShowsMoreThanBlack(window)) NoteShown();
}

}  // namespace

extern "C" int SDL_UpdateWindowSurface(SDL_Window* window) {
    using Update = int (*)(SDL_Window*);
    static auto real = reinterpret_cast<Update>(dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface"));
    int result = real(window);
    NoteIfShown(window);
    return result;
}

extern "C" int SDL_UpdateWindowSurfaceRects(SDL_Window* window, const SDL_Rect* rects, int count) {
    using Update = int (*)(SDL_Window*, const SDL_Rect*, int);
    static auto real = reinterpret_cast<Update>(dlsym(RTLD_NEXT, "SDL_UpdateWindowSurfaceRects"));
    int result = real(window, rects, count);
    NoteIfShown(window);
    return result;
}

// A picture sent from shared memory is shown once the server has read it.
extern "C" int XShmPutImage(Display* display, Drawable drawable, GC gc, XImage* image, int source_x, int source_y,
                            int x, int y, unsigned width, unsigned height, int send_event) {
    using Put = int (*)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned, int);
    using Sync = int (*)(Display*, int);
    static auto real = reinterpret_cast<Put>(dlsym(RTLD_NEXT, "XShmPutImage"));
    static auto sync = reinterpret_cast<Sync>(dlsym(RTLD_DEFAULT, "XSync"));
    int result = real(display, drawable, gc, image, source_x, source_y, x, y, width, height, send_event);
    if (ImageShowsMoreThanBlack(image)) {
        if (sync != nullptr) sync(display, 0);
        NoteShown();
    }
    return result;
}
