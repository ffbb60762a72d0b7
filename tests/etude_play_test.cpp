// Whole etudes played through the off-screen back end with scripted keys: the
// undo keys win, an extra press loses, leaving early records an incomplete
// etude, and the key commands keep their cues and their counting.

#include "app/main_flow.h"
#include "app/pass_setup.h"
#include "etude/generation.h"
#include "etude/outcome.h"
#include "etude/play_loop.h"
#include "etude_fixture.h"
#include "platform/cairo/picture.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "records/record_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <numbers>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kPlayerFile = "player-tester.txt";

// A pass as the main flow makes it, on a small off-screen canvas, in a
// working directory of its own so the player file starts absent.
class EtudePlay : public ::testing::Test {
protected:
    // Everything up to the first play frame: set-up, window, history, tumbles, scene.
    void StartEtude(int kind, double seed, int echo_mode = 1, double clock = 36000.0) {
        platform::OffscreenOptions options;
        options.width = 960;
        options.height = 540;
        options.start_clock = clock;
        handle_ = platform::CreateOffscreenPlatform(options);
        game_ = std::make_unique<GameState>();
        game_->platform = handle_.get();
        game_->settings.EtudeNumber = kind;
        game_->settings.EchoMode = static_cast<std::int16_t>(echo_mode);
        game_->settings.PlayerName = "TESTER";
        platform::SeedRandom(game_->random, seed);
        app::PassSetUp(*game_);
        ASSERT_TRUE(app::OpenPassWindow(*game_));
        records::LoadPlayerHistory(*game_);
        app::EtudeSetUp(*game_);
        undo_ = etude_test::UndoKeys(*game_);
        ASSERT_FALSE(undo_.empty());
    }

    // The undo keys of walls first..last (1-based, inclusive).
    std::string UndoForWalls(int first, int last) const {
        std::size_t begin = 0, length = 0;
        for (int f = 1; f <= last; ++f) {
            auto presses = static_cast<std::size_t>(game_->etude.FaceKeyStrokes[f][0]);
            if (f < first) begin += presses; else length += presses;
        }
        return undo_.substr(begin, length);
    }

    etude::PlayExit Play(const std::string& keys) {
        platform::QueueKeys(*handle_, keys);
        return etude::RunPlayLoop(*game_);
    }

    // One frame of the loop with these keys waiting.
    void Frame(const std::string& keys) {
        platform::QueueKeys(*handle_, keys);
        etude::PlayFrame(*game_);
    }

    std::vector<std::string> PlayerFileLines() const {
        std::ifstream file(kPlayerFile, std::ios::binary);
        std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t end; (end = content.find("\r\n", start)) != std::string::npos; start = end + 2) {
            lines.push_back(content.substr(start, end - start));
        }
        EXPECT_EQ(start, content.size()) << "every record ends with CR LF";
        return lines;
    }

    static std::vector<int> Fields(const std::string& line) {
        std::vector<int> fields;
        std::stringstream stream(line);
        for (std::string field; std::getline(stream, field, ',');) fields.push_back(std::stoi(field));
        return fields;
    }

    int CueCount(const std::string& name) const {
        const auto& cues = platform::CuesPlayed(*handle_);
        return static_cast<int>(std::count(cues.begin(), cues.end(), name));
    }

    bool Printed(const std::string& text) const {
        for (const auto& printed : platform::PrintedTexts(*handle_)) {
            if (printed.text == text) return true;
        }
        return false;
    }

    int HiddenSections(int wall) const {
        int hidden = 0;
        for (int s = 1; s <= NumRoboSections; ++s) hidden += game_->robo.RoboONFACE[wall][s][-1].x == kFalse;
        return hidden;
    }

    int ExpectedTotal() const {
        int total = 0;
        for (int f = 1; f <= NumFaces; ++f) total += game_->etude.FaceKeyStrokes[f][0];
        return total;
    }

    test_support::ScratchDirectory scratch_{"etude-play-"};
    platform::PlatformHandle handle_;
    std::unique_ptr<GameState> game_;
    std::string undo_;
};

// -- Whole etudes --

