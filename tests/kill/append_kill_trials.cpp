// kill -9 trials for the record file. A child process appends records through
// the game's own append routine in a loop and is killed with SIGKILL at a
// random moment. Then the game's own load runs first, as when the player
// starts the game again (it takes back an append the kill cut off), and only
// then is the file checked against what the child reported:
// every line is one whole record of the expected shape, no two are merged,
// the records are numbered 1, 2, 3, ... without a gap, none that the child
// reported as appended is missing, at most the one in flight is extra, and
// the game's loader reads exactly the records found. The same file carries on
// into the next trials, so most trials also append after a kill; every
// kTrialsPerFile trials a new file starts, so that checking stays quick.
//
// Usage: append_kill_trials [trials] [longest delay in microseconds] [padding]
// A padding of N blanks before each record's line end (the reader ignores
// them) makes every append straddle pages of the file, so that kills in the
// middle of a write, which a plain run meets rarely, come often.
// Prints one summary line; exits non-zero at the first broken trial.

#include "core/game_state.h"
#include "platform/text_file.h"
#include "records/record_file.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kPlayerName = "KILLTRIAL";
constexpr int kTrialsPerFile = 100;
constexpr int kPaddedTrialsPerFile = 20;

// The record for sequence number `sequence`: every field follows from it, so
// a record that reads back can be checked whole.
PlayerRecord RecordFor(std::int64_t sequence) {
    PlayerRecord record{};
    record[1] = static_cast<std::int16_t>(1 + sequence % 16);
    record[2] = static_cast<std::int16_t>(sequence % 32768);       // low part of the number
    record[3] = static_cast<std::int16_t>(sequence / 32768);       // high part
    record[4] = static_cast<std::int16_t>((sequence * 7919) % 32749);
    record[5] = static_cast<std::int16_t>(2026 + sequence % 3);
    record[6] = static_cast<std::int16_t>(1 + sequence % 12);
    record[7] = static_cast<std::int16_t>(1 + sequence % 28);
    record[8] = static_cast<std::int16_t>(sequence % 24);
    record[9] = static_cast<std::int16_t>(sequence % 60);
    record[10] = static_cast<std::int16_t>((sequence / 60) % 60);
    record[11] = static_cast<std::int16_t>(sequence % 3 - 1);
    return record;
}

std::string LineFor(std::int64_t sequence, int padding) {
    PlayerRecord record = RecordFor(sequence);
    std::string line;
    for (int field = 1; field <= FieldsPerRecord; ++field) {
        if (field > 1) line += ',';
        line += std::to_string(record[field]);
    }
    line.append(static_cast<std::size_t>(padding), ' ');
    return line;
}

std::int64_t SequenceOf(const PlayerRecord& record) {
    return static_cast<std::int64_t>(record[3]) * 32768 + record[2];
}

// The child: appends records first..∞ and reports each one on the pipe once
// the append routine has returned. Padded lines go through the platform's
// append, which the game's record append ends in.
[[noreturn]] void AppendForever(std::int64_t first, int padding, int report) {
    GameState game;
    game.settings.PlayerName = kPlayerName;
    game.history.PlayerHistory.assign(1, PlayerRecord{});
    const std::string file_name = records::PlayerFileName(kPlayerName);
    for (std::int64_t sequence = first;; ++sequence) {
        if (padding > 0) {
            if (!platform::AppendLine(file_name, LineFor(sequence, padding) + "\r\n")) _exit(4);
        } else {
            game.history.PlayerHistory.push_back(RecordFor(sequence));
            game.history.NumRecords = static_cast<std::int32_t>(game.history.PlayerHistory.size() - 1);
            records::AppendLastRecord(game);
            game.history.PlayerHistory.resize(1);
        }
        std::int64_t done = sequence;
        if (::write(report, &done, sizeof done) != static_cast<ssize_t>(sizeof done)) _exit(3);
    }
}

