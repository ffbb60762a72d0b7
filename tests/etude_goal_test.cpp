// The goal of every wall: the rest pose solves it whatever the letter and
// target turns, and no sequence of turn keys shorter than the expected count
// does; plus the tumbles of each etude kind and the order of their draws.

#include "etude/generation.h"
#include "etude/motions.h"
#include "etude/outcome.h"
#include "etude_fixture.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "platform/random.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

namespace {

using etude_test::BuildRestWalls;
using etude_test::kTurnKeys;
using etude_test::RoboCopy;

constexpr int kTurns[4] = {0, 90, 180, 270};

int TargetCorner(const GameState& game, int wall) { return static_cast<int>(game.etude.ToeDist[wall][-1]); }

bool Solves(const GameState& game, int wall) { return etude::MatchedCorner(game, wall) == TargetCorner(game, wall); }

// True when some sequence of exactly `depth` turn keys from the current pose
// of `wall` solves it. The pose is restored before returning.
bool SomeSequenceSolves(GameState& game, int wall, int depth) {
    if (depth == 0) return Solves(game, wall);
    const RoboCopy saved = game.robo.RoboONFACE[wall];
    for (const auto& key : kTurnKeys) {
        etude::RotateRoboCopy(game, wall, key.axis, key.sign * etude::KeyTurnAngle);
        bool solved = SomeSequenceSolves(game, wall, depth - 1);
        game.robo.RoboONFACE[wall] = saved;
        if (solved) return true;
    }
    return false;
}

TEST(EtudeGoal, RestPoseSolvesEveryWallInAllSixteenTurnCombinations) {
    for (int letter : kTurns) {
        for (int target : kTurns) {
            auto game = BuildRestWalls(letter, target);
            for (int f = 1; f <= NumFaces; ++f) {
                EXPECT_EQ(TargetCorner(*game, f), target / 90 + 1);
                EXPECT_TRUE(Solves(*game, f)) << "letter " << letter << " target " << target << " wall " << f
                                              << " toe distance " << etude::ToeToAnchorDistance(*game, f);
            }
        }
    }
}

// For every axis and tumble size, on every wall and in every turn combination,
// the fewest presses that solve the wall are exactly the expected count, and
// pressing the opposite key that often does solve it.
TEST(EtudeGoal, FewestPressesThatSolveEqualTheExpectedCount) {
    for (int letter : kTurns) {
        for (int target : kTurns) {
            auto game = BuildRestWalls(letter, target);
            for (int f = 1; f <= NumFaces; ++f) {
                const RoboCopy rest = game->robo.RoboONFACE[f];
                for (int axis = 1; axis <= 3; ++axis) {
                    for (int presses = 1; presses <= 3; ++presses) {
                        for (int sign : {-1, +1}) {
                            game->robo.RoboONFACE[f] = rest;
                            etude::RotateRoboCopy(*game, f, axis, sign * presses * etude::KeyTurnAngle);
                            for (int shorter = 0; shorter < presses; ++shorter) {
                                ASSERT_FALSE(SomeSequenceSolves(*game, f, shorter))
                                    << "axis " << axis << " tumble " << sign * presses * 45 << " wall " << f
                                    << " solved in " << shorter;
                            }
                            for (int i = 0; i < presses; ++i) {
                                etude::RotateRoboCopy(*game, f, axis, -sign * etude::KeyTurnAngle);
                            }
                            ASSERT_TRUE(Solves(*game, f));
                        }
                    }
                }
                game->robo.RoboONFACE[f] = rest;
            }
        }
    }
}

TEST(EtudeGoal, NonTargetCornerIsRecordedButSolvesNothing) {
    // Target corner 3 on every wall; a toe at the distance of corner 2 only notes it.
    auto game = BuildRestWalls(0, 180);
    auto& toe = game->robo.RoboONFACE[1][5][2];
    const Point3f& anchor = game->glyphs.CharONFACE[1][1][1];
    double scale = game->etude.ToeDist[1][2] / etude::ToeToAnchorDistance(*game, 1);
    toe.x = anchor.x + (toe.x - anchor.x) * scale;
    toe.y = anchor.y + (toe.y - anchor.y) * scale;
    toe.z = anchor.z + (toe.z - anchor.z) * scale;
    game->etude.Face = 1;
    etude::GoalTest(*game);  // would need the window if it solved the wall
    EXPECT_EQ(game->etude.ToeDist[1][0], 2.0f);
    EXPECT_EQ(game->etude.FacesDone, 0);
    EXPECT_EQ(game->etude.Face, 1);

    toe.x += 5.0;  // far from every corner
    etude::GoalTest(*game);
    EXPECT_EQ(game->etude.ToeDist[1][0], 0.0f);
}

// -- Per-etude draws and tumbles --

std::unique_ptr<GameState> SeededTumbles(int kind, double seed, platform::RandomState* before_tumbles = nullptr) {
    auto game = std::make_unique<GameState>();
    platform::SeedRandom(game->random, seed);
    render::ComputeScreenMetricsFor(game->screen, 3840, 2160);
    game->settings.EtudeNumber = kind;
    etude::PerEtudeDraws(*game);
    for (int f = 1; f <= NumFaces; ++f) game->glyphs.FaceLetter[f] = "PLANET"[f - 1];
    etude::FillToeDistTargets(*game);
    data::FillRoboModel(*game);
    etude::FillRoboBodyFrame(*game);
    etude::MarkAllSectionsDrawn(*game);
    if (before_tumbles != nullptr) *before_tumbles = game->random;
    etude::GenerateTumbles(*game);
    etude::SceneSetUp(*game);
    return game;
}

TEST(EtudeGeneration, LetterThenTargetTurnPerWallFromTheSeededGenerator) {
    auto game = SeededTumbles(1, 43200.0);
    platform::RandomState replay;
    platform::SeedRandom(replay, 43200.0);
    for (int f = 1; f <= NumFaces; ++f) {
        const auto& turns = game->etude.TumbleHistoryDegreesCCW[f];
        EXPECT_EQ(turns[1], 90 * platform::RandomInteger(replay, 0, 3));
        EXPECT_EQ(turns[2], 90 * platform::RandomInteger(replay, 0, 3));
        EXPECT_EQ((turns[3] + turns[2]) % 360, turns[1]);
        EXPECT_GE(turns[3], 0);
        EXPECT_EQ(game->etude.ToeDist[f][-1], turns[2] / 90 + 1);
    }
    EXPECT_EQ(game->etude.ToeDist[0][3], 180.0f);
}

TEST(EtudeGeneration, EveryKindTumblesOnItsAxisByItsSizeAndPlayStartsOnWallOne) {
    constexpr int kAxisOfGroup[4] = {3, 2, 1, 0};  // 0: drawn per wall
    for (int kind = 1; kind <= NumEtudeKinds; ++kind) {
        std::set<int> axes_seen;
        std::set<int> counts_seen;
        for (double seed : {1000.25, 2000.5, 3000.75, 4000.0, 5000.5}) {
            auto game = SeededTumbles(kind, seed);
            EXPECT_EQ(game->etude.Face, 1);
            EXPECT_EQ(game->etude.FacesDone, 0);
            std::string undo = etude_test::UndoKeys(*game);
            ASSERT_FALSE(undo.empty()) << "kind " << kind;
            std::size_t at = 0;
            for (int f = 1; f <= NumFaces; ++f) {
                int count = game->etude.FaceKeyStrokes[f][0];
                int step = (kind - 1) % 4 + 1;
                if (step <= 3) {
                    EXPECT_EQ(count, step);
                }
                counts_seen.insert(count);
                for (const auto& key : kTurnKeys) {
                    if (key.key == undo[at]) axes_seen.insert(key.axis);
                }
                EXPECT_EQ(game->etude.ToeDist[f][0], 0.0f);  // the tumble matched no corner
                at += static_cast<std::size_t>(count);
            }
        }
        int group_axis = kAxisOfGroup[(kind - 1) / 4];
        if (group_axis != 0) {
            EXPECT_EQ(axes_seen, std::set<int>{group_axis}) << "kind " << kind;
        } else {
            EXPECT_EQ(axes_seen.size(), 3u) << "kind " << kind;
        }
        if ((kind - 1) % 4 == 3) {
            EXPECT_EQ(counts_seen, (std::set<int>{1, 2, 3})) << "kind " << kind;
        }
    }
}

TEST(EtudeGeneration, TargetTurnOffTheQuarterTurnsStopsWithItsMessage) {
    auto handle = platform::CreateOffscreenPlatform({});
    auto game = std::make_unique<GameState>();
    game->platform = handle.get();
    for (int f = 1; f <= NumFaces; ++f) {
        game->etude.TumbleHistoryDegreesCCW[f] = {{{180, 180, 0}}};
    }
    game->etude.TumbleHistoryDegreesCCW[4] = {{{90, 45, 45}}};
    platform::QueueConsoleLine(*handle, "");
    etude::FillToeDistTargets(*game);
    const std::string& console = platform::ConsoleOutput(*handle);
    EXPECT_NE(console.find("ERROR TumbleHistoryDegreesCCW(Face, 3)="), std::string::npos);
    EXPECT_NE(console.find("45"), std::string::npos);
    EXPECT_NE(console.find("JJJJJJ"), std::string::npos);
    EXPECT_EQ(game->etude.ToeDist[3][-1], 3.0f);  // the other walls are filled as usual
    EXPECT_EQ(game->etude.ToeDist[5][-1], 3.0f);
}

// Kinds 13..16 draw the axis before the size and sign, and the axis draw is
// the axis tip number itself: a draw of 3 then 2 is +45 degrees of pitch. The
// "any" kind's one draw of 1..6 stands for -45, +45, -90, +90, -135 and +135.
TEST(EtudeGeneration, RandomAxisKindDrawsAxisThenSign) {
    constexpr int kAnyTurns[7] = {0, -45, +45, -90, +90, -135, +135};
    for (double seed : {777.5, 31.25, 4242.0}) {
        for (int kind : {13, 16}) {
            platform::RandomState replay;
            auto game = SeededTumbles(kind, seed, &replay);
            std::string undo = etude_test::UndoKeys(*game);
            ASSERT_FALSE(undo.empty());
            std::size_t at = 0;
            for (int f = 1; f <= NumFaces; ++f) {
                int axis = platform::RandomInteger(replay, 1, 3);
                int turn = kind == 13 ? (platform::RandomInteger(replay, 1, 2) == 2 ? +45 : -45)
                                      : kAnyTurns[platform::RandomInteger(replay, 1, 6)];
                int presses = std::abs(turn) / 45;
                ASSERT_EQ(game->etude.FaceKeyStrokes[f][0], presses) << "kind " << kind << " wall " << f;
                // Undoing a turn takes the key of the same axis with the other sign.
                EXPECT_EQ(undo.substr(at, static_cast<std::size_t>(presses)),
                          std::string(static_cast<std::size_t>(presses), etude_test::KeyFor(axis, turn > 0 ? -1 : +1)))
                    << "kind " << kind << " wall " << f << " turn " << turn;
                at += static_cast<std::size_t>(presses);
            }
        }
    }
}

}  // namespace