TEST_F(EtudePlay, UndoKeysSolveSixWallsAndWin) {
    StartEtude(16, 4321.5, /*echo_mode=*/2);
    int expected = ExpectedTotal();
    int hidden_expected = expected - NumFaces;  // every wall hides all but its last expected press
    // Each copy's size (body origin to an axis tip) and the body origin's
    // distance from the craft's centre, which the drift and the turns keep.
    auto distance = [](const Point3d& a, const Point3d& b) {
        return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
    };
    double size_before[NumFaces + 1] = {}, reach_before[NumFaces + 1] = {};
    for (int f = 1; f <= NumFaces; ++f) {
        const auto& frame = game_->robo.RoboONFACE[f][0];
        size_before[f] = distance(frame[0], frame[1]);
        reach_before[f] = distance(frame[0], Point3d{0, 0, 0});
    }

    EXPECT_EQ(Play(undo_ + "1"), etude::PlayExit::MainMenu);

    EXPECT_EQ(game_->etude.FacesDone, 6);
    EXPECT_EQ(game_->etude.Face, 7);
    EXPECT_EQ(CueCount("sinking"), 6);
    EXPECT_EQ(CueCount("speakmainmenu"), 1);
    for (int f = 1; f <= NumFaces; ++f) {
        EXPECT_EQ(game_->etude.FaceKeyStrokes[f][1], game_->etude.FaceKeyStrokes[f][0]);
        EXPECT_EQ(game_->scene.FaceLook[f][1], kTrue);
        EXPECT_NEAR(game_->etude.RoboShrink[f], etude::SunkShrink, 1e-9);
        // Each sunk copy shrank about its own body origin, which stays put.
        const auto& frame = game_->robo.RoboONFACE[f][0];
        EXPECT_NEAR(distance(frame[0], frame[1]), etude::SunkShrink * size_before[f], 1e-6 * size_before[f]);
        EXPECT_NEAR(distance(frame[0], Point3d{0, 0, 0}), reach_before[f], 1e-6 * reach_before[f]) << "wall " << f;
    }

    // A sinking step turns the marker seven wander steps to the scene's one.
    const auto marker_before = game_->wander.WanderMarker;
    const Point3f apex_before = game_->glyphs.CharONFACE[0][1][1];
    etude::SinkingStep(*game_);
    const int phase = game_->wander.SinkFrame % 3 + 1;  // the plane: 1 (y, z), 2 (x, z), 3 (x, y)
    auto in_plane = [phase](const Point3f& p) {
        return phase == 1 ? std::pair{p.y, p.z} : phase == 2 ? std::pair{p.x, p.z} : std::pair{p.x, p.y};
    };
    auto turned = [&](const Point3f& from, const Point3f& to) {
        const auto [a0, b0] = in_plane(from);
        const auto [a1, b1] = in_plane(to);
        return std::fabs(std::remainder(std::atan2(b1, a1) - std::atan2(b0, a0), 2 * std::numbers::pi));
    };
    int widest = 1;
    for (int p = 2; p <= 10; ++p) {
        const auto [a, b] = in_plane(marker_before[p]);
        const auto [wa, wb] = in_plane(marker_before[widest]);
        if (std::hypot(a, b) > std::hypot(wa, wb)) widest = p;
    }
    EXPECT_NEAR(turned(apex_before, game_->glyphs.CharONFACE[0][1][1]), etude::WanderStep, 1e-5);
    EXPECT_NEAR(turned(marker_before[widest], game_->wander.WanderMarker[widest]), 7 * etude::WanderStep, 1e-4);
    // The parts hidden on one wall are handed on to the next.
    EXPECT_EQ(HiddenSections(6), hidden_expected);

    auto lines = PlayerFileLines();
    ASSERT_EQ(lines.size(), 1u);  // "1" after a finished etude writes nothing more
    auto fields = Fields(lines[0]);
    ASSERT_EQ(fields.size(), 11u);
    EXPECT_EQ(fields[0], 16);
    EXPECT_EQ(fields[2], expected);
    EXPECT_EQ(fields[3], expected);
    EXPECT_EQ(fields[10], 1);
    EXPECT_TRUE(Printed("  Game WON because 0 excess moves"));
}

