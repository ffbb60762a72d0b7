#include "data/glyphs.h"
#include "data/robo_model.h"
#include "data/words.h"
#include "platform/random.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<GameState> NewGame() { return std::make_unique<GameState>(); }

// -- Word list and word choice --

TEST(WordList, HoldsTheWordsInOrder) {
    ASSERT_EQ(data::WordList.size(), 319u);
    EXPECT_EQ(data::WordList[0], "ABDUCT");
    EXPECT_EQ(data::WordList[99], "FERULE");
    EXPECT_EQ(data::WordList[199], "PETTED");
    EXPECT_EQ(data::WordList[299], "VALLEY");
    EXPECT_EQ(data::WordList[318], "YEARLY");

    // Position-weighted checksum of the whole list, worked out from the word
    // list by hand-run script: catches a dropped, swapped or mistyped word.
    long long checksum = 0;
    for (std::size_t i = 0; i < data::WordList.size(); ++i) {
        long long word_sum = 0;
        for (std::size_t p = 0; p < data::WordList[i].size(); ++p) {
            word_sum += static_cast<long long>(p + 1) * data::WordList[i][p];
        }
        checksum += static_cast<long long>(i + 1) * word_sum;
    }
    EXPECT_EQ(checksum, 80662349);
}

TEST(WordList, EveryWordHasSixDrawableLetters) {
    for (std::string_view word : data::WordList) {
        ASSERT_EQ(word.size(), 6u) << word;
        for (char letter : word) {
            EXPECT_TRUE(letter >= 'A' && letter <= 'Z') << word;
            EXPECT_EQ(std::string_view("HONISXZ").find(letter), std::string_view::npos) << word;
        }
    }
}

TEST(ChooseWord, OneDrawPicksTheWordAndItsWallLetters) {
    auto game = NewGame();
    platform::SeedRandom(game->random, 0.0);  // first draws of 1..319 from here: 1, 11
    data::ChooseWord(*game);
    EXPECT_EQ(game->glyphs.ChosenWord, "ABDUCT");
    const std::string expected = "ABDUCT";
    for (int face = 1; face <= 6; ++face) EXPECT_EQ(game->glyphs.FaceLetter[face], expected[face - 1]);
    data::ChooseWord(*game);  // exactly one draw was used by the first choice
    EXPECT_EQ(game->glyphs.ChosenWord, "BACKER");

    game->random.state = 0x4d60ae66u;  // the next draw is the top of the range
    data::ChooseWord(*game);
    EXPECT_EQ(game->glyphs.ChosenWord, "YEARLY");
    EXPECT_EQ(game->glyphs.FaceLetter[6], 'Y');
}

// -- Glyph table --

struct ExpectedGlyph {
    char letter;
    int sections;
    int contours;
    std::vector<int> points;
    double sum_x;
    double sum_y;
    double weighted;  // sum over the running point number k of k x (x - 2y)
};

// Worked out from the letter list by a separate script, not from the table.
const std::vector<ExpectedGlyph> kExpectedGlyphs = {
    {'A', 7, 2, {5, 12, 3, 4, 8, 8, 3}, 144.5000, 131.5000, -2328.8325},
    {'B', 9, 3, {4, 13, 4, 4, 4, 17, 9, 4, 4}, 232.3000, 220.5000, -6712.6000},
    {'C', 3, 0, {4, 16, 12}, 114.0000, 112.0000, -1955.0000},
    {'D', 7, 2, {4, 10, 4, 4, 10, 6, 4}, 146.2000, 147.0000, -3181.7000},
    {'E', 3, 0, {4, 16, 12}, 110.0000, 112.0000, -2045.0000},
    {'F', 3, 0, {4, 14, 10}, 90.0000, 104.0000, -1851.0000},
    {'G', 3, 0, {4, 18, 14}, 128.0000, 125.2000, -2430.4000},
    {'H', 3, 0, {4, 16, 12}, 106.0000, 112.0000, -2111.0000},
    {'I', 3, 0, {4, 8, 4}, 51.0000, 56.0000, -521.0000},
    {'J', 3, 0, {4, 12, 8}, 78.0000, 76.0000, -817.0000},
    {'K', 3, 0, {4, 15, 11}, 94.6000, 105.0000, -1949.3000},
    {'L', 3, 0, {4, 10, 6}, 62.0000, 64.0000, -677.0000},
    {'M', 3, 0, {4, 16, 12}, 104.0000, 114.0000, -2176.0000},
    {'N', 3, 0, {4, 14, 10}, 90.8000, 98.0000, -1613.4000},
    {'O', 7, 2, {4, 8, 4, 4, 8, 4, 4}, 118.0000, 126.0000, -2451.0000},
    {'P', 7, 2, {4, 10, 4, 4, 8, 6, 4}, 130.0000, 154.0000, -3829.0000},
    {'Q', 7, 2, {4, 12, 7, 4, 15, 8, 7}, 215.5000, 168.7500, -3334.8100},
    {'R', 7, 2, {4, 15, 4, 4, 13, 11, 4}, 197.8000, 196.0000, -5720.6000},
    {'S', 3, 0, {8, 12, 12}, 106.0000, 112.0000, -2071.0000},
    {'T', 3, 0, {6, 10, 8}, 80.0000, 96.0000, -1496.0000},
    {'U', 3, 0, {4, 12, 8}, 78.0000, 88.0000, -1285.0000},
    {'V', 3, 0, {6, 11, 7}, 76.5000, 92.3334, -1484.8358},
    {'W', 3, 0, {6, 17, 13}, 114.0000, 129.0000, -2862.9000},
    {'X', 3, 0, {7, 15, 12}, 107.0000, 119.0000, -2424.9092},
    {'Y', 3, 0, {6, 12, 9}, 87.5000, 108.9660, -1959.2400},
    {'Z', 3, 0, {7, 11, 10}, 92.0000, 98.0000, -1543.1000},
};

