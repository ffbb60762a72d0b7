#pragma once
// The built-in list of 319 six-letter words and the choice of one per etude.
// Owns ChosenWord and the wall letters of GameState::glyphs.

#include "core/game_state.h"

#include <array>
#include <string_view>

namespace data {

constexpr std::int16_t WordCount = 319;
extern const std::array<std::string_view, WordCount> WordList;  // entry 1 is WordList[0]

// One RandomInteger(1, WordCount) draw; the word's letters go to walls 1..6.
void ChooseWord(GameState& game);

}  // namespace data
