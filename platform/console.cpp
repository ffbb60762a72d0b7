// The console: the game's diagnostic channel for its consistency stops. On the
// desktop it is the terminal the game was started from; off-screen it is a
// log and a queue of scripted lines.

#include "platform/platform.h"

#include "platform/platform_state.h"
#include "platform/text_forms.h"

#include <cstdio>

namespace platform {

namespace {

constexpr std::size_t kMaxConsoleLine = 10000;

void WriteToTerminal(std::string_view text) {
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

}  // namespace

void ConsolePrintText(Platform& platform, std::string_view text) {
    if (platform.offscreen != nullptr) {
        platform.offscreen->console.append(text);
        return;
    }
    WriteToTerminal(text);
}

void ConsolePrintNumber(Platform& platform, double number, bool single_precision) {
    ConsolePrintText(platform, PrintForm(number, single_precision));
}

void ConsoleNewLine(Platform& platform) {
    ConsolePrintText(platform, "\n");
}

std::string ConsoleLineInput(Platform& platform) {
    if (platform.offscreen != nullptr) {
        std::string line;
        if (!platform.offscreen->console_lines.empty()) {
            line = std::move(platform.offscreen->console_lines.front());
            platform.offscreen->console_lines.pop_front();
        }
        // The same editing a terminal would have done to the typed keys.
        std::string kept;
        for (char c : line) {
            auto code = static_cast<unsigned char>(c);
            if (code == 8) {
                if (!kept.empty()) kept.pop_back();
            } else if (code >= 32 && code != 127 && kept.size() < kMaxConsoleLine) {
                kept += c;
            }
        }
        platform.offscreen->console += kept;
        platform.offscreen->console += '\n';  // the echo and the Enter
        return kept;
    }
    return ReadTerminalLine(platform);
}

void PauseForEnter(Platform& platform, std::string_view prompt) {
    ConsolePrintText(platform, prompt);
    ConsoleLineInput(platform);  // whatever was typed before Enter is not used
}

}  // namespace platform
