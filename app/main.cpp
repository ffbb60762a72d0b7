// The game binary: wires the desktop back end to the main flow. Two options
// write a player's progress without opening a window.

#include "app/main_flow.h"
#include "platform/platform.h"
#include "progress/export.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

int PlayOnDesktop(platform::Platform& platform) {
    return app::RunGame(platform);
}

int Fail(const std::string& problem) {
    std::fprintf(stderr, "gyrovessel: %s\n", problem.c_str());
    return 1;
}

// --progress NAME FILE and --csv NAME; -1 when the arguments are neither.
int RunProgressOption(int argc, char** argv) {
    if (argc < 2) return -1;
    std::string_view option = argv[1];
    std::string problem;
    if (option == "--progress") {
        if (argc != 4) return Fail("usage: gyrovessel --progress NAME FILE.png|FILE.svg|FILE.pdf");
        return progress::ExportProgressPage(argv[2], argv[3], problem) ? 0 : Fail(problem);
    }
    if (option == "--csv") {
        if (argc != 3) return Fail("usage: gyrovessel --csv NAME");
        std::string csv;
        if (!progress::WriteCsv(argv[2], csv, problem)) return Fail(problem);
        return std::fwrite(csv.data(), 1, csv.size(), stdout) == csv.size() && std::fflush(stdout) == 0
                   ? 0
                   : Fail("cannot write the CSV to standard output");
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    int status = RunProgressOption(argc, argv);
    if (status >= 0) return status;
    return platform::RunDesktop(&PlayOnDesktop);
}
