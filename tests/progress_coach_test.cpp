// The coach on small hand-made histories: a new player goes through the kinds
// in menu order, then the weakest recent results come first (share won, then
// speed, over the reach), and no kind is given three times in a row.

#include "progress/coach.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CoachTest : public ::testing::Test {
protected:
    void SetUp() override {
        game_ = std::make_unique<GameState>();
        game_->history.PlayerHistory.assign(1, PlayerRecord{});
    }

    void Add(int kind, int seconds, int expected, int observed, int status) {
        PlayerRecord record{};
        record[1] = static_cast<std::int16_t>(kind);
        record[2] = static_cast<std::int16_t>(seconds);
        record[3] = static_cast<std::int16_t>(expected);
        record[4] = static_cast<std::int16_t>(observed);
        record[5] = 2026;
        record[6] = 12;
        record[7] = 8;
        record[11] = static_cast<std::int16_t>(status);
        game_->history.PlayerHistory.push_back(record);
        ++game_->history.NumRecords;
    }

    // Every kind won twice at 6 expected presses in 20 s, newest last in menu order.
    void AddTwoWinsOfEveryKind() {
        for (int round = 0; round < 2; ++round) {
            for (int kind = 1; kind <= NumEtudeKinds; ++kind) Add(kind, 20, 6, 6, 1);
        }
    }

    // What the menu does at PLAY with the coach on, and the record the etude leaves.
    void PlayCoached(int status) {
        game_->settings.EtudeNumber = progress::CoachChooseKind(*game_);
        progress::NoteCoachChoice(*game_);
        Add(game_->settings.EtudeNumber, 20, 6, 6, status);
    }

    std::unique_ptr<GameState> game_;
};

TEST_F(CoachTest, ANewPlayerIsCoachedThroughTheKindsInMenuOrder) {
    for (int kind = 1; kind <= NumEtudeKinds; ++kind) {
        EXPECT_EQ(progress::CoachChooseKind(*game_), kind);
        PlayCoached(kind % 3 - 1);  // won, lost or left: any record makes a kind played
    }
    // Every kind played: now the weakest, kind 1 with its loss (share 0, no speed).
    EXPECT_EQ(progress::CoachChooseKind(*game_), 1);
}

TEST_F(CoachTest, AHistoryWeakAtRoll135PicksKindEleven) {
    AddTwoWinsOfEveryKind();
    Add(11, 20, 6, 7, 0);  // one loss: two wins in three
    Add(3, 20, 6, 6, 1);
    EXPECT_EQ(progress::CoachChooseKind(*game_), 11);
}

TEST_F(CoachTest, OnEqualSharesTheSlowestKindIsTheWeakest) {
    AddTwoWinsOfEveryKind();
    Add(11, 90, 6, 6, 1);  // still every win, but slow
    EXPECT_EQ(progress::CoachChooseKind(*game_), 11);
}

TEST_F(CoachTest, OnlyTheMostRecentEtudesOfTheReachCount) {
    Add(11, 20, 6, 9, 0);  // an old loss...
    AddTwoWinsOfEveryKind();
    Add(5, 20, 6, 6, 1);
    game_->settings.PastPerformanceReach = 2;  // ...beyond the two newest of kind 11
    Add(1, 25, 6, 6, 1);  // the slowest of the recent results
    EXPECT_EQ(progress::CoachChooseKind(*game_), 1);
    game_->settings.PastPerformanceReach = 3;
    EXPECT_EQ(progress::CoachChooseKind(*game_), 11);
}

TEST_F(CoachTest, NeverTheSameKindThreeTimesInARow) {
    AddTwoWinsOfEveryKind();
    Add(11, 20, 6, 7, 0);
    Add(11, 20, 6, 8, 0);  // kind 11 twice in a row, and by far the weakest
    Add(7, 20, 6, 7, 0);   // the next weakest: two wins and a loss
    Add(11, 20, 6, 7, 0);
    EXPECT_EQ(progress::CoachChooseKind(*game_), 11);
    Add(11, 20, 6, 7, 0);
    EXPECT_EQ(progress::KindBarredByRepeats(*game_), 11);
    EXPECT_EQ(progress::CoachChooseKind(*game_), 7);

    // A weak player who keeps losing the coach's kind still gets a change
    // after every two.
    int previous = 0, run = 0;
    for (int play = 0; play < 12; ++play) {
        PlayCoached(0);
        const int kind = game_->settings.EtudeNumber;
        run = kind == previous ? run + 1 : 1;
        previous = kind;
        EXPECT_LE(run, 2) << "play " << play << " kind " << kind;
    }
}

TEST_F(CoachTest, EtudesLeftWithoutARecordCountFromTheCoachsMemory) {
    // A new player twice gets kind 1 and leaves before the first wall: no
    // record, but the coach gave it twice.
    for (int play = 0; play < 2; ++play) {
        game_->settings.EtudeNumber = progress::CoachChooseKind(*game_);
        progress::NoteCoachChoice(*game_);
        EXPECT_EQ(game_->settings.EtudeNumber, 1);
    }
    EXPECT_EQ(progress::CoachChooseKind(*game_), 2);
}

}  // namespace