// One press more than expected can still solve a wall when another pose
// happens to put the toe at the target distance: the etude is finished, and lost.
TEST_F(EtudePlay, OneExtraPressLosesByOneMove) {
    std::string keys;
    for (double seed = 100.0; seed < 130.0 && keys.empty(); seed += 1.0) {
        StartEtude(16, seed);
        for (int f = 1; f <= NumFaces && keys.empty(); ++f) {
            std::string extra = etude_test::ExtraPressSolution(*game_, f);
            if (!extra.empty()) keys = UndoForWalls(1, f - 1) + extra + UndoForWalls(f + 1, NumFaces);
        }
    }
    ASSERT_FALSE(keys.empty()) << "no etude among the seeds has a wall solvable with one press more";
    EXPECT_EQ(Play(keys + "1"), etude::PlayExit::MainMenu);
    EXPECT_EQ(game_->etude.FacesDone, 6);
    auto lines = PlayerFileLines();
    ASSERT_EQ(lines.size(), 1u);
    auto fields = Fields(lines[0]);
    EXPECT_EQ(fields[3] - fields[2], 1);
    EXPECT_EQ(fields[10], 0);
    EXPECT_TRUE(Printed("  Game LOST because 1 excess move"));
}

TEST_F(EtudePlay, LeavingAfterThreeWallsRecordsAnIncompleteEtude) {
    StartEtude(14, 777.25, /*echo_mode=*/1);
    double start = platform::Timer(*handle_);
    EXPECT_EQ(Play(UndoForWalls(1, 3) + "1"), etude::PlayExit::MainMenu);
    EXPECT_EQ(game_->etude.FacesDone, 3);
    EXPECT_EQ(game_->etude.Face, 4);
    EXPECT_EQ(game_->scene.FaceLook[4][1], kTrue);
    EXPECT_EQ(game_->scene.FaceLook[5][1], kFalse);
    // Echo mode 1 speaks the keys but stays silent while a wall sinks; the
    // sinking itself still takes its 1.6 seconds per wall.
    EXPECT_EQ(CueCount("sinking"), 0);
    EXPECT_GE(platform::Timer(*handle_) - start, 3 * etude::SinkSeconds);
    EXPECT_EQ(CueCount("speakincomplete"), 1);

    auto lines = PlayerFileLines();
    ASSERT_EQ(lines.size(), 1u);
    auto fields = Fields(lines[0]);
    ASSERT_EQ(fields.size(), 11u);
    EXPECT_EQ(fields[0], 14);
    EXPECT_EQ(fields[2], 0);
    EXPECT_EQ(fields[3], 0);
    EXPECT_EQ(fields[10], -1);
}

TEST_F(EtudePlay, LeavingBeforeAnyWallOrQuittingRecordsNothing) {
    StartEtude(5, 99.0);
    EXPECT_EQ(Play(std::string(1, undo_[0] == '8' ? '5' : '8') + "1"), etude::PlayExit::MainMenu);
    EXPECT_FALSE(game_->flow.Quit);
    EXPECT_FALSE(fs::exists(kPlayerFile));
    EXPECT_EQ(CueCount("speakincomplete"), 0);
    EXPECT_EQ(CueCount("speakmainmenu"), 0);

    // Esc in the middle of an etude, with two walls done and every echo off.
    StartEtude(5, 99.0, /*echo_mode=*/0);
    EXPECT_EQ(Play(UndoForWalls(1, 2) + "\x1b" + "1"), etude::PlayExit::Quit);
    EXPECT_TRUE(game_->flow.Quit);
    EXPECT_EQ(game_->etude.FacesDone, 2);
    EXPECT_FALSE(fs::exists(kPlayerFile));
    EXPECT_EQ(CueCount("speakquit"), 1);
}

