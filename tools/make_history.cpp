// make_history: writes a plausible player file (see plausible_history.h) for
// looking at the PROGRESS page and the exports without weeks of play.
//
//   make_history NAME [RECORDS] [SEED]     writes player-<name>.txt here
//
// The file is written whole, replacing one of the same name.

#include "platform/text_file.h"
#include "platform/text_forms.h"
#include "records/record_file.h"
#include "tools/plausible_history.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fputs("usage: make_history NAME [RECORDS] [SEED]\n", stderr);
        return 2;
    }
    tools::HistoryChoice choice;
    if (argc >= 3) choice.records = std::atoi(argv[2]);
    if (argc >= 4) choice.seed = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10));
    History history;
    tools::MakePlausibleHistory(history, choice);

    std::string name = records::PlayerFileName(argv[1]);
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    std::string line;
    for (std::int32_t i = 1; i <= history.NumRecords; ++i) {
        line.clear();
        for (int field = 1; field <= FieldsPerRecord; ++field) {
            if (field > 1) platform::WriteSeparator(line);
            platform::WriteNumber(line, history.PlayerHistory[static_cast<std::size_t>(i)][field]);
        }
        platform::EndRecord(line);
        file << line;
    }
    if (!file) {
        std::fprintf(stderr, "make_history: cannot write %s\n", name.c_str());
        return 1;
    }
    std::printf("%s: %d records\n", name.c_str(), static_cast<int>(history.NumRecords));
    return 0;
}
