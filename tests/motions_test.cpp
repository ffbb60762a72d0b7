#include "etude/motions.h"

#include "app/pass_setup.h"
#include "platform/random.h"
#include "render/view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// -- A scene built by hand --

// A whole etude's scene at the reference screen: the word on the walls with
// the given letter turns, ROBO copies with the given ROBO turns, every section
// drawn. The flags get odd y and z values too, so any write to point -1 shows.
std::unique_ptr<GameState> MakeScene(const std::string& word, const std::array<int, 6>& letter_turns,
                                     const std::array<int, 6>& robo_turns, int width = 3840, int height = 2160) {
    auto game = std::make_unique<GameState>();
    app::SceneChoice choice;
    choice.width = width;
    choice.height = height;
    choice.word = word;
    for (std::size_t i = 0; i < 6; ++i) {
        choice.letter_turns[i] = letter_turns[i];
        choice.target_turns[i] = (letter_turns[i] - robo_turns[i] + 360) % 360;  // gives the ROBO turn asked for
    }
    platform::SeedRandom(game->random, 43200.0);
    app::PassSetUp(*game, &choice);
    etude::PrepareLetters(*game);
    for (int wall = 1; wall <= 6; ++wall) {
        for (int section = 0; section <= NumRoboSections; ++section) {
            game->robo.RoboONFACE[wall][section][-1] = Point3d{section == 0 ? 0.0 : -1.0, 7.0, 9.0};
        }
    }
    etude::PrepareRoboCopies(*game);
    return game;
}

std::unique_ptr<GameState> MakeRestScene() {
    return MakeScene("ABDUCT", {0, 90, 180, 270, 0, 90}, {180, 0, 90, 270, 180, 0});
}

double Distance(const Point3d& p, const Point3d& q) {
    return std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) + (p.z - q.z) * (p.z - q.z));
}
Point3d ToDouble(const Point3f& p) { return Point3d{p.x, p.y, p.z}; }
Point3d Minus(const Point3d& p, const Point3d& q) { return Point3d{p.x - q.x, p.y - q.y, p.z - q.z}; }

void ExpectPointNear(const Point3d& actual, double x, double y, double z, double tolerance) {
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
    EXPECT_NEAR(actual.z, z, tolerance);
}

// -- Letters on the walls --

TEST(LetterPlacement, ApexesAndLettersLieOnTheirWalls) {
    auto game = MakeRestScene();
    const Glyphs& glyphs = game->glyphs;
    ExpectPointNear(ToDouble(glyphs.CharONFACE[0][1][1]), -504, -504, -504, 1e-4);
    ExpectPointNear(ToDouble(glyphs.CharONFACE[0][1][7]), 504, 504, 504, 1e-4);

    // Wall plane per wall: which coordinate is fixed, and at which value.
    const int axis[7] = {0, 3, 1, 3, 1, 2, 2};
    const double plane[7] = {0, -504, 504, 504, -504, -504, 504};
    for (int wall = 1; wall <= 6; ++wall) {
        for (int section = 1; section <= glyphs.SectionsPerCharacter[wall][1]; ++section) {
            for (int point = 1; point <= glyphs.PointsPerCharSection[wall][section]; ++point) {
                Point3f p = glyphs.CharONFACE[wall][section][point];
                EXPECT_FLOAT_EQ(Coord(p, axis[wall]), plane[wall]) << "wall " << wall;
                EXPECT_LE(std::fabs(p.x), 504.0f);
                EXPECT_LE(std::fabs(p.y), 504.0f);
                EXPECT_LE(std::fabs(p.z), 504.0f);
            }
        }
    }
}

TEST(LetterPlacement, LetterTurnMovesTheAnchorToItsCorner) {
    // The anchor (glyph origin) lands on corner k when the letter turns by (k - 1) x 90.
    const double corners[4][2] = {{-504, -504}, {504, -504}, {504, 504}, {-504, 504}};
    for (int k = 1; k <= 4; ++k) {
        auto game = MakeScene("ABDUCT", {(k - 1) * 90, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0});
        const Point3f anchor = game->glyphs.CharONFACE[1][1][1];
        EXPECT_FLOAT_EQ(anchor.x, corners[k - 1][0]) << k;
        EXPECT_FLOAT_EQ(anchor.y, corners[k - 1][1]) << k;
        EXPECT_FLOAT_EQ(anchor.z, -504.0f) << k;
        // The miniature strip turns the same way, at its own scale.
        const Point2f mini = game->glyphs.CharMINI[1][k][1][1];
        EXPECT_FLOAT_EQ(mini.x, corners[k - 1][0] / 504.0 * 3.5 * 17) << k;
        EXPECT_FLOAT_EQ(mini.y, corners[k - 1][1] / 504.0 * 3.5 * 17) << k;
    }
}