TEST_F(EtudePlay, WallSolvedAtMidnightStillSinksForItsSecondsAndPlayGoesOnWithoutKeysPressedMeanwhile) {
    StartEtude(1, 2024.0, /*echo_mode=*/1, /*clock=*/86400.0 - 0.5);
    int redraws = platform::RedrawCount(*handle_);
    platform::QueueKeys(*handle_, UndoForWalls(1, 1));
    platform::QueuePendingKeys(*handle_, "7777");  // pressed while the wall sinks
    EXPECT_EQ(Play("1"), etude::PlayExit::MainMenu);
    EXPECT_EQ(game_->etude.FacesDone, 1);
    EXPECT_EQ(game_->etude.FaceKeyStrokes[2][1], 0);
    int sinking_frames = platform::RedrawCount(*handle_) - redraws;
    EXPECT_GT(sinking_frames, 90);
    EXPECT_LT(sinking_frames, 110);
}

// -- Key commands --

TEST_F(EtudePlay, TurnKeysAfterTheSixthWallNeitherCountNorTurn) {
    StartEtude(3, 31.0, /*echo_mode=*/1);
    ASSERT_EQ(Play(undo_ + "1"), etude::PlayExit::MainMenu);
    ASSERT_EQ(game_->etude.FacesDone, 6);
    const auto copies = game_->robo.RoboONFACE;
    const auto strokes = game_->etude.FaceKeyStrokes;
    std::size_t cues = platform::CuesPlayed(*handle_).size();
    for (const char* key : {"7", "4", "8", "5", "9", "6"}) etude::HandlePlayKey(*game_, key);
    for (int f = 1; f <= NumFaces; ++f) {
        EXPECT_EQ(strokes[f][1], game_->etude.FaceKeyStrokes[f][1]);
        EXPECT_EQ(etude_test::LargestGap(copies[f], game_->robo.RoboONFACE[f]), 0.0);
    }
    EXPECT_EQ(platform::CuesPlayed(*handle_).size(), cues);
    EXPECT_EQ(game_->etude.Face, 7);
}

TEST_F(EtudePlay, PressesBeyondTheExpectedCountHideNothing) {
    StartEtude(2, 606.0, /*echo_mode=*/1);  // pitch 90: two presses expected on every wall
    char undo = undo_[0];
    char onwards = undo == '7' ? '4' : '7';
    Frame(std::string(1, onwards));
    EXPECT_EQ(HiddenSections(1), 1);
    Frame(std::string(1, onwards));
    Frame(std::string(1, onwards));
    EXPECT_EQ(game_->etude.FacesDone, 0);
    EXPECT_EQ(game_->etude.FaceKeyStrokes[1][1], 3);
    EXPECT_EQ(HiddenSections(1), 1);
    EXPECT_EQ(CueCount(onwards == '7' ? "speakpu" : "speakpd"), 3);
    EXPECT_EQ(game_->play.KeyShown, std::string(1, onwards));
    EXPECT_GT(game_->play.KeyShownAt, 0.0);
}

TEST_F(EtudePlay, EchoKeyCyclesTheModeAndItsCueFollowsTheNewMode) {
    StartEtude(1, 11.0, /*echo_mode=*/3);
    Frame("e");
    EXPECT_EQ(game_->settings.EchoMode, 0);
    EXPECT_EQ(CueCount("speakecho"), 0);
    Frame("e");
    EXPECT_EQ(game_->settings.EchoMode, 1);
    EXPECT_EQ(CueCount("speakecho"), 1);
    Frame("E");
    EXPECT_EQ(game_->settings.EchoMode, 2);
    EXPECT_EQ(CueCount("speakecho"), 2);
}

TEST_F(EtudePlay, TildeAndBacktickFreezeLikeF) {
    StartEtude(1, 12.0, /*echo_mode=*/1);
    for (const char* freeze : {"~", "`", "f"}) {
        int frozen_cues = CueCount("speakfreezemotionenter");
        // The "7" is typed into the frozen line and thrown away with it.
        Frame(std::string(freeze) + "7\r");
        EXPECT_EQ(game_->play.KeyShown, "F");
        EXPECT_GT(game_->play.KeyShownAt, 0.0);
        EXPECT_EQ(CueCount("speakfreezemotionenter"), frozen_cues + 1);
        EXPECT_EQ(game_->etude.FaceKeyStrokes[1][1], 0);
    }
}

