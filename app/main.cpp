// The game binary: answers its command line, then wires the desktop back end
// to the main flow.

#include "app/main_flow.h"
#include "app/options.h"
#include "platform/platform.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

int PlayOnDesktop(platform::Platform& platform) {
    return app::RunGame(platform);
}

}  // namespace

int main(int argc, char** argv) {
    const app::CommandLine command = app::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (command.action == app::CommandAction::Play) return platform::RunDesktop(&PlayOnDesktop);
    std::FILE* channel = command.action == app::CommandAction::Refuse ? stderr : stdout;
    std::fputs(command.text.c_str(), channel);
    return std::fflush(channel) == 0 ? command.exit_status : 1;
}
