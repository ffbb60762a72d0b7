#pragma once
// The player's record file: "player-" + lower-case name + ".txt" in the working
// directory, one line of eleven integers per recorded etude, CR LF, append-only.
// Owns PlayerHistory, NumRecords, FileTrouble, and Duration, DateNOW, TimeNOW
// and KeyStrokes at the end of an etude.

#include "app/game_state.h"

#include <string>

namespace records {

std::string PlayerFileName(const std::string& player_name);
void LoadPlayerHistory(GameState& game);
void AppendLastRecord(GameState& game);
void RecordCompletedEtude(GameState& game);   // FacesDone has just reached NumFaces
void RecordIncompleteEtude(GameState& game);  // "1" with 1..5 walls done

}  // namespace records
