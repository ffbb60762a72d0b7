// The whole play picture as a player's frame costs it: the drift step, the
// scene painted, the redraw, and the finished picture copied into a window
// buffer, at 1920 x 1080 and 3840 x 2160. Each result is also given as a ratio
// to the floor of the same size measured in the same run (a clear and one copy
// of the frame), and with the heap allocations one frame makes: this program
// counts every malloc, of ours, of Cairo's and of the C++ library's. The path
// that keeps unchanged regions also reports the shares of the picture a frame
// repainted and handed to the window.

#include "app/pass_setup.h"
#include "etude/motions.h"
#include "platform/cairo/picture.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "render/scene.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <malloc.h>
#include <vector>

// -- Counting allocations --
// Every allocation of the process goes through these; glibc's own entry points
// do the work.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);
}

namespace {
std::atomic<long long> allocations{0};
}

extern "C" {
void* malloc(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(pointer, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    *out = __libc_memalign(alignment, size);
    return *out != nullptr ? 0 : 12;
}
void free(void* pointer) {
    __libc_free(pointer);
}
}

namespace {

using SteadyClock = std::chrono::steady_clock;

struct WindowBuffer {
    unsigned char* pixels = nullptr;
    int pitch = 0;
    explicit WindowBuffer(const platform::Platform& window) : pitch(platform::PicturePitch(window)) {
        pixels = static_cast<unsigned char*>(std::aligned_alloc(4096, static_cast<std::size_t>(pitch) * 2160 + 4096));
        std::fill(pixels, pixels + static_cast<std::size_t>(pitch) * 2160, 0);
    }
    ~WindowBuffer() { std::free(pixels); }
};

// Seconds for the floor of a picture this size: clear it, copy it once. The
// fastest of several rounds, as the frame's own time is the mean of many.
double FloorSeconds(int width, int height) {
    platform::OffscreenOptions options;
    options.width = width;
    options.height = height;
    options.shared_memory = true;  // as the desktop's canvas
    platform::PlatformHandle window = platform::CreateOffscreenPlatform(options);
    platform::OpenGraphicWindow(*window, "floor", 0, 0, width, height);
    WindowBuffer buffer(*window);
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        constexpr int kReps = 20;
        auto start = SteadyClock::now();
        for (int rep = 0; rep < kReps; ++rep) {
            platform::GraphicClear(*window);
            platform::CopyPictureTo(*window, buffer.pixels, buffer.pitch);
            benchmark::ClobberMemory();
        }
        best = std::min(best, std::chrono::duration<double>(SteadyClock::now() - start).count() / kReps);
    }
    return best;
}

// A scene in play: three walls solved, ROBO in front of them, the drift
// moving the craft a step a frame; the walls in looks that fill and hatch, or
// in the game's own first looks (see-through walls with coloured letters, and
// the letters' contours drawn with a wide pen where ROBO arrived).
std::unique_ptr<GameState> PlayScene(platform::Platform& window, int width, int height, int sky_mode,
                                     bool own_looks) {
    app::SceneChoice choice;
    choice.width = width;
    choice.height = height;
    choice.letter_turns = {0, 90, 180, 270, 0, 90};
    choice.wander_frames = 300;
    std::unique_ptr<GameState> game = app::BuildChosenScene(choice, &window);
    game->sky.SkyMode = static_cast<std::int16_t>(sky_mode);
    if (!own_looks) {
        game->settings.BeforeArrivalLook = 1;
        game->settings.AfterArrivalLook = 2;
    }
    for (int w = 1; w <= 3; ++w) game->scene.FaceLook[w][1] = kTrue;
    game->etude.FacesDone = 2;
    return game;
}

void PlayFrames(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    const int sky_mode = static_cast<int>(state.range(2));
    const bool changed_only = state.range(3) != 0;
    const bool own_looks = state.range(4) != 0;
    platform::OffscreenOptions options;
    options.width = width;
    options.height = height;
    options.log_printed = false;  // the desktop window keeps no log of texts
    options.learn_fonts_whole = true;  // as the desktop's fonts are before play
    options.shared_memory = true;      // as the desktop's canvas, in small pages
    platform::PlatformHandle window = platform::CreateOffscreenPlatform(options);
    platform::KeepUnchangedRegions(*window, changed_only);
    std::unique_ptr<GameState> game = PlayScene(*window, width, height, sky_mode, own_looks);
    WindowBuffer buffer(*window);
    std::int32_t frame = game->wander.WanderFrame;
    long long repainted = 0, shown = 0;
    auto one_frame = [&] {
        etude::WanderSchedule(*game, ++frame, 5);
        render::DrawScene(*game);
        platform::GraphicRedraw(*window);
        if (changed_only) {
            shown += platform::CopyChangedPictureTo(*window, buffer.pixels, buffer.pitch);
            repainted += platform::RepaintedPicturePixels(*window);
        } else {
            platform::CopyPictureTo(*window, buffer.pixels, buffer.pitch);
        }
        benchmark::ClobberMemory();
    };
    // The first frames make the fonts' glyphs and whatever else is made once.
    for (int warm = 0; warm < 5; ++warm) one_frame();

    const double floor = FloorSeconds(width, height);
    const long long allocations_before = allocations.load();
    repainted = shown = 0;
    auto start = SteadyClock::now();
    for (auto _ : state) one_frame();
    const double seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    // Read before the counters below are made: they allocate too.
    const long long allocations_made = allocations.load() - allocations_before;
    const auto frames = static_cast<double>(state.iterations());
    state.counters["floor_ms"] = floor * 1e3;
    state.counters["ratio_to_floor"] = seconds / frames / floor;
    state.counters["allocs_per_frame"] = static_cast<double>(allocations_made) / frames;
    if (changed_only) {
        // Shares of the picture a frame painted anew and handed to the window.
        const double pixels = static_cast<double>(width) * height * frames;
        state.counters["repainted_share"] = static_cast<double>(repainted) / pixels;
        state.counters["shown_share"] = static_cast<double>(shown) / pixels;
    }
}

}  // namespace

// Arguments: width, height, sky mode, 1 to repaint and copy only what changed,
// 1 for the game's own first looks of the walls.
BENCHMARK(PlayFrames)
    ->Name("BM_PlayFrame")
    ->ArgNames({"width", "height", "sky", "changed_only", "own_looks"})
    ->ArgsProduct({{1920}, {1080}, {2, 4, 8}, {0, 1}, {0}})
    ->ArgsProduct({{3840}, {2160}, {2, 4, 8}, {0, 1}, {0}})
    ->Args({1920, 1080, 2, 1, 1})
    ->Args({3840, 2160, 2, 1, 1})
    ->Unit(benchmark::kMillisecond);
