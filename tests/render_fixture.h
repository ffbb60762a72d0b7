#pragma once
// Helpers for the picture tests: a play scene on an off-screen canvas, the
// projected shapes of the walls' sections, and a sampler that finds points
// well inside a section (away from every edge), where the colour a section was
// painted in can be read without caring how the back end rounds edges.

#include "app/pass_setup.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "render/view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace render_test {

// The craft's numbering, written out for the tests: the apexes of each wall
// (index 1..6) and the three edge neighbours of each apex (1..8). Index 0 is
// unused so the tables read with the game's own wall and apex numbers.
constexpr std::array<std::array<int, 4>, 7> WallApexes = {{
    {0, 0, 0, 0},
    {1, 2, 3, 4},  // 1: z = 0, facing the viewer
    {2, 3, 6, 7},  // 2: x = 7
    {5, 6, 7, 8},  // 3: z = 7
    {1, 4, 5, 8},  // 4: x = 0
    {1, 2, 5, 6},  // 5: y = 0
    {3, 4, 7, 8},  // 6: y = 7
}};
constexpr std::array<std::array<int, 3>, 9> ApexNeighbours = {{
    {0, 0, 0}, {2, 4, 5}, {1, 3, 6}, {2, 4, 7}, {1, 3, 8}, {1, 6, 8}, {2, 5, 7}, {3, 6, 8}, {4, 5, 7},
}};

struct TestScene {
    platform::PlatformHandle window;
    std::unique_ptr<GameState> game;
    GameState& g() { return *game; }
    platform::Platform& w() { return *window; }
};

inline TestScene MakeScene(const app::SceneChoice& choice = {}) {
    TestScene scene;
    platform::OffscreenOptions options;
    options.width = choice.width;
    options.height = choice.height;
    scene.window = platform::CreateOffscreenPlatform(options);
    scene.game = app::BuildChosenScene(choice, scene.window.get());
    return scene;
}

inline void PaintAll(platform::Platform& window, platform::Color color) {
    platform::GraphicSetColor(window, color, color);
    platform::GraphicClear(window);
}

using Polygon = std::vector<platform::PointF>;

inline Polygon ProjectedSection(const GameState& game, int wall, int section) {
    Polygon polygon;
    const auto& points = game.glyphs.CharONFACE[wall][section];
    for (int k = 1; k <= game.glyphs.PointsPerCharSection[wall][section]; ++k) {
        const Point2f p = render::ProjectPoint(points[k].x, points[k].y, points[k].z);
        polygon.push_back({p.x, p.y});
    }
    return polygon;
}

// A strip copy placed by the strip's rule: cell w of the row, the row's
// centre `row_drop` design units below the top of the first strip row.
inline Polygon StripSection(const GameState& game, int wall, int turn, int section, double row_drop) {
    const Screen& screen = game.screen;
    const double scale = screen.WindowScale;
    auto rounded = [&](double design) { return static_cast<double>(RoundHalfEven(design * scale)); };
    const double x0 = (rounded(120) + rounded(14)) * wall - screen.HalfWidth - 49 * scale;
    const double y0 = screen.HalfHeight - rounded(8) - rounded(3) - rounded(14) - row_drop * scale;
    Polygon polygon;
    const auto& points = game.glyphs.CharMINI[wall][turn][section];
    for (int k = 1; k <= game.glyphs.PointsPerCharSection[wall][section]; ++k) {
        polygon.push_back({static_cast<float>(x0 + points[k].x), static_cast<float>(y0 + points[k].y)});
    }
    return polygon;
}

// Non-zero winding, as the polygons are filled.
inline bool Inside(const Polygon& polygon, double x, double y) {
    int winding = 0;
    const std::size_t n = polygon.size();
    for (std::size_t i = 0; i < n; ++i) {
        const platform::PointF& a = polygon[i];
        const platform::PointF& b = polygon[(i + 1) % n];
        const double cross = (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y);
        if (a.y <= y) {
            if (b.y > y && cross > 0) ++winding;
        } else if (b.y <= y && cross < 0) {
            --winding;
        }
    }
    return winding != 0;
}

inline double EdgeDistance(const Polygon& polygon, double x, double y) {
    double best = 1e30;
    const std::size_t n = polygon.size();
    for (std::size_t i = 0; i < n; ++i) {
        const platform::PointF& a = polygon[i];
        const platform::PointF& b = polygon[(i + 1) % n];
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double length2 = dx * dx + dy * dy;
        double t = length2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / length2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        best = std::min(best, std::hypot(x - (a.x + t * dx), y - (a.y + t * dy)));
    }
    return best;
}

struct Sample {
    float x = 0, y = 0;
    int section = 0;  // the first of `shapes` that holds the point (1-based), 0 none
};

// Grid points over the shapes' bounding box, each at least `margin` away from
// every edge of every shape in `edges`; the point's section is found among `shapes`.
inline std::vector<Sample> SamplePoints(const std::vector<Polygon>& shapes, const std::vector<Polygon>& edges,
                                        double margin, double step) {
    double left = 1e30, right = -1e30, bottom = 1e30, top = -1e30;
    for (const Polygon& shape : shapes) {
        for (const platform::PointF& p : shape) {
            left = std::min<double>(left, p.x), right = std::max<double>(right, p.x);
            bottom = std::min<double>(bottom, p.y), top = std::max<double>(top, p.y);
        }
    }
    std::vector<Sample> samples;
    for (double y = bottom; y <= top; y += step) {
        for (double x = left; x <= right; x += step) {
            bool clear = true;
            for (const Polygon& shape : edges) clear = clear && EdgeDistance(shape, x, y) >= margin;
            if (!clear) continue;
            Sample sample{static_cast<float>(x), static_cast<float>(y), 0};
            for (std::size_t s = 0; s < shapes.size() && sample.section == 0; ++s) {
                if (Inside(shapes[s], x, y)) sample.section = static_cast<int>(s) + 1;
            }
            samples.push_back(sample);
        }
    }
    return samples;
}

// The midpoints of a shape's edges: where an outline is sure to be painted.
inline std::vector<platform::PointF> EdgeMidpoints(const Polygon& polygon) {
    std::vector<platform::PointF> mids;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const platform::PointF& a = polygon[i];
        const platform::PointF& b = polygon[(i + 1) % polygon.size()];
        if (std::hypot(b.x - a.x, b.y - a.y) < 8) continue;  // too short to read reliably
        mids.push_back({(a.x + b.x) / 2, (a.y + b.y) / 2});
    }
    return mids;
}

inline std::vector<platform::Color> AllPixels(const platform::Platform& window, int width, int height) {
    std::vector<platform::Color> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) pixels.push_back(platform::DevicePixelAt(window, column, row));
    }
    return pixels;
}

inline int CountTexts(const platform::Platform& window, const std::string& text) {
    int count = 0;
    for (const platform::PrintedText& printed : platform::PrintedTexts(window)) count += printed.text == text;
    return count;
}

}  // namespace render_test
