#include "render/robo_figure.h"

#include "render/draw_helpers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace render {

namespace {

using platform::Rgb;

// How long a key's effect on ROBO stays on, in seconds.
constexpr double kEffectSeconds = 1.0;

struct SectionPaint {
    platform::Color normal = -1;      // -1: no entry for this section
    platform::Color right_hand = -1;  // colour while the right hand is lit
};

struct ColorRow {
    std::initializer_list<std::pair<int, int>> ranges;  // first..last section, inclusive
    platform::Color normal;
    platform::Color right_hand;
};

constexpr std::array<SectionPaint, NumRoboSections + 1> MakeSectionPaints() {
    constexpr platform::Color olive = Rgb(190, 180, 60), yellow = Rgb(245, 245, 0), green = Rgb(0, 240, 0);
    constexpr platform::Color rust = Rgb(200, 50, 0), leaf = Rgb(0, 220, 0), plum = Rgb(160, 0, 160);
    constexpr platform::Color scarlet = Rgb(230, 10, 0), violet = Rgb(180, 0, 180), grape = Rgb(140, 0, 140);
    constexpr platform::Color lime = Rgb(30, 255, 25), navy = Rgb(0, 0, 230);
    const ColorRow rows[] = {
        {{{1, 1}, {38, 43}, {58, 59}}, olive, olive},
        {{{2, 2}}, yellow, Rgb(255, 255, 255)},
        {{{3, 5}}, yellow, yellow},
        {{{6, 7}, {33, 33}, {54, 55}}, green, green},
        {{{32, 32}}, green, Rgb(220, 255, 255)},
        {{{8, 9}, {12, 13}, {16, 17}, {20, 23}, {25, 25}, {36, 37}, {65, 67}}, rust, rust},
        {{{24, 24}, {64, 64}}, rust, Rgb(185, 255, 255)},
        {{{10, 11}}, leaf, leaf},
        {{{14, 15}, {60, 61}}, plum, plum},
        {{{18, 19}, {56, 57}}, scarlet, scarlet},
        {{{26, 27}, {35, 35}}, violet, violet},
        {{{34, 34}}, violet, Rgb(150, 255, 255)},
        {{{28, 29}, {68, 69}}, grape, grape},
        {{{30, 30}}, lime, lime},
        {{{31, 31}, {44, 53}, {62, 63}}, navy, navy},
    };
    std::array<SectionPaint, NumRoboSections + 1> paints{};
    for (const ColorRow& row : rows) {
        for (const auto& [first, last] : row.ranges) {
            for (int s = first; s <= last; ++s) paints[static_cast<std::size_t>(s)] = {row.normal, row.right_hand};
        }
    }
    return paints;
}

constexpr std::array<SectionPaint, NumRoboSections + 1> kSectionPaints = MakeSectionPaints();

constexpr bool EverySectionHasAColor() {
    for (int s = 1; s <= NumRoboSections; ++s) {
        if (kSectionPaints[static_cast<std::size_t>(s)].normal < 0) return false;
    }
    return true;
}
static_assert(EverySectionHasAColor(), "every ROBO section needs a colour");

// The hyphen head: the head and the hyphen-shaped parts hatched while it is lit.
platform::FillStyle HyphenHeadStyle(int section) {
    switch (section) {
        case 1: return platform::FillStyle::Horizontal;
        case 8:
        case 9: return platform::FillStyle::Vertical;
        case 30: return platform::FillStyle::Cross;
        default: return platform::FillStyle::Solid;
    }
}

// Farthest first; equally far sections keep ascending order, as repeated
// swaps of neighbours that are strictly out of order leave them. Drawn every
// frame for every copy: a sort of the pairs, which never allocates, in place
// of the swaps, whose comparisons a branch predicts badly.
void SortFarthestFirst(Scene& scene) {
    struct Far {
        double distance;
        int place;  // before the sort
    };
    std::array<Far, NumRoboSections> order{};
    // (A distance that is not a number, which finite points never give, goes
    // last rather than leave the sort without an order.)
    for (int k = 1; k <= NumRoboSections; ++k) {
        const double distance = scene.RoboDistance[k];
        order[static_cast<std::size_t>(k - 1)] = Far{std::isnan(distance) ? -HUGE_VAL : distance, k};
    }
    std::sort(order.begin(), order.end(), [](const Far& a, const Far& b) {
        return a.distance > b.distance || (a.distance == b.distance && a.place < b.place);
    });
    const auto sections = scene.RoboOrder;
    for (int k = 1; k <= NumRoboSections; ++k) {
        scene.RoboDistance[k] = order[static_cast<std::size_t>(k - 1)].distance;
        scene.RoboOrder[k] = sections[order[static_cast<std::size_t>(k - 1)].place];
    }
}

void ReportUnknownSection(GameState& game, int section) {
    platform::Platform& platform = *game.platform;
    platform::GraphicPrintText(platform, "FATAL ERROR AT MOMO:  SS CANNOT EQUAL");
    platform::GraphicPrintNumber(platform, section);
    platform::PauseForEnter(platform, " <> ");
}

}  // namespace