// -- ROBO placement --

TEST(RoboPlacement, BodyOriginsSitOnTheOutwardNormals) {
    auto game = MakeRestScene();
    const double d = -936;
    const double origins[7][3] = {{0, 0, 0}, {0, 0, d}, {-d, 0, 0}, {0, 0, -d}, {d, 0, 0}, {0, d, 0}, {0, -d, 0}};
    for (int wall = 1; wall <= 6; ++wall) {
        const auto& frame = game->robo.RoboONFACE[wall][0];
        ExpectPointNear(frame[0], origins[wall][0], origins[wall][1], origins[wall][2], 1e-12);
        for (int tip = 1; tip <= 3; ++tip) EXPECT_NEAR(Distance(frame[tip], frame[0]), 100.0, 1e-12);
    }
}

TEST(RoboPlacement, RoboTurnPutsTheToeWhereTheTurnSays) {
    // The toe is corner 2 of section 5. A letter turn of 90 with a target turn
    // of 270 makes a ROBO turn of 180; 0 with 90 makes 270.
    const int turns[4] = {0, 90, 180, 270};
    const double toes[4][2] = {{-132, -165}, {165, -132}, {132, 165}, {-165, 132}};
    for (int k = 0; k < 4; ++k) {
        auto game = MakeScene("ABDUCT", {0, 0, 0, 0, 0, 0}, {turns[k], 0, 0, 0, 0, 0});
        ExpectPointNear(game->robo.RoboONFACE[1][5][2], toes[k][0], toes[k][1], -903, 1e-9);
    }
}

TEST(RoboPlacement, AnImpossibleRoboTurnIsTakenAsNoTurn) {
    auto game = MakeScene("ABDUCT", {0, 0, 0, 0, 0, 0}, {45, 0, 0, 0, 0, 0});
    ExpectPointNear(game->robo.RoboONFACE[1][5][2], -132, -165, -903, 1e-9);
    // Out-of-range walls move nothing and touch no table.
    const auto before = game->robo.RoboONFACE;
    etude::PlaceRoboOnWall(*game, 7);
    etude::TurnRoboForWall(*game, 0);
    etude::PlaceLetterOnWall(*game, -1);
    EXPECT_EQ(std::memcmp(&before, &game->robo.RoboONFACE, sizeof before), 0);
}

// -- Body turn --

TEST(BodyTurn, EightEighthTurnsAboutAnyAxisComeBackHome) {
    for (int axis = 1; axis <= 3; ++axis) {
        auto game = MakeRestScene();
        const auto start = game->robo.RoboONFACE;
        for (int step = 0; step < 8; ++step) {
            etude::RotateRoboCopy(*game, 2, axis, etude::KeyTurnAngle);
            const auto& frame = game->robo.RoboONFACE[2][0];
            for (int tip = 1; tip <= 3; ++tip) EXPECT_NEAR(Distance(frame[tip], frame[0]), 100.0, 1e-9);
        }
        double worst = 0;
        for (int section = 0; section <= NumRoboSections; ++section) {
            for (int point = 0; point <= game->robo.PointsPerRoboSection[section]; ++point) {
                worst = std::max(worst, Distance(game->robo.RoboONFACE[2][section][point], start[2][section][point]));
            }
        }
        EXPECT_LT(worst, 1e-9) << "axis " << axis;
    }
}

TEST(BodyTurn, TurnsOnlyTheChosenWallAboutItsOwnAxis) {
    auto game = MakeRestScene();
    const auto start = game->robo.RoboONFACE;
    etude::RotateRoboCopy(*game, 4, 2, 90 * etude::DegToRad);
    for (int wall = 1; wall <= 6; ++wall) {
        if (wall == 4) continue;
        EXPECT_EQ(std::memcmp(&start[wall], &game->robo.RoboONFACE[wall], sizeof start[wall]), 0) << wall;
    }
    // A positive quarter turn about the yaw axis carries the roll tip to where
    // the pitch tip was: counter-clockwise seen from the yaw tip.
    const auto& before = start[4][0];
    const auto& after = game->robo.RoboONFACE[4][0];
    const Point3d roll = Minus(after[1], after[0]);
    const Point3d old_pitch = Minus(before[3], before[0]);
    ExpectPointNear(roll, old_pitch.x, old_pitch.y, old_pitch.z, 1e-6);
    ExpectPointNear(after[0], before[0].x, before[0].y, before[0].z, 1e-9);
    EXPECT_NEAR(Distance(after[2], before[2]), 0.0, 1e-9);  // the yaw tip is on the axis
}

