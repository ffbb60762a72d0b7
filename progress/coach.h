#pragma once
// The coach of menu choice 62: while it is on, it chooses the etude kind for
// every PLAY. Kinds never played come first, in menu order; after that the
// kind with the weakest recent results (lowest share won, then lowest
// rotation speed, over the most recent PastPerformanceReach etudes of each
// kind, as the performance table counts them); and never the same kind three
// times in a row. Owns Settings::CoachOn and Settings::CoachChoices; reads
// PlayerHistory and the reach, touches no file and no window.

#include "app/game_state.h"

namespace progress {

// The kind, 1..16, the coach gives the next etude.
int CoachChooseKind(const GameState& game);

// The kind that would be a third of the same in a row, or 0: the kind of both
// of the last two records, else the kind the coach gave both of its last two
// PLAYs since it was turned on.
int KindBarredByRepeats(const GameState& game);

// Remembers EtudeNumber as the coach's choice for the PLAY that starts now.
void NoteCoachChoice(GameState& game);

}  // namespace progress
