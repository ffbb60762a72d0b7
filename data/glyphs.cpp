#include "data/glyphs.h"

#include <array>
#include <cstddef>
#include <iterator>

namespace data {
namespace {

// -- The built-in letters --
// Each letter covers the whole wall on a 7 x 7 grid (x 0..7 from the left edge,
// y 0..7 from the bottom edge). Sections 1 and 2 are the wall around the
// letter, then come the holes, the letter itself (in two pieces when it has a
// hole) and last the outline-only contours. Each section is listed as x, y
// pairs in drawing order; z is always 0 for a letter.
constexpr float kGlyphA[] = {
    /* 1 */ 0, 0, 1, 0, 3, 6, 3, 7, 0, 7,
    /* 2 */ 3, 7, 7, 7, 7, 0, 1, 0, 1.3333f, 1, 2.3333f, 1, 2.6667f, 2, 4.3333f, 2, 4.6667f, 1, 5.6667f, 1,
            4, 6, 3, 6,
    /* 3 */ 3, 3, 4, 3, 3.5f, 4.5f,
    /* 4 */ 1.3333f, 1, 2.3333f, 1, 4, 6, 3, 6,
    /* 5 */ 2.6667f, 2, 4.3333f, 2, 4.6667f, 1, 5.6667f, 1, 4, 6, 3.5f, 4.5f, 4, 3, 3, 3,
    /* 6 */ 1.3333f, 1, 2.3333f, 1, 2.6667f, 2, 4.3333f, 2, 4.6667f, 1, 5.6667f, 1, 4, 6, 3, 6,
    /* 7 */ 3, 3, 4, 3, 3.5f, 4.5f,
};
constexpr float kGlyphB[] = {
    /* 1 */ 0, 0, 2, 0, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 4.7f, 1, 5, 1.3f, 5, 3.2f, 4.7f, 3.5f, 5, 3.8f, 5, 5.7f, 4.7f, 6,
            2, 6,
    /* 3 */ 3, 4, 4, 4, 4, 5, 3, 5,
    /* 4 */ 3, 2, 4, 2, 4, 3, 3, 3,
    /* 5 */ 2, 1, 3, 1, 3, 6, 2, 6,
    /* 6 */ 3, 1, 4.7f, 1, 5, 1.3f, 5, 3.2f, 4.7f, 3.5f, 5, 3.8f, 5, 5.7f, 4.7f, 6, 3, 6, 3, 5, 4, 5, 4, 4,
            3, 4, 3, 3, 4, 3, 4, 2, 3, 2,
    /* 7 */ 2, 1, 4.7f, 1, 5, 1.3f, 5, 3.2f, 4.7f, 3.5f, 5, 3.8f, 5, 5.7f, 4.7f, 6, 2, 6,
    /* 8 */ 3, 2, 4, 2, 4, 3, 3, 3,
    /* 9 */ 3, 4, 4, 4, 4, 5, 3, 5,
};
constexpr float kGlyphC[] = {
    /* 1 */ 0, 0, 2, 0, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 5, 1, 5, 2.5f, 4, 2.5f, 4, 2, 3, 2, 3, 5, 4, 5, 4, 4.5f, 5, 4.5f,
            5, 6, 2, 6,
    /* 3 */ 2, 1, 5, 1, 5, 2.5f, 4, 2.5f, 4, 2, 3, 2, 3, 5, 4, 5, 4, 4.5f, 5, 4.5f, 5, 6, 2, 6,
};
constexpr float kGlyphD[] = {
    /* 1 */ 0, 0, 2, 0, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 4.7f, 1, 5, 1.3f, 5, 5.7f, 4.7f, 6, 2, 6,
    /* 3 */ 3, 2, 4, 2, 4, 5, 3, 5,
    /* 4 */ 2, 1, 3, 1, 3, 6, 2, 6,
    /* 5 */ 3, 1, 4.7f, 1, 5, 1.3f, 5, 5.7f, 4.7f, 6, 3, 6, 3, 5, 4, 5, 4, 2, 3, 2,
    /* 6 */ 2, 1, 4.7f, 1, 5, 1.3f, 5, 5.7f, 4.7f, 6, 2, 6,
    /* 7 */ 3, 2, 4, 2, 4, 5, 3, 5,
};
constexpr float kGlyphE[] = {
    /* 1 */ 0, 0, 2, 0, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 5, 1, 5, 2, 3, 2, 3, 3, 4, 3, 4, 4, 3, 4, 3, 5, 5, 5, 5, 6, 2, 6,
    /* 3 */ 2, 1, 5, 1, 5, 2, 3, 2, 3, 3, 4, 3, 4, 4, 3, 4, 3, 5, 5, 5, 5, 6, 2, 6,
};
constexpr float kGlyphF[] = {
    /* 1 */ 0, 0, 2, 0, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 3, 1, 3, 3, 4, 3, 4, 4, 3, 4, 3, 5, 5, 5, 5, 6, 2, 6,
    /* 3 */ 2, 1, 3, 1, 3, 3, 4, 3, 4, 4, 3, 4, 3, 5, 5, 5, 5, 6, 2, 6,
};
constexpr float kGlyphG[] = {
    /* 1 */ 0, 0, 2, 0, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 5, 1, 5, 3.3f, 3.5f, 3.3f, 3.5f, 2.5f, 4, 2.5f, 4, 2, 3, 2, 3, 5,
            4, 5, 4, 4.5f, 5, 4.5f, 5, 6, 2, 6,
    /* 3 */ 2, 1, 5, 1, 5, 3.3f, 3.5f, 3.3f, 3.5f, 2.5f, 4, 2.5f, 4, 2, 3, 2, 3, 5, 4, 5, 4, 4.5f, 5, 4.5f,
            5, 6, 2, 6,
};
constexpr float kGlyphH[] = {
    /* 1 */ 0, 0, 2, 0, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 3, 1, 3, 3, 4, 3, 4, 1, 5, 1, 5, 6, 4, 6, 4, 4, 3, 4, 3, 6, 2, 6,
    /* 3 */ 2, 1, 3, 1, 3, 3, 4, 3, 4, 1, 5, 1, 5, 6, 4, 6, 4, 4, 3, 4, 3, 6, 2, 6,
};
constexpr float kGlyphI[] = {
    /* 1 */ 0, 0, 3, 0, 3, 7, 0, 7,
    /* 2 */ 3, 7, 7, 7, 7, 0, 0, 0, 3, 1, 4, 1, 4, 6, 3, 6,
    /* 3 */ 3, 1, 4, 1, 4, 6, 3, 6,
};
constexpr float kGlyphJ[] = {
    /* 1 */ 0, 0, 2, 0, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 5, 1, 5, 6, 4, 6, 4, 2, 3, 2, 3, 3, 2, 3,
    /* 3 */ 2, 1, 5, 1, 5, 6, 4, 6, 4, 2, 3, 2, 3, 3, 2, 3,
};
constexpr float kGlyphK[] = {
    /* 1 */ 0, 0, 1.75f, 0, 1.75f, 7, 0, 7,
    /* 2 */ 1.75f, 7, 7, 7, 7, 0, 1.75f, 0, 1.75f, 1, 2.75f, 1, 2.75f, 3, 4.15f, 1, 5.25f, 1, 3.5f, 3.5f,
            5.25f, 6, 4.15f, 6, 2.75f, 4, 2.75f, 6, 1.75f, 6,
    /* 3 */ 1.75f, 1, 2.75f, 1, 2.75f, 3, 4.15f, 1, 5.25f, 1, 3.5f, 3.5f, 5.25f, 6, 4.15f, 6, 2.75f, 4,
            2.75f, 6, 1.75f, 6,
};
constexpr float kGlyphL[] = {
    /* 1 */ 0, 0, 2, 0, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 5, 1, 5, 2, 3, 2, 3, 6, 2, 6,
    /* 3 */ 2, 1, 5, 1, 5, 2, 3, 2, 3, 6, 2, 6,
};
constexpr float kGlyphM[] = {
    /* 1 */ 0, 0, 1.5f, 0, 1.5f, 7, 0, 7,
    /* 2 */ 1.5f, 7, 7, 7, 7, 0, 1.5f, 0, 1.5f, 1, 2.5f, 1, 2.5f, 4, 3.5f, 2.5f, 4.5f, 4, 4.5f, 1, 5.5f, 1,
            5.5f, 6, 4.5f, 6, 3.5f, 4.5f, 2.5f, 6, 1.5f, 6,
    /* 3 */ 1.5f, 1, 2.5f, 1, 2.5f, 4, 3.5f, 2.5f, 4.5f, 4, 4.5f, 1, 5.5f, 1, 5.5f, 6, 4.5f, 6, 3.5f, 4.5f,
            2.5f, 6, 1.5f, 6,
};
constexpr float kGlyphN[] = {
    /* 1 */ 0, 0, 1.7f, 0, 1.7f, 7, 0, 7,
    /* 2 */ 1.7f, 7, 7, 7, 7, 0, 1.7f, 0, 1.7f, 1, 2.7f, 1, 2.7f, 3.7f, 4.3f, 1, 5.3f, 1, 5.3f, 6, 4.3f, 6,
            4.3f, 3.3f, 2.7f, 6, 1.7f, 6,
    /* 3 */ 1.7f, 1, 2.7f, 1, 2.7f, 3.7f, 4.3f, 1, 5.3f, 1, 5.3f, 6, 4.3f, 6, 4.3f, 3.3f, 2.7f, 6, 1.7f, 6,
};
constexpr float kGlyphO[] = {
    /* 1 */ 0, 0, 2, 0, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 5, 1, 5, 6, 2, 6,
    /* 3 */ 3, 2, 4, 2, 4, 5, 3, 5,
    /* 4 */ 2, 1, 3, 1, 3, 6, 2, 6,
    /* 5 */ 3, 1, 5, 1, 5, 6, 3, 6, 3, 5, 4, 5, 4, 2, 3, 2,
    /* 6 */ 2, 1, 5, 1, 5, 6, 2, 6,
    /* 7 */ 3, 2, 4, 2, 4, 5, 3, 5,
};
constexpr float kGlyphP[] = {
    /* 1 */ 0, 0, 2, 0, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 3, 1, 3, 3, 5, 3, 5, 6, 2, 6,
    /* 3 */ 3, 4, 4, 4, 4, 5, 3, 5,
    /* 4 */ 2, 1, 3, 1, 3, 6, 2, 6,
    /* 5 */ 3, 3, 5, 3, 5, 6, 3, 6, 3, 5, 4, 5, 4, 4, 3, 4,
    /* 6 */ 2, 1, 3, 1, 3, 3, 5, 3, 5, 6, 2, 6,
    /* 7 */ 3, 4, 4, 4, 4, 5, 3, 5,
};
constexpr float kGlyphQ[] = {
    /* 1 */ 0, 0, 2, 0, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 5, 1, 5, 1.5f, 5.5f, 1.25f, 5.75f, 1.75f, 5, 2.13f, 5, 6, 2, 6,
    /* 3 */ 3, 2, 4, 2, 3.5f, 2.25f, 3.75f, 2.75f, 4, 2.62f, 4, 5, 3, 5,
    /* 4 */ 2, 1, 3, 1, 3, 6, 2, 6,
    /* 5 */ 3, 1, 5, 1, 5, 1.5f, 5.5f, 1.25f, 5.75f, 1.75f, 5, 2.13f, 5, 6, 3, 6, 3, 5, 4, 5, 4, 2.62f,
            3.75f, 2.75f, 3.5f, 2.25f, 4, 2, 3, 2,
    /* 6 */ 2, 1, 5, 1, 5, 1.5f, 5.5f, 1.25f, 5.75f, 1.75f, 5, 2.13f, 5, 6, 2, 6,
    /* 7 */ 3, 2, 4, 2, 3.5f, 2.25f, 3.75f, 2.75f, 4, 2.62f, 4, 5, 3, 5,
};
constexpr float kGlyphR[] = {
    /* 1 */ 0, 0, 2, 0, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 3, 1, 3, 3, 3.9f, 1, 5, 1, 4.1f, 3, 4.8f, 3, 5, 3.2f, 5, 5.8f,
            4.8f, 6, 2, 6,
    /* 3 */ 3, 4, 4, 4, 4, 5, 3, 5,
    /* 4 */ 2, 1, 3, 1, 3, 6, 2, 6,
    /* 5 */ 3, 3, 3.9f, 1, 5, 1, 4.1f, 3, 4.8f, 3, 5, 3.2f, 5, 5.8f, 4.8f, 6, 3, 6, 3, 5, 4, 5, 4, 4, 3, 4,
    /* 6 */ 2, 1, 3, 1, 3, 3, 3.9f, 1, 5, 1, 4.1f, 3, 4.8f, 3, 5, 3.2f, 5, 5.8f, 4.8f, 6, 2, 6,
    /* 7 */ 3, 4, 4, 4, 4, 5, 3, 5,
};
constexpr float kGlyphS[] = {
    /* 1 */ 0, 0, 2, 0, 2, 2, 4, 2, 4, 3, 2, 3, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 5, 1, 5, 4, 3, 4, 3, 5, 5, 5, 5, 6, 2, 6,
    /* 3 */ 2, 1, 5, 1, 5, 4, 3, 4, 3, 5, 5, 5, 5, 6, 2, 6, 2, 3, 4, 3, 4, 2, 2, 2,
};
constexpr float kGlyphT[] = {
    /* 1 */ 0, 0, 3, 0, 3, 5, 2, 5, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 3, 0, 3, 1, 4, 1, 4, 5, 5, 5, 5, 6, 2, 6,
    /* 3 */ 3, 1, 4, 1, 4, 5, 5, 5, 5, 6, 2, 6, 2, 5, 3, 5,
};
constexpr float kGlyphU[] = {
    /* 1 */ 0, 0, 2, 0, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 5, 1, 5, 6, 4, 6, 4, 2, 3, 2, 3, 6, 2, 6,
    /* 3 */ 2, 1, 5, 1, 5, 6, 4, 6, 4, 2, 3, 2, 3, 6, 2, 6,
};
constexpr float kGlyphV[] = {
    /* 1 */ 0, 0, 3, 0, 3, 1, 1.5f, 6, 1.5f, 7, 0, 7,
    /* 2 */ 1.5f, 7, 7, 7, 7, 0, 3, 0, 3, 1, 4, 1, 5.5f, 6, 4.5f, 6, 3.5f, 2.6667f, 2.5f, 6, 1.5f, 6,
    /* 3 */ 3, 1, 4, 1, 5.5f, 6, 4.5f, 6, 3.5f, 2.6667f, 2.5f, 6, 1.5f, 6,
};
constexpr float kGlyphW[] = {
    /* 1 */ 0, 0, 2, 0, 2, 1, 1, 6, 1, 7, 0, 7,
    /* 2 */ 1, 7, 7, 7, 7, 0, 2, 0, 2, 1, 3, 1, 3.5f, 3, 4, 1, 5, 1, 6, 6, 5, 6, 4.4f, 3, 4, 5, 3, 5,
            2.6f, 3, 2, 6, 1, 6,
    /* 3 */ 2, 1, 3, 1, 3.5f, 3, 4, 1, 5, 1, 6, 6, 5, 6, 4.4f, 3, 4, 5, 3, 5, 2.6f, 3, 2, 6, 1, 6,
};
constexpr float kGlyphX[] = {
    /* 1 */ 0, 0, 1.5f, 0, 1.5f, 1, 2.95f, 3.5f, 1.5f, 6, 1.5f, 7, 0, 7,
    /* 2 */ 1.5f, 7, 7, 7, 7, 0, 1.5f, 0, 1.5f, 1, 2.6f, 1, 3.5f, 2.5517f, 4.4f, 1, 5.5f, 1, 4.05f, 3.5f,
            5.5f, 6, 4.4f, 6, 3.5f, 4.4483f, 2.6f, 6, 1.5f, 6,
    /* 3 */ 1.5f, 1, 2.6f, 1, 3.5f, 2.5517f, 4.4f, 1, 5.5f, 1, 4.05f, 3.5f, 5.5f, 6, 4.4f, 6, 3.5f, 4.4483f,
            2.6f, 6, 1.5f, 6, 2.95f, 3.5f,
};
constexpr float kGlyphY[] = {
    /* 1 */ 0, 0, 3, 0, 3, 3.5f, 1.5f, 6, 1.5f, 7, 0, 7,
    /* 2 */ 1.5f, 7, 7, 7, 7, 0, 3, 0, 3, 1, 4, 1, 4, 3.5f, 5.5f, 6, 4.4f, 6, 3.5f, 4.483f, 2.6f, 6, 1.5f, 6,
    /* 3 */ 3, 1, 4, 1, 4, 3.5f, 5.5f, 6, 4.4f, 6, 3.5f, 4.483f, 2.6f, 6, 1.5f, 6, 3, 3.5f,
};
constexpr float kGlyphZ[] = {
    /* 1 */ 0, 0, 2, 0, 2, 2, 3.85f, 5, 2, 5, 2, 7, 0, 7,
    /* 2 */ 2, 7, 7, 7, 7, 0, 2, 0, 2, 1, 5, 1, 5, 2, 3.15f, 2, 5, 5, 5, 6, 2, 6,
    /* 3 */ 2, 1, 5, 1, 5, 2, 3.15f, 2, 5, 5, 5, 6, 2, 6, 2, 5, 3.85f, 5, 2, 2,
};

struct BuiltInGlyph {
    std::int16_t sections;  // N: polygons of the letter, 3, 7 or 9
    std::int16_t contours;  // H: outline-only sections at the end, 0, 2 or 3
    std::array<std::int16_t, MaxGlyphSections> points;  // per section, in order
    const float* xy;        // every section's points as x, y pairs, section after section
    std::size_t xy_count;   // floats in xy
};

constexpr std::array<BuiltInGlyph, 26> kBuiltInGlyphs = {{
    {7, 2, {5, 12, 3, 4, 8, 8, 3}, kGlyphA, std::size(kGlyphA)},  // A
    {9, 3, {4, 13, 4, 4, 4, 17, 9, 4, 4}, kGlyphB, std::size(kGlyphB)},  // B
    {3, 0, {4, 16, 12}, kGlyphC, std::size(kGlyphC)},  // C
    {7, 2, {4, 10, 4, 4, 10, 6, 4}, kGlyphD, std::size(kGlyphD)},  // D
    {3, 0, {4, 16, 12}, kGlyphE, std::size(kGlyphE)},  // E
    {3, 0, {4, 14, 10}, kGlyphF, std::size(kGlyphF)},  // F
    {3, 0, {4, 18, 14}, kGlyphG, std::size(kGlyphG)},  // G
    {3, 0, {4, 16, 12}, kGlyphH, std::size(kGlyphH)},  // H
    {3, 0, {4, 8, 4}, kGlyphI, std::size(kGlyphI)},  // I
    {3, 0, {4, 12, 8}, kGlyphJ, std::size(kGlyphJ)},  // J
    {3, 0, {4, 15, 11}, kGlyphK, std::size(kGlyphK)},  // K
    {3, 0, {4, 10, 6}, kGlyphL, std::size(kGlyphL)},  // L
    {3, 0, {4, 16, 12}, kGlyphM, std::size(kGlyphM)},  // M
    {3, 0, {4, 14, 10}, kGlyphN, std::size(kGlyphN)},  // N
    {7, 2, {4, 8, 4, 4, 8, 4, 4}, kGlyphO, std::size(kGlyphO)},  // O
    {7, 2, {4, 10, 4, 4, 8, 6, 4}, kGlyphP, std::size(kGlyphP)},  // P
    {7, 2, {4, 12, 7, 4, 15, 8, 7}, kGlyphQ, std::size(kGlyphQ)},  // Q
    {7, 2, {4, 15, 4, 4, 13, 11, 4}, kGlyphR, std::size(kGlyphR)},  // R
    {3, 0, {8, 12, 12}, kGlyphS, std::size(kGlyphS)},  // S
    {3, 0, {6, 10, 8}, kGlyphT, std::size(kGlyphT)},  // T
    {3, 0, {4, 12, 8}, kGlyphU, std::size(kGlyphU)},  // U
    {3, 0, {6, 11, 7}, kGlyphV, std::size(kGlyphV)},  // V
    {3, 0, {6, 17, 13}, kGlyphW, std::size(kGlyphW)},  // W
    {3, 0, {7, 15, 12}, kGlyphX, std::size(kGlyphX)},  // X
    {3, 0, {6, 12, 9}, kGlyphY, std::size(kGlyphY)},  // Y
    {3, 0, {7, 11, 10}, kGlyphZ, std::size(kGlyphZ)},  // Z
}};

// A letter's section counts must account for exactly the points listed for it,
// and fit a slot; checked once here rather than at every load.
constexpr bool FitsItsSlot(const BuiltInGlyph& glyph) {
    if (glyph.sections < 1 || glyph.sections > MaxGlyphSections) return false;
    std::size_t total = 0;
    for (int section = 0; section < glyph.sections; ++section) {
        if (glyph.points[section] < 1 || glyph.points[section] > MaxGlyphPoints) return false;
        total += static_cast<std::size_t>(glyph.points[section]);
    }
    return 2 * total == glyph.xy_count;
}

constexpr bool AllFitTheirSlots() {
    for (const BuiltInGlyph& glyph : kBuiltInGlyphs) {
        if (!FitsItsSlot(glyph)) return false;
    }
    return true;
}
static_assert(AllFitTheirSlots(), "a built-in letter's point counts disagree with its point list");

// -- The craft's corners --
// The cube is slot 0 on the same 7-unit grid, so it is centred and scaled by
// the same steps as the letters.
constexpr std::array<Point3f, 8> kCraftApexes = {{
    {0, 0, 0}, {7, 0, 0}, {7, 7, 0}, {0, 7, 0}, {0, 0, 7}, {7, 0, 7}, {7, 7, 7}, {0, 7, 7},
}};

}  // namespace

// -- Loading --
void LoadCraftApexes(GameState& game) {
    Glyphs& glyphs = game.glyphs;
    // One section of eight points, so the wander moves the apexes with the letters.
    glyphs.SectionsPerCharacter[0][1] = 1;
    glyphs.SectionsPerCharacter[0][2] = 0;
    glyphs.PointsPerCharSection[0][1] = 8;
    for (int apex = 1; apex <= 8; ++apex) {
        glyphs.CharRAW[0][1][apex] = kCraftApexes[static_cast<std::size_t>(apex - 1)];
    }
}

void LoadBuiltInGlyph(GameState& game, int face) {
    if (face < 1 || face > 6) return;
    const char letter = game.glyphs.FaceLetter[face];
    if (letter < 'A' || letter > 'Z') return;
    const BuiltInGlyph& glyph = kBuiltInGlyphs[static_cast<std::size_t>(letter - 'A')];

    Glyphs& glyphs = game.glyphs;
    glyphs.SectionsPerCharacter[face][1] = glyph.sections;
    glyphs.SectionsPerCharacter[face][2] = glyph.contours;
    std::size_t next = 0;
    for (int section = 1; section <= MaxGlyphSections; ++section) {
        // Sections past the letter's own are emptied so nothing of an earlier
        // letter lingers in the slot.
        const std::int16_t count = section <= glyph.sections ? glyph.points[section - 1] : 0;
        glyphs.PointsPerCharSection[face][section] = count;
        for (int point = 1; point <= count; ++point) {
            glyphs.CharRAW[face][section][point] = Point3f{glyph.xy[next], glyph.xy[next + 1], 0.0f};
            next += 2;
        }
    }
}

void LoadFaceGlyphs(GameState& game) {
    for (int face = 1; face <= 6; ++face) LoadBuiltInGlyph(game, face);
}

}  // namespace data
