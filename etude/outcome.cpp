#include "etude/outcome.h"

#include "etude/motions.h"
#include "platform/platform.h"
#include "records/record_file.h"
#include "render/scene.h"

#include <algorithm>
#include <cmath>

namespace etude {

namespace {

double SinkElapsed(GameState& game) {
    return platform::SecondsSince(*game.platform, game.etude.SinkStart);
}

}  // namespace

// -- Goal test --

double ToeToAnchorDistance(const GameState& game, int wall) {
    const Point3d& toe = game.robo.RoboONFACE[wall][5][2];
    const Point3f& anchor = game.glyphs.CharONFACE[wall][1][1];
    double dx = toe.x - anchor.x;
    double dy = toe.y - anchor.y;
    double dz = toe.z - anchor.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

int MatchedCorner(const GameState& game, int wall) {
    double distance = ToeToAnchorDistance(game, wall);
    for (int k = 1; k <= 4; ++k) {
        if (std::fabs(distance - game.etude.ToeDist[wall][k]) < GoalTolerance) return k;
    }
    return 0;
}

void BodyTurn(GameState& game) {
    RotateRoboCopy(game, game.etude.Face, game.etude.TurnAxis, game.etude.TurnAngle);
    GoalTest(game);
}

void GoalTest(GameState& game) {
    Etude& etude = game.etude;
    int wall = etude.Face;
    int corner = MatchedCorner(game, wall);
    etude.ToeDist[wall][0] = static_cast<float>(corner);
    if (corner != 0 && corner == static_cast<int>(etude.ToeDist[wall][-1])) SolveWall(game);
}

// -- A solved wall --

void SolveWall(GameState& game) {
    Etude& etude = game.etude;
    platform::Platform& platform = *game.platform;
    etude.FacesDone = static_cast<std::int16_t>(etude.FacesDone + 1);
    if (etude.FacesDone == NumFaces) records::RecordCompletedEtude(game);

    // The next figure arrives with the same parts missing.
    int wall = etude.Face;
    if (wall < NumFaces) {
        auto& here = game.robo.RoboONFACE[wall];
        auto& next = game.robo.RoboONFACE[wall + 1];
        for (int s = 1; s <= NumRoboSections; ++s) next[s][-1].x = here[s][-1].x;
    }

    std::int16_t echo = game.settings.EchoMode;
    if (echo == 2 || echo == 3) platform::PlayCue(platform, "sinking");

    etude.SinkStart = platform::Timer(platform);
    do {
        SinkingStep(game);
        if (etude.RoboShrink[wall] > SunkShrink) ShrinkStep(game);
        if (platform::QuitRequested(platform)) break;
    } while (SinkElapsed(game) <= SinkSeconds);
    // No keys are read while the wall sinks; those pressed meanwhile were
    // meant for the wall just solved and must not count on the next one.
    platform::DiscardPendingKeys(platform);

    etude.Face = static_cast<std::int16_t>(wall + 1);
    if (etude.Face <= NumFaces) game.scene.FaceLook[etude.Face][1] = kTrue;
}

void SinkingStep(GameState& game) {
    DrawNewWanderSenses(game);
    Wander& wander = game.wander;
    wander.SinkFrame += 1;
    WanderSchedule(game, wander.SinkFrame, 7);
    if (wander.SinkFrame >= 10'000'000) wander.SinkFrame = 0;
    render::DrawScene(game);
    platform::GraphicRedraw(*game.platform);
}

void ShrinkStep(GameState& game) {
    Etude& etude = game.etude;
    int wall = etude.Face;
    // The size follows the time elapsed, not the frames drawn; a slow last
    // frame must not shrink the figure below its sunk size.
    double u = std::min(SinkElapsed(game) / SinkSeconds, 1.0);
    double size = 1.0 + u * (SunkShrink - 1.0);
    double factor = size / etude.RoboShrink[wall];

    auto& copy = game.robo.RoboONFACE[wall];
    const Point3d origin = copy[0][0];
    for (int s = 0; s <= NumRoboSections; ++s) {
        int last = std::clamp<int>(game.robo.PointsPerRoboSection[s], 0, 4);
        for (int p = 0; p <= last; ++p) {
            Point3d& point = copy[s][p];
            point.x = origin.x + (point.x - origin.x) * factor;
            point.y = origin.y + (point.y - origin.y) * factor;
            point.z = origin.z + (point.z - origin.z) * factor;
        }
    }
    etude.RoboShrink[wall] = size;
}

}  // namespace etude
