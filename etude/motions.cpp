#include "etude/motions.h"

#include "data/glyphs.h"
#include "platform/platform.h"
#include "platform/random.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cmath>
#include <string_view>

namespace etude {
namespace {

// -- Table bounds --
// Counts read from the tables are clamped to the slots that exist, so a bad
// count can never walk a loop off the end of a table.
int SectionCount(const Glyphs& glyphs, int wall) {
    return std::clamp<int>(glyphs.SectionsPerCharacter[wall][1], 0, MaxGlyphSections);
}
int PointCount(const Glyphs& glyphs, int wall, int section) {
    return std::clamp<int>(glyphs.PointsPerCharSection[wall][section], 0, MaxGlyphPoints);
}
int RoboPointCount(const Robo& robo, int section) {
    return std::clamp<int>(robo.PointsPerRoboSection[section], 0, 4);
}

// -- Stops for the player --
// The placement checks print their message in the window and wait for a typed
// line before going on, so a broken table is seen rather than silently drawn.
void StopForPlayer(GameState& game, std::string_view message, double value, std::string_view tail) {
    if (game.platform == nullptr) return;
    platform::Platform& platform = *game.platform;
    platform::GraphicPrintText(platform, message);
    platform::GraphicPrintNumber(platform, value);
    if (!tail.empty()) platform::GraphicPrintText(platform, tail);
    platform::GraphicNewLine(platform);
    platform::GraphicPrintText(platform, "<> TO CONT");
    platform::GraphicLineInput(platform);
}

// -- Per-wall placement --
// Everything is designed in wall 1's frame (the wall facing the viewer); each
// other wall gets its points by a fixed swap of axes, which is a quarter or
// half turn of the whole craft, so letters and ROBO keep their handedness.
template <typename P>
P CarryToWall(int wall, const P& p) {
    switch (wall) {
        case 2: return P{-p.z, p.y, p.x};
        case 3: return P{-p.x, p.y, -p.z};
        case 4: return P{p.z, p.y, -p.x};
        case 5: return P{p.x, p.z, -p.y};
        case 6: return P{p.x, -p.z, p.y};
        default: return p;  // the cube (0) and wall 1
    }
}

// Counter-clockwise turn of a letter in its own plane by a multiple of 90
// degrees. The letter turns are only ever 0, 90, 180 or 270; anything else is
// taken as no turn.
Point2f TurnInPlane(int degrees, float x, float y) {
    switch (degrees) {
        case 90: return {-y, x};
        case 180: return {-x, -y};
        case 270: return {y, -x};
        default: return {x, y};
    }
}

// -- Wander --
// Turns the (a, b) pair of one point by the angle whose cosine and sine are given.
template <typename P, typename T>
inline void TurnPair(P& point, T P::*a, T P::*b, double cos_t, double sin_t) {
    const double pa = point.*a;
    const double pb = point.*b;
    point.*a = static_cast<T>(pa * cos_t - pb * sin_t);
    point.*b = static_cast<T>(pa * sin_t + pb * cos_t);
}

template <typename P, typename T>
T P::*AxisMember(int axis) {
    switch (axis) {
        case 1: return &P::x;
        case 2: return &P::y;
        default: return &P::z;
    }
}

constexpr std::array<Point3f, 11> kMarkerShape = {{
    {0, 0, 0}, {0, -5, 0}, {-1, -1, 0}, {-5, 0, 0}, {-1, 1, 0}, {0, 5, 0},
    {1, 1, 0}, {5, 0, 0}, {1, -1, 0}, {0, 0, 1}, {0, 0, -1},
}};

std::int16_t DrawSense(GameState& game) {
    return static_cast<std::int16_t>(platform::RandomInteger(game.random, -1, 0));
}

}  // namespace

// -- Letters --
void CentreGlyphs(GameState& game) {
    Glyphs& glyphs = game.glyphs;
    for (int wall = 0; wall <= 6; ++wall) {
        for (int section = 1; section <= SectionCount(glyphs, wall); ++section) {
            for (int point = 1; point <= PointCount(glyphs, wall, section); ++point) {
                Point3f& p = glyphs.CharRAW[wall][section][point];
                p.x -= 3.5f;
                p.y -= 3.5f;
                p.z -= 3.5f;
            }
        }
    }
}

void TurnLetters(GameState& game) {
    Glyphs& glyphs = game.glyphs;
    const float unit = game.screen.CubeScaleUnit;
    for (int wall = 0; wall <= 6; ++wall) {
        const int degrees = wall == 0 ? 0 : game.etude.TumbleHistoryDegreesCCW[wall][1];
        for (int section = 1; section <= SectionCount(glyphs, wall); ++section) {
            for (int point = 1; point <= PointCount(glyphs, wall, section); ++point) {
                const Point3f& raw = glyphs.CharRAW[wall][section][point];
                const Point2f turned = TurnInPlane(degrees, raw.x, raw.y);
                glyphs.CharTURNED[wall][section][point] = Point3f{unit * turned.x, unit * turned.y, unit * raw.z};
            }
        }
    }
}

void MakeMiniatures(GameState& game) {
    Glyphs& glyphs = game.glyphs;
    const float unit = game.screen.StripUnit;
    for (int wall = 1; wall <= 6; ++wall) {
        for (int turn = 1; turn <= 4; ++turn) {
            for (int section = 1; section <= SectionCount(glyphs, wall); ++section) {
                for (int point = 1; point <= PointCount(glyphs, wall, section); ++point) {
                    const Point3f& raw = glyphs.CharRAW[wall][section][point];
                    const Point2f turned = TurnInPlane((turn - 1) * 90, raw.x, raw.y);
                    glyphs.CharMINI[wall][turn][section][point] = Point2f{unit * turned.x, unit * turned.y};
                }
            }
        }
    }
}

void PlaceLetterOnWall(GameState& game, int wall) {
    if (wall < 0 || wall > 6) {
        StopForPlayer(game, "ERROR BECAUSE FinlabelCarryCharTumToFaces=", wall, "");
        return;
    }
    Glyphs& glyphs = game.glyphs;
    for (int section = 1; section <= SectionCount(glyphs, wall); ++section) {
        for (int point = 1; point <= PointCount(glyphs, wall, section); ++point) {
            glyphs.CharONFACE[wall][section][point] = CarryToWall(wall, glyphs.CharTURNED[wall][section][point]);
        }
    }
}

void PlaceLetters(GameState& game) {
    for (int wall = 0; wall <= 6; ++wall) PlaceLetterOnWall(game, wall);
}

// Centring subtracts 3.5 from whatever is in the slots, so the glyphs are
// loaded again every time rather than centred twice.
void PrepareLetters(GameState& game) {
    data::LoadCraftApexes(game);
    data::LoadFaceGlyphs(game);
    CentreGlyphs(game);
    TurnLetters(game);
    MakeMiniatures(game);
    PlaceLetters(game);
}

// -- ROBO copies --
void FillRoboBodyFrame(GameState& game) {
    // Model units, neither shifted nor scaled: the tips only give directions,
    // and 100 units keeps the axis well away from zero length.
    auto& frame = game.robo.RoboRAW[0];
    frame[0] = Point3d{0, 0, 0};    // body origin
    frame[1] = Point3d{0, 0, 100};  // roll axis tip
    frame[2] = Point3d{0, 100, 0};  // yaw axis tip
    frame[3] = Point3d{100, 0, 0};  // pitch axis tip
    frame[4] = Point3d{0, 0, 0};
    game.robo.PointsPerRoboSection[0] = 3;
}

void TurnRoboForWall(GameState& game, int wall) {
    if (wall < 1 || wall > 6) {
        StopForPlayer(game, "ZZZZZ ERROR BECAUSE FinlabelCarryRoboToFaces=", wall, "");
        return;
    }
    int degrees = game.etude.TumbleHistoryDegreesCCW[wall][3];
    if (degrees != 0 && degrees != 90 && degrees != 180 && degrees != 270) {
        StopForPlayer(game, "ZZZZZ ERROR BECAUSE TumbleHistoryDegreesCCW(FinlabelCarryRoboToFaces, 3)=", degrees,
                      " WAS NOT 0,90,180,270");
        degrees = 0;
    }
    Robo& robo = game.robo;
    for (int section = 0; section <= NumRoboSections; ++section) {
        for (int point = 0; point <= RoboPointCount(robo, section); ++point) {
            const Point3d& p = robo.RoboRAW[section][point];
            Point3d& out = robo.RoboTURNED[wall][section][point];
            // Every case is half a turn about y followed by the
            // counter-clockwise turn in the wall plane.
            switch (degrees) {
                case 90: out = Point3d{-p.y, -p.x, -p.z}; break;
                case 180: out = Point3d{p.x, -p.y, -p.z}; break;
                case 270: out = Point3d{p.y, p.x, -p.z}; break;
                default: out = Point3d{-p.x, p.y, -p.z}; break;
            }
        }
    }
}

void PlaceRoboOnWall(GameState& game, int wall) {
    if (wall < 1 || wall > 6) {
        StopForPlayer(game, "ZZZZZ ERROR BECAUSE FinlabelCarryRoboToFaces=", wall, "");
        return;
    }
    Robo& robo = game.robo;
    const double stand_off = game.screen.RoboStandOff;
    for (int section = 0; section <= NumRoboSections; ++section) {
        // Points 0 and up only: point -1 is the section's drawn flag.
        for (int point = 0; point <= RoboPointCount(robo, section); ++point) {
            const Point3d& p = robo.RoboTURNED[wall][section][point];
            robo.RoboONFACE[wall][section][point] = CarryToWall(wall, Point3d{p.x, p.y, p.z + stand_off});
        }
    }
}

void PrepareRoboCopies(GameState& game) {
    for (int wall = 1; wall <= 6; ++wall) {
        TurnRoboForWall(game, wall);
        PlaceRoboOnWall(game, wall);
    }
}

void RotateRoboCopy(GameState& game, int wall, int axis, double angle) {
    if (wall < 1 || wall > 6 || axis < 1 || axis > 3) return;
    auto& copy = game.robo.RoboONFACE[wall];
    // The axis runs from the body origin to one of the frame's tips; both are
    // points of the copy itself, so the turn is always about ROBO's own axis.
    const double a = copy[0][0].x;
    const double b = copy[0][0].y;
    const double c = copy[0][0].z;
    const double u = copy[0][axis].x - a;
    const double v = copy[0][axis].y - b;
    const double w = copy[0][axis].z - c;
    const double l2 = u * u + v * v + w * w;
    if (l2 == 0.0) return;  // no axis to turn about
    const double l = std::sqrt(l2);
    const double cos_t = std::cos(angle);
    const double sin_t = std::sin(angle);
    const double one_minus_cos = 1.0 - cos_t;

    for (int section = 0; section <= NumRoboSections; ++section) {
        const int last = RoboPointCount(game.robo, section);
        for (int point = 0; point <= last; ++point) {
            Point3d& p = copy[section][point];
            const double x = p.x, y = p.y, z = p.z;
            const double dot = u * x + v * y + w * z;
            p.x = ((a * (v * v + w * w) - u * (b * v + c * w - dot)) * one_minus_cos + l2 * x * cos_t +
                   l * (b * w - c * v - w * y + v * z) * sin_t) / l2;
            p.y = ((b * (u * u + w * w) - v * (a * u + c * w - dot)) * one_minus_cos + l2 * y * cos_t +
                   l * (c * u - a * w + w * x - u * z) * sin_t) / l2;
            p.z = ((c * (u * u + v * v) - w * (a * u + b * v - dot)) * one_minus_cos + l2 * z * cos_t +
                   l * (a * v - b * u - v * x + u * y) * sin_t) / l2;
        }
    }
}

// -- Wander --
void BuildWanderMarker(GameState& game) {
    const float unit = 30.0f * game.screen.WindowScale;
    for (int point = 0; point <= 10; ++point) {
        const Point3f& shape = kMarkerShape[static_cast<std::size_t>(point)];
        game.wander.WanderMarker[point] = Point3f{unit * shape.x, unit * shape.y, unit * shape.z};
    }
}

void WanderStepTurn(GameState& game, int a, int b, double scene_angle, double marker_angle) {
    if (a < 1 || a > 3 || b < 1 || b > 3 || a == b) return;
    const double scene_cos = std::cos(scene_angle);
    const double scene_sin = std::sin(scene_angle);
    const double marker_cos = std::cos(marker_angle);
    const double marker_sin = std::sin(marker_angle);

    float Point3f::*fa = AxisMember<Point3f, float>(a);
    float Point3f::*fb = AxisMember<Point3f, float>(b);
    Glyphs& glyphs = game.glyphs;
    for (int wall = 0; wall <= 6; ++wall) {
        for (int section = 1; section <= SectionCount(glyphs, wall); ++section) {
            auto& points = glyphs.CharONFACE[wall][section];
            const int last = PointCount(glyphs, wall, section);
            for (int point = 1; point <= last; ++point) TurnPair(points[point], fa, fb, scene_cos, scene_sin);
        }
    }

    // The marker spins about its own centre, point 0, which stays where it is.
    for (int point = 1; point <= 10; ++point) {
        TurnPair(game.wander.WanderMarker[point], fa, fb, marker_cos, marker_sin);
    }

    double Point3d::*da = AxisMember<Point3d, double>(a);
    double Point3d::*db = AxisMember<Point3d, double>(b);
    Robo& robo = game.robo;
    for (int wall = 1; wall <= 6; ++wall) {
        auto& copy = robo.RoboONFACE[wall];
        for (int section = 0; section <= NumRoboSections; ++section) {
            const int last = RoboPointCount(robo, section);
            for (int point = 0; point <= last; ++point) TurnPair(copy[section][point], da, db, scene_cos, scene_sin);
        }
    }
}

void WanderSchedule(GameState& game, std::int32_t counter, double marker_multiplier) {
    const Wander& wander = game.wander;
    const int phase = ((counter % 3) + 3) % 3 + 1;
    int a = 1, b = 2;
    double scene_angle = 0, marker_angle = 0;
    // The drift takes the three world planes in turn; the senses pick the way
    // round in each plane, separately for the scene and the marker.
    switch (phase) {
        case 1:
            a = 2;
            b = 3;
            scene_angle = wander.WanderSense[1] != 0 ? WanderStep : -WanderStep;
            marker_angle = wander.MarkerSense[1] != 0 ? WanderStep : -WanderStep;
            break;
        case 2:
            a = 1;
            b = 3;
            scene_angle = wander.WanderSense[2] != 0 ? -WanderStep : WanderStep;
            marker_angle = wander.MarkerSense[2] != 0 ? -WanderStep : WanderStep;
            break;
        default:
            a = 1;
            b = 2;
            scene_angle = wander.WanderSense[3] != 0 ? WanderStep : -WanderStep;
            marker_angle = wander.MarkerSense[3] != 0 ? WanderStep : -WanderStep;
            break;
    }
    WanderStepTurn(game, a, b, scene_angle, marker_angle * marker_multiplier);
}

void DrawInitialWanderSenses(GameState& game) {
    for (int k = 1; k <= 3; ++k) game.wander.WanderSense[k] = DrawSense(game);
    for (int k = 1; k <= 3; ++k) game.wander.MarkerSense[k] = DrawSense(game);
}

void DrawNewWanderSenses(GameState& game) {
    Wander& wander = game.wander;
    const auto saved = wander.WanderSense;
    // The scene must visibly change its drift, so the three scene senses are
    // drawn again until at least one differs from before.
    do {
        for (int k = 1; k <= 3; ++k) wander.WanderSense[k] = DrawSense(game);
    } while (wander.WanderSense[1] == saved[1] && wander.WanderSense[2] == saved[2] &&
             wander.WanderSense[3] == saved[3]);
    for (int k = 1; k <= 3; ++k) wander.MarkerSense[k] = DrawSense(game);
}

}  // namespace etude