TEST(GlyphTable, EveryLetterMatchesItsCountsAndCoordinateSums) {
    auto game = NewGame();
    for (const ExpectedGlyph& expected : kExpectedGlyphs) {
        SCOPED_TRACE(std::string(1, expected.letter));
        game->glyphs.FaceLetter[1] = expected.letter;
        data::LoadBuiltInGlyph(*game, 1);
        const Glyphs& glyphs = game->glyphs;
        ASSERT_EQ(glyphs.SectionsPerCharacter[1][1], expected.sections);
        EXPECT_EQ(glyphs.SectionsPerCharacter[1][2], expected.contours);
        double sum_x = 0, sum_y = 0, weighted = 0;
        int k = 0;
        for (int section = 1; section <= expected.sections; ++section) {
            ASSERT_EQ(glyphs.PointsPerCharSection[1][section], expected.points[section - 1]) << "section " << section;
            for (int point = 1; point <= glyphs.PointsPerCharSection[1][section]; ++point) {
                const Point3f& p = glyphs.CharRAW[1][section][point];
                EXPECT_GE(p.x, 0.0f);
                EXPECT_LE(p.x, 7.0f);
                EXPECT_GE(p.y, 0.0f);
                EXPECT_LE(p.y, 7.0f);
                EXPECT_EQ(p.z, 0.0f);
                ++k;
                sum_x += p.x;
                sum_y += p.y;
                weighted += k * (static_cast<double>(p.x) - 2.0 * p.y);
            }
        }
        for (int section = expected.sections + 1; section <= MaxGlyphSections; ++section) {
            EXPECT_EQ(glyphs.PointsPerCharSection[1][section], 0) << "section " << section;
        }
        EXPECT_NEAR(sum_x, expected.sum_x, 1e-3);
        EXPECT_NEAR(sum_y, expected.sum_y, 1e-3);
        EXPECT_NEAR(weighted, expected.weighted, 1e-2);
    }
}

TEST(GlyphTable, WordLoadsEachWallAndKeepsTheCraftApexes) {
    auto game = NewGame();
    data::LoadCraftApexes(*game);
    game->glyphs.ChosenWord = "ABDUCT";
    for (int face = 1; face <= 6; ++face) game->glyphs.FaceLetter[face] = "ABDUCT"[face - 1];
    data::LoadFaceGlyphs(*game);

    const Glyphs& glyphs = game->glyphs;
    EXPECT_EQ(glyphs.SectionsPerCharacter[1][1], 7);
    EXPECT_EQ(glyphs.SectionsPerCharacter[1][2], 2);
    EXPECT_EQ(glyphs.SectionsPerCharacter[2][1], 9);
    EXPECT_EQ(glyphs.SectionsPerCharacter[2][2], 3);
    EXPECT_EQ(glyphs.SectionsPerCharacter[3][1], 7);  // D has a hole too
    EXPECT_EQ(glyphs.SectionsPerCharacter[3][2], 2);
    for (int face = 4; face <= 6; ++face) {
        EXPECT_EQ(glyphs.SectionsPerCharacter[face][1], 3);
        EXPECT_EQ(glyphs.SectionsPerCharacter[face][2], 0);
    }

    // The apexes of slot 0 are untouched by the letters, and form one
    // section of eight so the drift moves them with everything else.
    EXPECT_EQ(glyphs.SectionsPerCharacter[0][1], 1);
    EXPECT_EQ(glyphs.PointsPerCharSection[0][1], 8);
    const float apexes[8][3] = {{0, 0, 0}, {7, 0, 0}, {7, 7, 0}, {0, 7, 0}, {0, 0, 7}, {7, 0, 7}, {7, 7, 7}, {0, 7, 7}};
    for (int apex = 1; apex <= 8; ++apex) {
        EXPECT_EQ(glyphs.CharRAW[0][1][apex].x, apexes[apex - 1][0]);
        EXPECT_EQ(glyphs.CharRAW[0][1][apex].y, apexes[apex - 1][1]);
        EXPECT_EQ(glyphs.CharRAW[0][1][apex].z, apexes[apex - 1][2]);
    }
}