TEST(BodyTurn, PitchThenYawIsNotYawThenPitch) {
    auto first = MakeRestScene();
    auto second = MakeRestScene();
    etude::RotateRoboCopy(*first, 1, 3, etude::KeyTurnAngle * 2);
    etude::RotateRoboCopy(*first, 1, 2, etude::KeyTurnAngle * 2);
    etude::RotateRoboCopy(*second, 1, 2, etude::KeyTurnAngle * 2);
    etude::RotateRoboCopy(*second, 1, 3, etude::KeyTurnAngle * 2);
    const double apart = Distance(first->robo.RoboONFACE[1][5][2], second->robo.RoboONFACE[1][5][2]);
    EXPECT_GT(apart, 50.0);
}

// -- Wander --

TEST(Wander, ScheduleTakesThePlanesInTurnWithTheirSenses) {
    auto game = MakeRestScene();
    const double t = etude::WanderStep;
    // Counter 1 is phase 2: the (x, z) plane, turned backwards when the sense is true.
    game->wander.WanderSense = {};
    game->wander.WanderSense[2] = kTrue;
    game->wander.MarkerSense = {};
    const Point3f apex = game->glyphs.CharONFACE[0][1][2];  // (504, -504, -504)
    const Point3f marker_tip = game->wander.WanderMarker[7];  // (150, 0, 0)
    etude::WanderSchedule(*game, 1, 5.0);
    const Point3f moved = game->glyphs.CharONFACE[0][1][2];
    EXPECT_NEAR(moved.x, 504 * std::cos(-t) + 504 * std::sin(-t), 1e-3);
    EXPECT_NEAR(moved.z, 504 * std::sin(-t) - 504 * std::cos(-t), 1e-3);
    EXPECT_FLOAT_EQ(moved.y, apex.y);
    // Marker sense false in phase 2 turns it forwards, five times as far.
    const Point3f marker = game->wander.WanderMarker[7];
    EXPECT_NEAR(marker.x, marker_tip.x * std::cos(5 * t), 1e-4);
    EXPECT_NEAR(marker.z, marker_tip.x * std::sin(5 * t), 1e-4);

    // Counter 3 is phase 1, the (y, z) plane; counter 2 is phase 3, the (x, y) plane.
    auto fresh = MakeRestScene();
    fresh->wander.WanderSense = {};
    const Point3d origin = fresh->robo.RoboONFACE[1][0][0];  // (0, 0, -936)
    etude::WanderSchedule(*fresh, 3, 5.0);
    const Point3d turned = fresh->robo.RoboONFACE[1][0][0];
    ExpectPointNear(turned, 0, -origin.z * std::sin(-t), origin.z * std::cos(-t), 1e-9);
    etude::WanderSchedule(*fresh, 2, 5.0);
    EXPECT_NEAR(fresh->robo.RoboONFACE[1][0][0].z, turned.z, 1e-9);  // z is not in the (x, y) plane
    EXPECT_FLOAT_EQ(fresh->wander.WanderMarker[0].x, 0.0f);
}

TEST(Wander, DriftKeepsEveryDistanceBetweenRoboAndItsLetter) {
    auto game = MakeRestScene();
    etude::RotateRoboCopy(*game, 3, 1, etude::KeyTurnAngle);  // a tumbled copy drifts just the same
    auto distances = [&game]() {
        std::vector<double> all;
        const Glyphs& glyphs = game->glyphs;
        for (int wall = 1; wall <= 6; ++wall) {
            for (int s = 0; s <= NumRoboSections; ++s) {
                for (int p = 0; p <= game->robo.PointsPerRoboSection[s]; ++p) {
                    for (int section = 1; section <= glyphs.SectionsPerCharacter[wall][1]; ++section) {
                        for (int point = 1; point <= glyphs.PointsPerCharSection[wall][section]; ++point) {
                            all.push_back(Distance(game->robo.RoboONFACE[wall][s][p],
                                                   ToDouble(glyphs.CharONFACE[wall][section][point])));
                        }
                    }
                }
            }
        }
        return all;
    };
    const std::vector<double> before = distances();
    for (std::int32_t frame = 1; frame <= 3000; ++frame) {
        if (frame % 500 == 0) etude::DrawNewWanderSenses(*game);
        etude::WanderSchedule(*game, frame, 5.0);
    }
    const std::vector<double> after = distances();
    ASSERT_EQ(before.size(), after.size());
    double worst = 0;
    for (std::size_t i = 0; i < before.size(); ++i) worst = std::max(worst, std::fabs(before[i] - after[i]));
    EXPECT_LT(worst, 0.01);
    // The scene did move.
    EXPECT_GT(Distance(game->robo.RoboONFACE[1][0][0], Point3d{0, 0, -936}), 10.0);
}

