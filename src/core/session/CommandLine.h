// The command line of zarn, read before the window system starts.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zarn {

struct CommandLine {
    std::optional<std::string> programDir;
    std::optional<std::string> file; // structure file to open at start
    bool simulator = false;          // a simulated instrument on COM1 for this run
    bool exitWhenShown = false;      // leave as soon as the window is on screen (timing runs)
    bool help = false;
    bool version = false;
    std::string error; // non-empty when the arguments make no sense
};

// Reads `zarn [FILE] [--program-dir DIR] [--simulator] [--exit-when-shown]`, `--help` and
// `--version` (arguments without argv[0]). It runs before the GUI starts, so Qt's own
// options (-platform NAME, -style NAME, -reverse ...) are passed over for Qt to take.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// What `zarn --help` prints.
extern const char* const CommandLineUsage;

} // namespace zarn