// -- Pictures painted where they changed --

// One pass played twice over, painted in full and painted only where the
// picture changed, on threads that take turns at every redraw: each picture
// of the second run (its canvas, and the window buffer it hands changed
// regions to) must equal the first run's, every pixel, every frame.
struct PictureRun {
    platform::PlatformHandle handle;
    std::unique_ptr<GameState> game;
    std::vector<std::uint32_t> window;  // what the changed regions were copied into
};

struct PictureRace {
    std::mutex lock;
    std::condition_variable turn_changed;
    int turn = 0;                 // 0: the full run draws; 1: the changed-region run
    bool full_done = false;
    PictureRun* full = nullptr;
    PictureRun* kept = nullptr;
    int frames = 0;
    int differing_frames = 0;
    int first_differing_frame = -1;
    int extra_frames = 0;         // redraws of the kept run the full run did not make
    long long pixels_shown = 0;   // copied by the kept run
    long long pixels_drawn = 0;   // in all its pictures
};

void PassTurn(PictureRace& race, int to) {
    std::unique_lock<std::mutex> guard(race.lock);
    race.turn = to;
    race.turn_changed.notify_all();
    race.turn_changed.wait(guard, [&] { return race.turn != to || (to == 1 && race.full_done); });
}

void FullRedrawn(void* context, platform::Platform&) {
    PassTurn(*static_cast<PictureRace*>(context), 1);
}

void KeptRedrawn(void* context, platform::Platform& window) {
    auto& race = *static_cast<PictureRace*>(context);
    PictureRun& kept = *race.kept;
    const int pitch = platform::PicturePitch(window);
    race.pixels_shown += platform::CopyChangedPictureTo(window, kept.window.data(), pitch);
    race.pixels_drawn += static_cast<long long>(kept.window.size());
    if (race.full_done) {
        ++race.extra_frames;
        return;
    }
    std::vector<std::uint32_t> full(kept.window.size()), canvas(kept.window.size());
    platform::CopyPictureTo(*race.full->handle, full.data(), pitch);
    platform::CopyPictureTo(window, canvas.data(), pitch);
    bool same = true;
    for (std::size_t i = 0; i < full.size() && same; ++i)
        same = ((full[i] ^ canvas[i]) & 0xFFFFFFu) == 0 && ((full[i] ^ kept.window[i]) & 0xFFFFFFu) == 0;
    if (!same && race.first_differing_frame < 0) race.first_differing_frame = race.frames;
    race.differing_frames += same ? 0 : 1;
    ++race.frames;
    PassTurn(race, 0);
}

std::unique_ptr<PictureRun> StartPictureRun(int width, int height, double seed, bool keep) {
    auto run = std::make_unique<PictureRun>();
    platform::OffscreenOptions options;
    options.width = width;
    options.height = height;
    // The run that keeps regions has its fonts learn all their glyphs at once,
    // as the desktop's do; the other learns each glyph as it is first shown.
    options.learn_fonts_whole = keep;
    run->handle = platform::CreateOffscreenPlatform(options);
    platform::KeepUnchangedRegions(*run->handle, keep);
    run->game = std::make_unique<GameState>();
    GameState& game = *run->game;
    game.platform = run->handle.get();
    game.settings.EtudeNumber = 16;
    game.settings.EchoMode = 2;
    game.settings.PlayerName = "TESTER";
    platform::SeedRandom(game.random, seed);
    app::PassSetUp(game);
    EXPECT_TRUE(app::OpenPassWindow(game));
    records::LoadPlayerHistory(game);
    etude::GenerateTumbles(game);
    etude::SceneSetUp(game);
    run->window.assign(static_cast<std::size_t>(platform::PicturePitch(*run->handle) / 4) * height, 0);
    return run;
}

