#include "records/record_file.h"

#include "core/rounding.h"
#include "platform/platform.h"
#include "platform/text_file.h"
#include "platform/text_forms.h"

#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>

namespace records {

namespace {

// Characters first..first+count-1 (from 1) of a date or time text read as a
// number; a text too short for them reads as 0 rather than failing.
std::int16_t TextPart(const std::string& text, std::size_t first, std::size_t count) {
    if (first < 1 || first > text.size()) return 0;
    std::string_view part = std::string_view(text).substr(first - 1, count);
    return RoundToInt16(platform::LeadingNumber(part));
}

std::int16_t ClampToInt16(std::int32_t value) {
    if (value > std::numeric_limits<std::int16_t>::max()) return std::numeric_limits<std::int16_t>::max();
    if (value < std::numeric_limits<std::int16_t>::min()) return std::numeric_limits<std::int16_t>::min();
    return static_cast<std::int16_t>(value);
}

// The end of an etude: how long it took and when it ended. An etude that runs
// across midnight keeps its length, as every elapsed time does. The recorded
// field caps at 32767 s later.
void StampEtudeEnd(GameState& game) {
    platform::Platform& platform = *game.platform;
    Etude& etude = game.etude;
    etude.Duration = static_cast<float>(platform::SecondsSince(platform, etude.EtudeStartTime));
    etude.TimeNOW = platform::TimeText(platform);
    etude.DateNOW = platform::DateText(platform);
}

// Grows the history by one all-zero record and fills the fields every record
// shares: kind, rounded duration and the end's date and time.
PlayerRecord& StartNewRecord(GameState& game) {
    History& history = game.history;
    const Etude& etude = game.etude;
    history.NumRecords += 1;
    history.PlayerHistory.resize(static_cast<std::size_t>(history.NumRecords) + 1);
    PlayerRecord& record = history.PlayerHistory[static_cast<std::size_t>(history.NumRecords)];
    record = PlayerRecord{};
    record[1] = ClampToInt16(game.settings.EtudeNumber);
    record[2] = RoundToInt16(etude.Duration);
    // DateNOW is "MM-DD-YYYY", TimeNOW "HH:MM:SS".
    record[5] = TextPart(etude.DateNOW, 7, 4);
    record[6] = TextPart(etude.DateNOW, 1, 2);
    record[7] = TextPart(etude.DateNOW, 4, 2);
    record[8] = TextPart(etude.TimeNOW, 1, 2);
    record[9] = TextPart(etude.TimeNOW, 4, 2);
    record[10] = TextPart(etude.TimeNOW, 7, 2);
    return record;
}

// The window shows a short line (below the verdict, and on the menu of the
// next pass); the console keeps the longer one.
void ReportFileTrouble(GameState& game, std::string_view console_line, std::string window_line) {
    if (game.platform != nullptr) {
        platform::ConsolePrintText(*game.platform, console_line);
        platform::ConsoleNewLine(*game.platform);
    }
    game.history.FileTrouble = std::move(window_line);
}

}  // namespace

// -- File name --

std::string PlayerFileName(const std::string& player_name) {
    std::string name = "player-";
    name.reserve(name.size() + player_name.size() + 4);
    for (char c : player_name) {
        name += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    name += ".txt";
    return name;
}

// -- Reading the history --

void LoadPlayerHistory(GameState& game) {
    History& history = game.history;
    const std::string name = PlayerFileName(game.settings.PlayerName);
    // An append that a kill cut off last time goes first: its fragment would
    // read as an etude of its own.
    platform::RepairCutOffAppend(name);
    platform::TextFile file;
    if (!platform::OpenForInput(file, name)) {
        history.NumRecords = 0;
        history.PlayerHistory.assign(1, PlayerRecord{});
        // A missing file is a new player; anything else the player must learn
        // of, and the news of a record just lost stays first.
        if (!file.problem.empty() && history.FileTrouble.empty()) {
            ReportFileTrouble(game, "Cannot read " + name + " (" + file.problem + "): past etudes are not shown",
                              "Past etudes not shown: " + name + " - " + file.problem);
        }
        return;
    }

    std::int64_t lines = platform::CountLines(file);
    if (lines > std::numeric_limits<std::int32_t>::max() - 1) lines = std::numeric_limits<std::int32_t>::max() - 1;
    history.NumRecords = static_cast<std::int32_t>(lines);
    history.PlayerHistory.assign(static_cast<std::size_t>(lines) + 1, PlayerRecord{});

    // Record i is line i; a file that grew since it was counted gives no more.
    // Fields the line lacks stay 0 from the assign above.
    double numbers[FieldsPerRecord];
    for (std::int32_t i = 1; i <= history.NumRecords; ++i) {
        const int found = platform::ReadLine(file, numbers, FieldsPerRecord);
        if (found < 0) break;
        PlayerRecord& record = history.PlayerHistory[static_cast<std::size_t>(i)];
        for (int field = 1; field <= found; ++field) record[field] = RoundToInt16(numbers[field - 1]);
    }
    platform::CloseFile(file);
}

// -- Writing one record --

void AppendLastRecord(GameState& game) {
    History& history = game.history;
    if (history.NumRecords < 1 || static_cast<std::size_t>(history.NumRecords) >= history.PlayerHistory.size()) {
        return;
    }
    const PlayerRecord& record = history.PlayerHistory[static_cast<std::size_t>(history.NumRecords)];

    std::string line;
    line.reserve(80);
    for (int field = 1; field <= FieldsPerRecord; ++field) {
        if (field > 1) platform::WriteSeparator(line);
        platform::WriteNumber(line, record[field]);
    }
    platform::EndRecord(line);

    const std::string name = PlayerFileName(game.settings.PlayerName);
    std::string why_not;
    if (platform::AppendLine(game.platform, name, line, why_not)) {
        history.FileTrouble.clear();
    } else {
        // The game goes on without the record, but the player should learn why
        // the table will not count this etude.
        ReportFileTrouble(game, "Cannot write to " + name + " (" + why_not + "): this etude is not recorded",
                          "Etude not recorded: " + name + " - " + why_not);
    }
}

// -- The end of an etude --

void RecordCompletedEtude(GameState& game) {
    StampEtudeEnd(game);

    Etude& etude = game.etude;
    std::int32_t expected = 0;
    std::int32_t observed = 0;
    for (int wall = 1; wall <= NumFaces; ++wall) {
        expected += etude.FaceKeyStrokes[wall][0];
        observed += etude.FaceKeyStrokes[wall][1];
    }
    etude.KeyStrokes[0] = ClampToInt16(expected);
    etude.KeyStrokes[1] = ClampToInt16(observed);

    // The history in memory is not reloaded: the new record follows those
    // loaded at the start of the pass.
    PlayerRecord& record = StartNewRecord(game);
    record[3] = etude.KeyStrokes[0];
    record[4] = etude.KeyStrokes[1];
    record[11] = (expected == observed) ? 1 : 0;
    AppendLastRecord(game);
}

void RecordIncompleteEtude(GameState& game) {
    StampEtudeEnd(game);
    LoadPlayerHistory(game);
    if (game.settings.EchoMode == 1 || game.settings.EchoMode == 2) {
        platform::PlayCue(*game.platform, "speakincomplete");
    }
    // Keystrokes of an abandoned etude say nothing about its solution.
    PlayerRecord& record = StartNewRecord(game);
    record[3] = 0;
    record[4] = 0;
    record[11] = -1;
    AppendLastRecord(game);
}

}  // namespace records
