// The console: the game's diagnostic channel for its consistency stops. On the
// desktop it is the terminal the game was started from; off-screen it is a
// log and a queue of scripted lines.

#include "platform/platform.h"

#include "platform/platform_state.h"
#include "platform/text_forms.h"

namespace platform {

void ConsolePrintText(Platform& platform, std::string_view text) {
    platform.backend->console_write(platform, text);
}

void ConsolePrintNumber(Platform& platform, double number, bool single_precision) {
    ConsolePrintText(platform, PrintForm(number, single_precision));
}

void ConsoleNewLine(Platform& platform) {
    ConsolePrintText(platform, "\n");
}

std::string ConsoleLineInput(Platform& platform) {
    return platform.backend->console_read_line(platform);
}

void PauseForEnter(Platform& platform, std::string_view prompt) {
    ConsolePrintText(platform, prompt);
    ConsoleLineInput(platform);  // whatever was typed before Enter is not used
}

}  // namespace platform
