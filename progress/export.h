#pragma once
// The progress of a player without a window: the PROGRESS page written to a
// picture file and the records written as CSV, for `gyrovessel --progress` and
// `gyrovessel --csv`. Both read the player file through the game's own reader
// and need no display. On failure they return false and say why in one line.

#include "app/game_state.h"

#include <string>

namespace progress {

constexpr int kExportWidth = 1920;   // the exported page is drawn for this work area
constexpr int kExportHeight = 1080;

// Reads player NAME's file (the name as the game stores it: A-Z and 0-9, lower
// case accepted) into game.history; false with a problem line when the name is
// invalid or the file holds no record.
bool LoadNamedHistory(GameState& game, const std::string& name, std::string& problem);

// The PROGRESS page of player NAME as PNG, SVG or PDF by the path's extension,
// laid out for a work area of the given size.
bool ExportProgressPage(const std::string& name, const std::string& path, std::string& problem,
                        int width = kExportWidth, int height = kExportHeight);

// The records of player NAME as CSV: a header row, then one row per record, the
// kind named as the menu names it.
bool WriteCsv(const std::string& name, std::string& csv, std::string& problem);
std::string CsvOfHistory(const History& history);

}  // namespace progress
