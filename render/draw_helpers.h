#pragma once
// Small helpers shared by the scene's painters: design sizes scaled to this
// screen, wall colours as drawing colours, and the projection of a world point
// straight into a polygon point.

#include "core/game_state.h"
#include "platform/platform.h"
#include "render/view.h"

namespace render {

constexpr platform::Color kWhite = platform::Rgb(255, 255, 255);
constexpr platform::Color kBlack = platform::Rgb(0, 0, 0);
constexpr platform::Color kRed = platform::Rgb(255, 0, 0);

// A size designed for the 3840 x 2160 reference screen, scaled to this one and
// rounded on its own, so that sums of such sizes land on the same pixels as the
// layout grid does.
inline int Scaled(const Screen& screen, double design) {
    return static_cast<int>(RoundHalfEven(design * static_cast<double>(screen.WindowScale)));
}

// The same size scaled but not rounded, for the places that add it as it is.
inline double ScaledExact(const Screen& screen, double design) {
    return design * static_cast<double>(screen.WindowScale);
}

// A point size for the scene's labels: design size x TextScale, rounded.
inline int FontPoints(const Screen& screen, double design) {
    return static_cast<int>(RoundHalfEven(design * static_cast<double>(screen.TextScale)));
}

inline platform::Color WallColor(const GameState& game, int wall) {
    const auto& rgb = game.scene.FaceColor[wall];
    return platform::Rgb(rgb[1], rgb[2], rgb[3]);
}

inline platform::PointF Projected(double x, double y, double z) {
    const Point2f p = ProjectPoint(x, y, z);
    return platform::PointF{p.x, p.y};
}

}  // namespace render
