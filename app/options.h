#pragma once
// The command line. The game takes its settings from the main menu, never from
// the command line; options only answer questions (help, version, a player's
// progress) and end the program without opening a window, so they work with no
// display.
// Every option is one row of the table in options.cpp; ParseCommandLine is a
// pure function of the arguments, and main() prints what it returns.

#include <string>
#include <vector>

namespace app {

enum class CommandAction {
    Play,           // no options: the game as always
    PrintHelp,      // text on standard output, status 0
    PrintVersion,   // text on standard output, status 0
    WriteProgress,  // values: player name, picture file
    WriteCsv,       // values: player name
    Refuse,         // text on standard error, status 2
};

struct CommandLine {
    CommandAction action = CommandAction::Play;
    std::string text;                 // what to print for every action but Play
    int exit_status = 0;              // the program's status for every action but Play
    std::vector<std::string> values;  // the arguments of the deciding option, in order
};

constexpr int kUsageErrorStatus = 2;

// The arguments without the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);
std::string HelpText();
std::string VersionText();

}  // namespace app
