// The terminal the game was started from, as the desktop's console. A line is
// read from standard input while the window thread keeps the window alive;
// closing the window during a stop ends the wait, so the game can end.

#include "platform/platform_state.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace platform {

namespace {

// How often a wait for the terminal looks whether the window was closed.
constexpr int kQuitCheckMs = 50;

// The next byte typed on the terminal; EOF at the end of input, on an error,
// or once the window is closed. Read one at a time, past any buffering, so
// that waiting can be interrupted and nothing typed after the line is taken.
int ReadTerminalByte(Platform& platform) {
    for (;;) {
        if (platform.backend->quit_requested(platform)) return EOF;
        pollfd input{STDIN_FILENO, POLLIN, 0};
        int ready = poll(&input, 1, kQuitCheckMs);
        if (ready < 0 && errno != EINTR) return EOF;
        if (ready <= 0) continue;
        unsigned char byte = 0;
        ssize_t got = read(STDIN_FILENO, &byte, 1);
        if (got == 1) return byte;
        if (got < 0 && errno == EINTR) continue;
        return EOF;
    }
}

}  // namespace

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
        int c = ReadTerminalByte(platform);
        if (c == EOF) return line;
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
