#include "render/wall.h"

#include "platform/platform.h"
#include "render/draw_helpers.h"

#include <array>

namespace render {

namespace {

// What a section of a wall's glyph is: part of the wall around the letter
// (counters included), part of the letter, or one of the contours that only
// the see-through look paints.
enum class SectionRole { Wall, Letter, Outline };

// Painted sections n decide the roles: 3 (two wall sections and the letter),
// 5 (three wall sections, two letter sections, two contours after them) or
// 6 (four wall sections, two letter sections, three contours).
SectionRole RoleOf(int section, int painted) {
    if (section > painted) return SectionRole::Outline;
    const int letter_sections = painted == 3 ? 1 : 2;
    return section <= painted - letter_sections ? SectionRole::Wall : SectionRole::Letter;
}

bool KnownSectionCount(int painted) {
    return painted == 3 || painted == 5 || painted == 6;
}

using SectionBuffer = std::array<platform::PointF, MaxGlyphPoints>;

void FillSection(platform::Platform& platform, const SectionBuffer& points, int count, platform::Color color) {
    platform::GraphicPolygon(platform, points.data(), count, color, color, platform::FillStyle::Solid, 0);
}

void OutlineSection(platform::Platform& platform, const SectionBuffer& points, int count, platform::Color color,
                    int pen_width) {
    platform::GraphicSetPenWidth(platform, pen_width);
    platform::GraphicPolygon(platform, points.data(), count, color, platform::kTransparent, platform::FillStyle::Solid,
                             0);
    platform::GraphicSetPenWidth(platform, 1);
}

// One section on the craft, by its role and the wall's look:
//   look 0 wall and letter in the wall colour (the letter cannot be seen),
//   look 1 coloured wall, white letter,
//   look 2 coloured wall, see-through letter,
//   look 3 see-through wall, coloured letter,
//   look 4 only the letter's contours.
void PaintSection(platform::Platform& platform, const SectionBuffer& points, int count, SectionRole role, int look,
                  int painted, platform::Color wall_color, int outline_width) {
    switch (role) {
        case SectionRole::Wall:
            if (look >= 0 && look <= 2) FillSection(platform, points, count, wall_color);
            break;
        case SectionRole::Letter:
            if (look == 0 || look == 3) {
                FillSection(platform, points, count, wall_color);
            } else if (look == 1) {
                FillSection(platform, points, count, kWhite);
            } else if (look == 4 && painted == 3) {
                // A letter without counters is its own contour.
                OutlineSection(platform, points, count, wall_color, outline_width);
            }
            break;
        case SectionRole::Outline:
            if (look == 4) OutlineSection(platform, points, count, wall_color, outline_width);
            break;
    }
}

void ReportSectionCount(GameState& game, int wall) {
    platform::Platform& platform = *game.platform;
    platform::GraphicPrintText(platform, "AT !!!!!  FATAL ERROR:  FinLabelDRAW=");
    platform::GraphicPrintNumber(platform, wall);
    platform::GraphicPrintText(platform, "  SectionsPerCharacter(FinLabelDRAW, 1)=");
    platform::GraphicPrintNumber(platform, game.glyphs.SectionsPerCharacter[wall][1]);
    platform::GraphicNewLine(platform);
    platform::GraphicPrintText(platform, " <> ");
    platform::GraphicLineInput(platform);
}

// Where a wall's letter sits in the strip at the top of the window: centred in
// the wall's cell of the row, the first row lower by `row_drop` design units.
struct StripOrigin {
    double x = 0;
    double y = 0;
};

StripOrigin StripCellOrigin(const Screen& screen, int wall, double row_drop) {
    StripOrigin origin;
    origin.x = (Scaled(screen, 120) + Scaled(screen, 14)) * wall - screen.HalfWidth - ScaledExact(screen, 49);
    origin.y = screen.HalfHeight - Scaled(screen, 8) - Scaled(screen, 3) - Scaled(screen, 14) -
               ScaledExact(screen, row_drop);
    return origin;
}

int StripPoints(const GameState& game, int wall, int turn, int section, int count, StripOrigin origin,
                SectionBuffer& points) {
    const auto& mini = game.glyphs.CharMINI[wall][turn][section];
    for (int k = 1; k <= count; ++k) {
        const Point2f& p = mini[k];
        points[static_cast<std::size_t>(k - 1)] =
            platform::PointF{static_cast<float>(origin.x + p.x), static_cast<float>(origin.y + p.y)};
    }
    return count;
}

}  // namespace

// -- Wall --

void DrawWall(GameState& game, int wall) {
    if (game.platform == nullptr || wall < 1 || wall > NumFaces) return;
    platform::Platform& platform = *game.platform;
    const Screen& screen = game.screen;
    const Glyphs& glyphs = game.glyphs;
    const int sections = glyphs.SectionsPerCharacter[wall][1];
    const int painted = sections - glyphs.SectionsPerCharacter[wall][2];
    const int look = game.scene.FaceLook[wall][0];
    const platform::Color wall_color = WallColor(game, wall);

    // Row 1 of the strip shows the letter turned to its target corner; row 2
    // the corner the toe last matched, and stays empty until one matched.
    const int target_turn = static_cast<int>(
        RoundHalfEven(game.etude.TumbleHistoryDegreesCCW[wall][2] / 90.0 + 1.0));
    const float matched = game.etude.ToeDist[wall][0];
    const int matched_turn = static_cast<int>(RoundHalfEven(matched));
    const bool row1 = target_turn >= 1 && target_turn <= 4;
    const bool row2 = matched != 0 && matched_turn >= 1 && matched_turn <= 4;
    const StripOrigin origin1 = StripCellOrigin(screen, wall, 60);
    const StripOrigin origin2 = StripCellOrigin(screen, wall, 195);

    SectionBuffer on_face{};
    SectionBuffer strip{};
    const int last_section = sections < MaxGlyphSections ? sections : MaxGlyphSections;
    for (int s = 1; s <= last_section; ++s) {
        if (!KnownSectionCount(painted)) {
            ReportSectionCount(game, wall);
            continue;
        }
        const int points = glyphs.PointsPerCharSection[wall][s];
        // Sections with fewer than two points, or more than a glyph can hold, draw nothing.
        if (points < 2 || points > MaxGlyphPoints) continue;

        const auto& world = glyphs.CharONFACE[wall][s];
        for (int k = 1; k <= points; ++k) {
            on_face[static_cast<std::size_t>(k - 1)] = Projected(world[k].x, world[k].y, world[k].z);
        }
        const SectionRole role = RoleOf(s, painted);
        PaintSection(platform, on_face, points, role, look, painted, wall_color, screen.OutlineWidth);

        if (role == SectionRole::Outline) continue;
        // The strip always shows the letter white on its wall, whatever the look.
        const platform::Color strip_color = role == SectionRole::Wall ? wall_color : kWhite;
        if (row1) FillSection(platform, strip, StripPoints(game, wall, target_turn, s, points, origin1, strip), strip_color);
        if (row2) FillSection(platform, strip, StripPoints(game, wall, matched_turn, s, points, origin2, strip), strip_color);
    }
}

}  // namespace render