TEST(Wander, FlagsSurvivePlacementTurnsAndDrift) {
    auto game = MakeRestScene();
    game->robo.RoboONFACE[2][17][-1].x = kFalse;  // a section taken away
    etude::PrepareRoboCopies(*game);
    for (int wall = 1; wall <= 6; ++wall) {
        for (int axis = 1; axis <= 3; ++axis) etude::RotateRoboCopy(*game, wall, axis, etude::KeyTurnAngle);
    }
    for (std::int32_t frame = 1; frame <= 30; ++frame) etude::WanderSchedule(*game, frame, 7.0);
    for (int wall = 1; wall <= 6; ++wall) {
        for (int section = 0; section <= NumRoboSections; ++section) {
            const Point3d& flag = game->robo.RoboONFACE[wall][section][-1];
            const double drawn = (section == 0 || (wall == 2 && section == 17)) ? 0.0 : -1.0;
            EXPECT_EQ(flag.x, drawn) << wall << " " << section;
            EXPECT_EQ(flag.y, 7.0);
            EXPECT_EQ(flag.z, 9.0);
        }
    }
}

TEST(Wander, MarkerIsTheShapeAtThirtyStepsAScreenUnit) {
    auto game = MakeScene("ABDUCT", {0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1920, 1080);
    const Wander& wander = game->wander;
    EXPECT_FLOAT_EQ(wander.WanderMarker[1].y, -75.0f);
    EXPECT_FLOAT_EQ(wander.WanderMarker[3].x, -75.0f);
    EXPECT_FLOAT_EQ(wander.WanderMarker[6].x, 15.0f);
    EXPECT_FLOAT_EQ(wander.WanderMarker[9].z, 15.0f);
    EXPECT_FLOAT_EQ(wander.WanderMarker[10].z, -15.0f);
}

// -- Senses --

TEST(WanderSenses, InitialDrawTakesSixPlainDraws) {
    auto owned = std::make_unique<GameState>();
    GameState& game = *owned;
    platform::SeedRandom(game.random, 1234.5);
    platform::RandomState replay = game.random;
    etude::DrawInitialWanderSenses(game);
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(game.wander.WanderSense[k], platform::RandomInteger(replay, -1, 0));
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(game.wander.MarkerSense[k], platform::RandomInteger(replay, -1, 0));
    EXPECT_EQ(game.random.state, replay.state);
}

TEST(WanderSenses, NewSensesAlwaysChangeTheSceneDrift) {
    auto owned = std::make_unique<GameState>();
    GameState& game = *owned;
    platform::SeedRandom(game.random, 0.0);
    etude::DrawInitialWanderSenses(game);
    int redraws_seen = 0;
    for (int round = 0; round < 200; ++round) {
        const auto saved = game.wander.WanderSense;
        // Replay the rule by hand: triples until one differs, then three marker draws.
        platform::RandomState replay = game.random;
        std::int32_t triple[3];
        int tries = 0;
        do {
            for (int k = 0; k < 3; ++k) triple[k] = platform::RandomInteger(replay, -1, 0);
            ++tries;
        } while (triple[0] == saved[1] && triple[1] == saved[2] && triple[2] == saved[3]);
        if (tries > 1) ++redraws_seen;
        etude::DrawNewWanderSenses(game);
        EXPECT_FALSE(game.wander.WanderSense[1] == saved[1] && game.wander.WanderSense[2] == saved[2] &&
                     game.wander.WanderSense[3] == saved[3]);
        for (int k = 1; k <= 3; ++k) EXPECT_EQ(game.wander.WanderSense[k], triple[k - 1]);
        for (int k = 1; k <= 3; ++k) EXPECT_EQ(game.wander.MarkerSense[k], platform::RandomInteger(replay, -1, 0));
        EXPECT_EQ(game.random.state, replay.state);
    }
    EXPECT_GT(redraws_seen, 0);  // the repeat branch was exercised
}

}  // namespace
