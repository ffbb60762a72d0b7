// The terminal the game was started from, as the desktop's console.

#include "platform/platform_state.h"

#include <cstdio>

namespace platform {

void WriteTerminal(Platform&, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// One line from standard input. At its end (or when it is closed) whatever was
// read is returned at once: a stop waiting for Enter must never hang a game
// started without a terminal.
std::string ReadTerminalLine(Platform& platform) {
    std::string line;
    for (;;) {
        int c = std::getc(stdin);
        if (c == EOF) {
            std::clearerr(stdin);
            return line;
        }
        if (c == '\n' && platform.console_after_cr) {
            platform.console_after_cr = false;
            continue;
        }
        platform.console_after_cr = false;
        if (c == '\r' || c == '\n') {
            platform.console_after_cr = c == '\r';
            return line;
        }
        if (c == 8 || c == 127) {
            if (!line.empty()) line.pop_back();
        } else if (c >= 32 && line.size() < kMaxConsoleLine) {
            line += static_cast<char>(c);
        }
    }
}

}  // namespace platform