std::string ReadWhole(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

bool Broken(int trial, const std::string& why) {
    std::fprintf(stderr, "kill -9 trial %d: %s\n", trial, why.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int trials = argc > 1 ? std::atoi(argv[1]) : 200;
    int longest_delay_us = argc > 2 ? std::atoi(argv[2]) : 20000;
    int padding = argc > 3 ? std::max(0, std::atoi(argv[3])) : 0;
    const int trials_per_file = padding > 0 ? kPaddedTrialsPerFile : kTrialsPerFile;

    std::random_device entropy;
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("gyrovessel-kill-" + std::to_string(entropy()) + std::to_string(entropy()));
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    const std::string file_name = records::PlayerFileName(kPlayerName);

    std::mt19937 chance(entropy());
    std::uniform_int_distribution<int> delay(0, longest_delay_us);
    std::int64_t next = 1;
    std::int64_t records_written = 0;
    std::int64_t records_checked = 0;
    std::int64_t in_flight_kept = 0;
    std::int64_t cut_off_appends = 0;     // kills that left a fragment, seen before the load
    std::int64_t cut_at_page = 0;         // ... of those, ending on a 4096-byte boundary
    std::int64_t markers_left = 0;        // kills that left an append's marker
    int trials_run = 0;
    bool failed = false;

    for (int trial = 1; trial <= trials && !failed; ++trial) {
        trials_run = trial;
        if (trial % trials_per_file == 1 && trial > 1) {
            records_written += next - 1;
            std::filesystem::remove(file_name);
            next = 1;
        }
        int pipe_ends[2];
        if (::pipe(pipe_ends) != 0) return 2;
        // The child starts from a clean run of records: it numbers on from the
        // last whole record in the file.
        pid_t child = ::fork();
        if (child < 0) return 2;
        if (child == 0) {
            ::close(pipe_ends[0]);
            AppendForever(next, padding, pipe_ends[1]);
        }
        ::close(pipe_ends[1]);
        ::usleep(static_cast<useconds_t>(delay(chance)));
        ::kill(child, SIGKILL);
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        std::int64_t reported = next - 1;
        std::int64_t value = 0;
        while (::read(pipe_ends[0], &value, sizeof value) == static_cast<ssize_t>(sizeof value)) reported = value;
        ::close(pipe_ends[0]);
        if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) {
            failed = Broken(trial, "the child ended by itself (status " + std::to_string(status) + ")");
            break;
        }

        // What the kill left, before the game sees it.
        const std::string marker_name = file_name + ".pending";
        std::string bytes = ReadWhole(file_name);
        if (std::filesystem::exists(marker_name)) ++markers_left;
        if (bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") != 0) {
            ++cut_off_appends;
            if (bytes.size() % 4096 == 0) ++cut_at_page;
        }

        // The game's own open, as when the player starts it again: the
        // loader reads exactly the records that the file then holds.
        GameState game;
        game.settings.PlayerName = kPlayerName;
        records::LoadPlayerHistory(game);
        if (std::filesystem::exists(marker_name)) {
            failed = Broken(trial, "the marker of the cut-off append is still there after the load");
            break;
        }

        // Every line whole, of the expected shape, numbered without a gap.
        bytes = ReadWhole(file_name);
        std::int64_t found = 0;
        std::size_t at = 0;
        while (at < bytes.size()) {
            std::size_t end = bytes.find("\r\n", at);
            if (end == std::string::npos) {
                // Linux stops a write between two pages of the file when
                // SIGKILL arrives, so a record that straddles a 4096-byte
                // boundary can be cut there.
                std::string where = bytes.size() % 4096 == 0 ? " (cut at a 4096-byte page boundary)" : "";
                failed = Broken(trial, "a cut-off last line at byte " + std::to_string(at) + " of " +
                                           std::to_string(bytes.size()) + where + ": \"" + bytes.substr(at, 80) + "\"");
                break;
            }
            std::string line = bytes.substr(at, end - at);
            if (line != LineFor(found + 1, padding)) {
                failed = Broken(trial, "line " + std::to_string(found + 1) + " (byte " + std::to_string(at) + ") reads \"" +
                                           line + "\", expected \"" +
                                           LineFor(found + 1, padding) + "\"");
                break;
            }
            ++found;
            at = end + 2;
        }
        if (failed) break;
        if (found < reported) {
            failed = Broken(trial, "records " + std::to_string(found + 1) + ".." + std::to_string(reported) +
                                       " were appended and are lost");
            break;
        }
        if (found > reported + 1) {
            failed = Broken(trial, std::to_string(found - reported) + " records more than were appended");
            break;
        }
        if (found == reported + 1) ++in_flight_kept;

        if (game.history.NumRecords != found) {
            failed = Broken(trial, "the loader reads " + std::to_string(game.history.NumRecords) + " records, the file holds " +
                                       std::to_string(found));
            break;
        }
        for (std::int64_t i = 1; i <= found; ++i) {
            const PlayerRecord& record = game.history.PlayerHistory[static_cast<std::size_t>(i)];
            PlayerRecord expected = RecordFor(i);
            for (int field = 1; field <= FieldsPerRecord; ++field) {
                if (record[field] != expected[field]) {
                    failed = Broken(trial, "the loader reads record " + std::to_string(i) + " as sequence " +
                                               std::to_string(SequenceOf(record)));
                    break;
                }
            }
            if (failed) break;
        }
        records_checked += found;
        next = found + 1;
    }

    records_written += next - 1;
    std::error_code ignored;
    std::filesystem::current_path(folder.parent_path(), ignored);
    std::filesystem::remove_all(folder, ignored);
    std::printf("kill -9 trials: %d trials, %lld records written, %lld record readings checked, "
                "%lld kills kept the record in flight, %lld left an append's marker, %lld cut an append off "
                "(%lld at a page boundary), seen before the game's load; %s\n",
                trials_run, static_cast<long long>(records_written), static_cast<long long>(records_checked),
                static_cast<long long>(in_flight_kept), static_cast<long long>(markers_left),
                static_cast<long long>(cut_off_appends), static_cast<long long>(cut_at_page),
                failed ? "FAILED" : "every file whole");
    return failed ? 1 : 0;
}