TEST(GlyphTable, LetterIIsABarAndUnknownLettersLeaveTheSlot) {
    auto game = NewGame();
    game->glyphs.FaceLetter[4] = 'I';
    data::LoadBuiltInGlyph(*game, 4);
    const Glyphs& glyphs = game->glyphs;
    EXPECT_EQ(glyphs.PointsPerCharSection[4][1], 4);
    EXPECT_EQ(glyphs.PointsPerCharSection[4][2], 8);
    EXPECT_EQ(glyphs.PointsPerCharSection[4][3], 4);
    EXPECT_EQ(glyphs.CharRAW[4][3][1].x, 3.0f);
    EXPECT_EQ(glyphs.CharRAW[4][3][1].y, 1.0f);
    EXPECT_EQ(glyphs.CharRAW[4][3][3].x, 4.0f);
    EXPECT_EQ(glyphs.CharRAW[4][3][3].y, 6.0f);

    // A character beyond the built-in letters has no glyph: the slot stays as it was.
    game->glyphs.FaceLetter[4] = '?';
    data::LoadBuiltInGlyph(*game, 4);
    EXPECT_EQ(glyphs.SectionsPerCharacter[4][1], 3);
    EXPECT_EQ(glyphs.CharRAW[4][3][3].y, 6.0f);
}

// -- ROBO model --

TEST(RoboModel, SectionsAreScaledAboutTheModelCentre) {
    auto game = NewGame();
    game->screen.RoboScaleUnit = 33.0;
    data::FillRoboModel(*game);
    const Robo& robo = game->robo;

    const double corners[4][3] = {{33, 99, 0}, {33, 165, 0}, {-33, 165, 0}, {-33, 99, 0}};
    for (int corner = 1; corner <= 4; ++corner) {
        EXPECT_DOUBLE_EQ(robo.RoboRAW[1][corner].x, corners[corner - 1][0]);
        EXPECT_DOUBLE_EQ(robo.RoboRAW[1][corner].y, corners[corner - 1][1]);
        EXPECT_DOUBLE_EQ(robo.RoboRAW[1][corner].z, corners[corner - 1][2]);
    }
    EXPECT_DOUBLE_EQ(robo.RoboRAW[1][0].x, 0.0);
    EXPECT_DOUBLE_EQ(robo.RoboRAW[1][0].y, 132.0);
    EXPECT_DOUBLE_EQ(robo.RoboRAW[1][0].z, 0.0);

    EXPECT_DOUBLE_EQ(robo.RoboRAW[14][0].x, -16.5);
    EXPECT_DOUBLE_EQ(robo.RoboRAW[14][0].y, -57.75);
    EXPECT_DOUBLE_EQ(robo.RoboRAW[14][0].z, 16.5);

    for (int section = 1; section <= NumRoboSections; ++section) EXPECT_EQ(robo.PointsPerRoboSection[section], 4);
}

TEST(RoboModel, WholeModelMatchesItsCoordinateSums) {
    auto game = NewGame();
    game->screen.RoboScaleUnit = 1.0;  // model units shifted by (4, 5, 0)
    data::FillRoboModel(*game);
    double sum_x = 0, sum_y = 0, sum_z = 0, weighted = 0;
    int k = 0;
    for (int section = 1; section <= NumRoboSections; ++section) {
        for (int corner = 1; corner <= 4; ++corner) {
            const Point3d& p = game->robo.RoboRAW[section][corner];
            const double x = p.x + 4, y = p.y + 5, z = p.z;
            ++k;
            sum_x += x;
            sum_y += y;
            sum_z += z;
            weighted += k * (x - 2 * y + 3 * z);
        }
    }
    // Worked out from the model list by a separate script.
    EXPECT_EQ(k, 276);
    EXPECT_DOUBLE_EQ(sum_x, 1104.0);
    EXPECT_DOUBLE_EQ(sum_y, 1176.0);
    EXPECT_DOUBLE_EQ(sum_z, 58.0);
    EXPECT_DOUBLE_EQ(weighted, -106681.0);
}

TEST(RoboModel, ANewPassScalesFromTheModelNotFromTheLastPass) {
    auto game = NewGame();
    game->screen.RoboScaleUnit = 33.0;
    data::FillRoboModel(*game);
    game->screen.RoboScaleUnit = 16.5;
    data::FillRoboModel(*game);
    EXPECT_DOUBLE_EQ(game->robo.RoboRAW[1][1].x, 16.5);
    EXPECT_DOUBLE_EQ(game->robo.RoboRAW[1][1].y, 49.5);
    EXPECT_DOUBLE_EQ(game->robo.RoboRAW[1][0].y, 66.0);
    EXPECT_DOUBLE_EQ(game->robo.RoboRAW[14][0].y, -28.875);
}

}  // namespace