bool RoboSectionColor(int section, bool right_hand, platform::Color& color) {
    if (section < 1 || section > NumRoboSections) return false;
    const SectionPaint& paint = kSectionPaints[static_cast<std::size_t>(section)];
    if (paint.normal < 0) return false;
    color = right_hand ? paint.right_hand : paint.normal;
    return true;
}

// -- ROBO --

// The right hand and the hyphen head show for one second after their key.
void ExpireEffects(GameState& game) {
    Robo& robo = game.robo;
    platform::Platform& platform = *game.platform;
    if (robo.ShowRightHand && platform::SecondsSince(platform, robo.ShowRightHandAt) > kEffectSeconds) {
        robo.ShowRightHand = false;
    }
    if (robo.ShowHyphenHead && platform::SecondsSince(platform, robo.ShowHyphenHeadAt) > kEffectSeconds) {
        robo.ShowHyphenHead = false;
    }
}

void DrawRobo(GameState& game, int wall) {
    if (game.platform == nullptr || wall < 1 || wall > NumFaces) return;
    ExpireEffects(game);
    PaintRobo(game, wall);
}

void PaintRobo(GameState& game, int wall) {
    if (game.platform == nullptr || wall < 1 || wall > NumFaces) return;
    platform::Platform& platform = *game.platform;
    Scene& scene = game.scene;
    const Robo& robo = game.robo;

    const double eye_depth = static_cast<double>(FocalLength) + static_cast<double>(ViewerGap);
    const auto& copy = robo.RoboONFACE[wall];
    for (int s = 1; s <= NumRoboSections; ++s) {
        const Point3d& centre = copy[s][0];
        const double z = centre.z + eye_depth;
        scene.RoboDistance[s] = std::sqrt(centre.x * centre.x + centre.y * centre.y + z * z);
        scene.RoboOrder[s] = static_cast<std::int16_t>(s);
    }
    SortFarthestFirst(scene);

    std::array<platform::PointF, 4> corners{};
    platform::Color color = kBlack;  // the colour last chosen, for a section the table misses
    for (int k = 1; k <= NumRoboSections; ++k) {
        const int s = scene.RoboOrder[k];
        const auto& section = copy[s];
        if (section[-1].x == 0) continue;  // taken away by the play
        if (!RoboSectionColor(s, robo.ShowRightHand, color)) ReportUnknownSection(game, s);
        const platform::FillStyle style = robo.ShowHyphenHead ? HyphenHeadStyle(s) : platform::FillStyle::Solid;
        int count = robo.PointsPerRoboSection[s];
        if (count > 4) count = 4;
        for (int p = 1; p <= count; ++p) {
            corners[static_cast<std::size_t>(p - 1)] = Projected(section[p].x, section[p].y, section[p].z);
        }
        platform::GraphicPolygon(platform, corners.data(), count, color, color, style, 0);
    }
}

}  // namespace render
