#include "data/robo_model.h"

#include <array>
#include <cstddef>

namespace data {
namespace {

// -- The model --
// ROBO in model units: x 0..8, y 0..10, z -1..1, one line per section with its
// four corners in drawing order. Section numbers matter elsewhere: the colour
// table, the right-hand and hyphen-head highlights and the toe (section 5,
// corner 2) all name sections by number.
using ModelSection = std::array<Point3d, 4>;
constexpr std::array<ModelSection, NumRoboSections> kRoboModel = {{
    {{{5, 8, 0}, {5, 10, 0}, {3, 10, 0}, {3, 8, 0}}},  // 1
    {{{0, 6, -1}, {2, 6, -1}, {2, 8, -1}, {0, 8, -1}}},  // 2
    {{{6, 6, -1}, {8, 6, -1}, {8, 8, -1}, {6, 8, -1}}},  // 3
    {{{0, 0, -1}, {2, 0, -1}, {2, 1, -1}, {0, 1, -1}}},  // 4
    {{{6, 0, -1}, {8, 0, -1}, {8, 1, -1}, {6, 1, -1}}},  // 5
    {{{0, 8, 0}, {2, 8, 0}, {2, 8, 1}, {0, 8, 1}}},  // 6
    {{{8, 8, 0}, {8, 8, 1}, {6, 8, 1}, {6, 8, 0}}},  // 7
    {{{3, 8, 0}, {3, 10, 0}, {3, 10, 1}, {3, 8, 1}}},  // 8
    {{{5, 8, 0}, {5, 10, 0}, {5, 10, 1}, {5, 8, 1}}},  // 9
    {{{2, 1, -1}, {0, 1, -1}, {0, 1, 0}, {2, 1, 0}}},  // 10
    {{{8, 1, -1}, {6, 1, -1}, {6, 1, 0}, {8, 1, 0}}},  // 11
    {{{2, 0, 0}, {2, 1, 0}, {2, 1, 1}, {2, 0, 1}}},  // 12
    {{{6, 0, 0}, {6, 1, 0}, {6, 1, 1}, {6, 0, 1}}},  // 13
    {{{3, 2.5, 0}, {3, 2.5, 1}, {4, 4, 1}, {4, 4, 0}}},  // 14
    {{{5, 2.5, 1}, {5, 2.5, 0}, {4, 4, 0}, {4, 4, 1}}},  // 15
    {{{0, 0, 1}, {0, 0, 0}, {0, 1, 0}, {0, 1, 1}}},  // 16
    {{{8, 0, 0}, {8, 0, 1}, {8, 1, 1}, {8, 1, 0}}},  // 17
    {{{1, 2.5, 1}, {1, 2.5, 0}, {2, 4, 0}, {2, 4, 1}}},  // 18
    {{{7, 2.5, 0}, {7, 2.5, 1}, {6, 4, 1}, {6, 4, 0}}},  // 19
    {{{2, 4, 0}, {2, 6, 0}, {2, 6, 1}, {2, 4, 1}}},  // 20
    {{{6, 4, 0}, {6, 6, 0}, {6, 6, 1}, {6, 4, 1}}},  // 21
    {{{0, 6, 1}, {0, 6, 0}, {0, 8, 0}, {0, 8, 1}}},  // 22
    {{{8, 6, 0}, {8, 6, 1}, {8, 8, 1}, {8, 8, 0}}},  // 23
    {{{2, 6, -1}, {2, 8, -1}, {2, 8, 0}, {2, 6, 0}}},  // 24
    {{{6, 6, -1}, {6, 8, -1}, {6, 8, 0}, {6, 6, 0}}},  // 25
    {{{2, 6, 0}, {0, 6, 0}, {0, 6, 1}, {2, 6, 1}}},  // 26
    {{{6, 6, 0}, {8, 6, 0}, {8, 6, 1}, {6, 6, 1}}},  // 27
    {{{2, 0, -1}, {0, 0, -1}, {0, 0, 0}, {2, 0, 0}}},  // 28
    {{{8, 0, -1}, {6, 0, -1}, {6, 0, 0}, {8, 0, 0}}},  // 29
    {{{3, 10, 0}, {5, 10, 0}, {5, 10, 1}, {3, 10, 1}}},  // 30
    {{{3, 8, 1}, {5, 8, 1}, {5, 10, 1}, {3, 10, 1}}},  // 31
    {{{0, 8, -1}, {2, 8, -1}, {2, 8, 0}, {0, 8, 0}}},  // 32
    {{{6, 8, -1}, {8, 8, -1}, {8, 8, 0}, {6, 8, 0}}},  // 33
    {{{2, 6, -1}, {0, 6, -1}, {0, 6, 0}, {2, 6, 0}}},  // 34
    {{{6, 6, -1}, {8, 6, -1}, {8, 6, 0}, {6, 6, 0}}},  // 35
    {{{2, 0, -1}, {2, 1, -1}, {2, 1, 0}, {2, 0, 0}}},  // 36
    {{{6, 0, -1}, {6, 1, -1}, {6, 1, 0}, {6, 0, 0}}},  // 37
    {{{4, 8, 0}, {4, 6, 0}, {2, 6, 0}, {2, 8, 0}}},  // 38
    {{{4, 8, 0}, {4, 6, 0}, {6, 6, 0}, {6, 8, 0}}},  // 39
    {{{4, 4, 0}, {4, 6, 0}, {2, 6, 0}, {2, 4, 0}}},  // 40
    {{{4, 4, 0}, {6, 4, 0}, {6, 6, 0}, {4, 6, 0}}},  // 41
    {{{1, 2.5, 0}, {3, 2.5, 0}, {4, 4, 0}, {2, 4, 0}}},  // 42
    {{{5, 2.5, 0}, {7, 2.5, 0}, {6, 4, 0}, {4, 4, 0}}},  // 43
    {{{8, 6, 1}, {6, 6, 1}, {6, 8, 1}, {8, 8, 1}}},  // 44
    {{{2, 6, 1}, {0, 6, 1}, {0, 8, 1}, {2, 8, 1}}},  // 45
    {{{6, 6, 1}, {4, 6, 1}, {4, 8, 1}, {6, 8, 1}}},  // 46
    {{{4, 6, 1}, {2, 6, 1}, {2, 8, 1}, {4, 8, 1}}},  // 47
    {{{6, 4, 1}, {4, 4, 1}, {4, 6, 1}, {6, 6, 1}}},  // 48
    {{{4, 4, 1}, {2, 4, 1}, {2, 6, 1}, {4, 6, 1}}},  // 49
    {{{7, 2.5, 1}, {5, 2.5, 1}, {4, 4, 1}, {6, 4, 1}}},  // 50
    {{{3, 2.5, 1}, {1, 2.5, 1}, {2, 4, 1}, {4, 4, 1}}},  // 51
    {{{8, 0, 1}, {6, 0, 1}, {6, 1, 1}, {8, 1, 1}}},  // 52
    {{{2, 0, 1}, {0, 0, 1}, {0, 1, 1}, {2, 1, 1}}},  // 53
    {{{2, 8, 0}, {3, 8, 0}, {3, 8, 1}, {2, 8, 1}}},  // 54
    {{{5, 8, 0}, {6, 8, 0}, {6, 8, 1}, {5, 8, 1}}},  // 55
    {{{0, 1, 1}, {0, 1, 0}, {1, 2.5, 0}, {1, 2.5, 1}}},  // 56
    {{{8, 1, 0}, {8, 1, 1}, {7, 2.5, 1}, {7, 2.5, 0}}},  // 57
    {{{0, 1, 0}, {2, 1, 0}, {3, 2.5, 0}, {1, 2.5, 0}}},  // 58
    {{{6, 1, 0}, {8, 1, 0}, {7, 2.5, 0}, {5, 2.5, 0}}},  // 59
    {{{2, 1, 0}, {2, 1, 1}, {3, 2.5, 1}, {3, 2.5, 0}}},  // 60
    {{{6, 1, 1}, {6, 1, 0}, {5, 2.5, 0}, {5, 2.5, 1}}},  // 61
    {{{6, 1, 1}, {5, 2.5, 1}, {7, 2.5, 1}, {8, 1, 1}}},  // 62
    {{{2, 1, 1}, {0, 1, 1}, {1, 2.5, 1}, {3, 2.5, 1}}},  // 63
    {{{0, 6, 0}, {0, 6, -1}, {0, 8, -1}, {0, 8, 0}}},  // 64
    {{{8, 6, -1}, {8, 6, 0}, {8, 8, 0}, {8, 8, -1}}},  // 65
    {{{0, 0, 0}, {0, 0, -1}, {0, 1, -1}, {0, 1, 0}}},  // 66
    {{{8, 0, -1}, {8, 0, 0}, {8, 1, 0}, {8, 1, -1}}},  // 67
    {{{2, 0, 0}, {0, 0, 0}, {0, 0, 1}, {2, 0, 1}}},  // 68
    {{{8, 0, 0}, {6, 0, 0}, {6, 0, 1}, {8, 0, 1}}},  // 69
}};

// The model point that becomes the origin of ROBO's own frame.
constexpr Point3d kModelCentre{4, 5, 0};

}  // namespace

// -- Preparation --
void FillRoboModel(GameState& game) {
    Robo& robo = game.robo;
    const double unit = game.screen.RoboScaleUnit;
    for (int section = 1; section <= NumRoboSections; ++section) {
        robo.PointsPerRoboSection[section] = 4;
        // Single-precision trackers are plenty: the bounding-box centre only
        // serves to sort the sections by depth.
        float max_x = -999999.0f, max_y = -999999.0f, max_z = -999999.0f;
        float min_x = 999999.0f, min_y = 999999.0f, min_z = 999999.0f;
        const ModelSection& corners = kRoboModel[static_cast<std::size_t>(section - 1)];
        for (int corner = 1; corner <= 4; ++corner) {
            // Always from the constant model, so a new scale never compounds an old one.
            const Point3d& model = corners[static_cast<std::size_t>(corner - 1)];
            Point3d& point = robo.RoboRAW[section][corner];
            point.x = unit * (model.x - kModelCentre.x);
            point.y = unit * (model.y - kModelCentre.y);
            point.z = unit * (model.z - kModelCentre.z);
            if (point.x > max_x) max_x = static_cast<float>(point.x);
            if (point.x < min_x) min_x = static_cast<float>(point.x);
            if (point.y > max_y) max_y = static_cast<float>(point.y);
            if (point.y < min_y) min_y = static_cast<float>(point.y);
            if (point.z > max_z) max_z = static_cast<float>(point.z);
            if (point.z < min_z) min_z = static_cast<float>(point.z);
        }
        Point3d& centre = robo.RoboRAW[section][0];
        centre.x = (static_cast<double>(min_x) + static_cast<double>(max_x)) / 2.0;
        centre.y = (static_cast<double>(min_y) + static_cast<double>(max_y)) / 2.0;
        centre.z = (static_cast<double>(min_z) + static_cast<double>(max_z)) / 2.0;
    }
}

}  // namespace data