// Sky modes 2 to 8 and 0 in turn, each with ROBO's head hatched as it drifts
// (hatches are set pixel by pixel, cut at the changed cells), looks stepped
// and cleared, ROBO's hand, the echo mode, a frozen scene, then the walls' undo keys: the sinking
// animations, the counts, the key echo and, once all walls are solved, the verdict.
void QueuePictureScript(platform::Platform& window, const std::string& undo, int walls_to_solve,
                        const GameState& game) {
    const std::string looks[] = {"R", "A", "Z", "G", "B", "Y", "P", "C", "D", "X", "E"};
    std::size_t at = 0;
    for (int wall = 1; wall <= NumFaces; ++wall) {
        platform::QueueKeys(window, "SX");
        platform::QueueIdle(window, 6);
        platform::QueueKeys(window, looks[static_cast<std::size_t>(wall - 1) % 11]);
        platform::QueueIdle(window, 3);
        platform::QueueKeys(window, looks[static_cast<std::size_t>(wall + 4) % 11]);
        platform::QueueIdle(window, 3);
        if (wall == 2) platform::QueueKeys(window, "F7\r");
        if (wall > walls_to_solve) continue;
        for (int press = 0; press < game.etude.FaceKeyStrokes[wall][0]; ++press) {
            platform::QueueKeys(window, undo.substr(at++, 1));
            platform::QueueIdle(window, 2);
        }
    }
    platform::QueueKeys(window, "SS");
    platform::QueueIdle(window, 130);  // past the key echo's two seconds
}

TEST_F(EtudePlay, PicturesPaintedWhereTheyChangedEqualFullRepaints) {
    struct Case {
        int width, height, walls;
        double seed;
    };
    for (const Case& pass : {Case{960, 540, 6, 4321.5}, Case{1366, 768, 2, 77.0}, Case{1920, 1080, 1, 9.25}}) {
        SCOPED_TRACE(std::to_string(pass.width) + "x" + std::to_string(pass.height));
        std::unique_ptr<PictureRun> full = StartPictureRun(pass.width, pass.height, pass.seed, false);
        std::unique_ptr<PictureRun> kept = StartPictureRun(pass.width, pass.height, pass.seed, true);
        const std::string undo = etude_test::UndoKeys(*full->game);
        ASSERT_FALSE(undo.empty());
        QueuePictureScript(*full->handle, undo, pass.walls, *full->game);
        QueuePictureScript(*kept->handle, undo, pass.walls, *kept->game);

        PictureRace race;
        race.full = full.get();
        race.kept = kept.get();
        platform::WatchRedraws(*full->handle, &FullRedrawn, &race);
        platform::WatchRedraws(*kept->handle, &KeptRedrawn, &race);
        std::thread kept_thread([&] {
            {
                std::unique_lock<std::mutex> guard(race.lock);
                race.turn_changed.wait(guard, [&] { return race.turn == 1; });
            }
            etude::RunPlayLoop(*kept->game);
        });
        etude::RunPlayLoop(*full->game);
        {
            std::lock_guard<std::mutex> guard(race.lock);
            race.full_done = true;
            race.turn = 1;
        }
        race.turn_changed.notify_all();
        kept_thread.join();

        EXPECT_EQ(full->game->etude.FacesDone, pass.walls);
        EXPECT_GT(race.frames, 200);
        EXPECT_EQ(race.differing_frames, 0) << "first at frame " << race.first_differing_frame;
        EXPECT_EQ(race.extra_frames, 0);
        // Only the cells that differ are shown: in the table skies a small
        // part of every picture (the new-star skies are shown whole).
        EXPECT_LT(race.pixels_shown, race.pixels_drawn / 5 * 3);
    }
}

TEST_F(EtudePlay, KeyWithoutCommandThunksInEveryEchoMode) {
    StartEtude(1, 13.0, /*echo_mode=*/0);
    for (int mode = 0; mode <= 3; ++mode) {
        game_->settings.EchoMode = static_cast<std::int16_t>(mode);
        Frame("3");
        EXPECT_EQ(CueCount("thunk"), mode + 1);
        EXPECT_EQ(game_->play.KeyShownAt, 0.0);  // the echo clears at the next draw
    }
    platform::QueueKey(*handle_, std::string("\0H", 2));  // a cursor key
    etude::PlayFrame(*game_);
    EXPECT_EQ(CueCount("thunk"), 5);
}

}  // namespace
