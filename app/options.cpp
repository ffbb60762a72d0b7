#include "app/options.h"

#include <cstddef>
#include <sstream>
#include <string_view>
#include <utility>

#ifndef GYROVESSEL_VERSION
#define GYROVESSEL_VERSION "unknown"
#endif

namespace app {

namespace {

struct OptionRow {
    std::string_view name;
    int argument_count;              // words that follow the option
    std::string_view argument_names; // as the help shows them, e.g. "NAME FILE"
    std::string_view summary;
    CommandAction action;
};

constexpr OptionRow kOptions[] = {
    {"--help", 0, "", "print this help and exit", CommandAction::PrintHelp},
    {"--version", 0, "", "print the version and exit", CommandAction::PrintVersion},
    {"--progress", 2, "NAME FILE", "write player NAME's progress page to FILE\n"
                                   "(PNG, SVG or PDF by its extension) and exit",
     CommandAction::WriteProgress},
    {"--csv", 1, "NAME", "write player NAME's records as CSV to standard\n"
                         "output and exit",
     CommandAction::WriteCsv},
};

const OptionRow* FindOption(std::string_view name) {
    for (const OptionRow& row : kOptions) {
        if (row.name == name) return &row;
    }
    return nullptr;
}

std::string UsageHint() {
    return "Try 'gyrovessel --help' for more information.\n";
}

CommandLine Refusal(const std::string& line) {
    CommandLine refused;
    refused.action = CommandAction::Refuse;
    refused.text = "gyrovessel: " + line + "\n" + UsageHint();
    refused.exit_status = kUsageErrorStatus;
    return refused;
}

}  // namespace

std::string HelpText() {
    std::ostringstream help;
    help << "Usage: gyrovessel [OPTION]\n"
            "A game that trains three-dimensional mental rotation: turn ROBO back\n"
            "to its rest pose beyond each wall of the drifting craft.\n"
            "\n"
            "Started without options it opens its window and plays. Player files\n"
            "(player-NAME.txt) are read from and written to the working directory.\n"
            "\n"
            "Options:\n";
    for (const OptionRow& row : kOptions) {
        std::string left = std::string(row.name);
        if (!row.argument_names.empty()) left += " " + std::string(row.argument_names);
        help << "  " << left;
        for (std::size_t column = left.size(); column < 22; ++column) help << ' ';
        help << ' ';
        // A summary's own line breaks continue under its first line.
        for (char c : row.summary) {
            help << c;
            if (c == '\n') help << std::string(25, ' ');
        }
        help << "\n";
    }
    help << "\n"
            "The keys and the menu numbers are in the manual page gyrovessel(6).\n";
    return help.str();
}

std::string VersionText() {
    return std::string("gyrovessel ") + GYROVESSEL_VERSION + "\n";
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    // A wrong argument anywhere refuses the whole line, so a mistyped option
    // next to --help is reported rather than hidden.
    CommandLine decided;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const OptionRow* row = FindOption(arguments[i]);
        if (row == nullptr) return Refusal("unknown option '" + arguments[i] + "'");
        const std::size_t count = static_cast<std::size_t>(row->argument_count);
        if (arguments.size() - (i + 1) < count) {
            return Refusal("option '" + arguments[i] + "' needs " + std::string(row->argument_names));
        }
        std::vector<std::string> values(arguments.begin() + static_cast<std::ptrdiff_t>(i + 1),
                                        arguments.begin() + static_cast<std::ptrdiff_t>(i + 1 + count));
        i += count;
        if (decided.action != CommandAction::Play) continue;  // the first option decides
        decided.action = row->action;
        decided.values = std::move(values);
    }
    switch (decided.action) {
        case CommandAction::PrintHelp: decided.text = HelpText(); break;
        case CommandAction::PrintVersion: decided.text = VersionText(); break;
        case CommandAction::Play:
        case CommandAction::WriteProgress:
        case CommandAction::WriteCsv:
        case CommandAction::Refuse: break;
    }
    return decided;
}

}  // namespace app
