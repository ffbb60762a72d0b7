// The game binary: answers its command line, then wires the desktop back end
// to the main flow. The options that write a player's progress need no window.

#include "app/main_flow.h"
#include "app/options.h"
#include "platform/desktop/desktop.h"
#include "platform/platform.h"
#include "progress/export.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

int PlayOnDesktop(platform::Platform& platform) {
    return app::RunGame(platform);
}

int Fail(const std::string& problem) {
    std::fprintf(stderr, "gyrovessel: %s\n", problem.c_str());
    return 1;
}

int Print(std::FILE* channel, const std::string& text, int status) {
    if (std::fwrite(text.data(), 1, text.size(), channel) != text.size() || std::fflush(channel) != 0) {
        return channel == stdout ? Fail("cannot write to standard output") : 1;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const app::CommandLine command = app::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    std::string problem;
    switch (command.action) {
        case app::CommandAction::Play:
            return platform::RunDesktop(&PlayOnDesktop);
        case app::CommandAction::WriteProgress:
            return progress::ExportProgressPage(command.values[0], command.values[1], problem) ? 0 : Fail(problem);
        case app::CommandAction::WriteCsv: {
            std::string csv;
            if (!progress::WriteCsv(command.values[0], csv, problem)) return Fail(problem);
            return Print(stdout, csv, 0);
        }
        case app::CommandAction::PrintHelp:
        case app::CommandAction::PrintVersion:
            return Print(stdout, command.text, command.exit_status);
        case app::CommandAction::Refuse:
            return Print(stderr, command.text, command.exit_status);
    }
    return 1;
}
