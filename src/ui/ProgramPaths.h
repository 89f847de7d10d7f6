// Where the program finds its files.
//
// The program directory holds ZARN.INI, LNG_MAIN.INI, the language files and the help. By
// default it is the executable's directory; an installed program whose directory lacks
// LNG_MAIN.INI takes its data from ../share/zarn/, and when the executable's directory is
// not writable the settings live in $XDG_CONFIG_HOME/zarn/. `--program-dir DIR` puts
// everything in DIR (tests and portable installs).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zarn {

struct ProgramPaths {
    std::string dataDir;      // with trailing '/': language files, help, images
    std::string settingsFile; // full path of ZARN.INI

    // Paths for an executable in exeDir, or everything in programDir when given.
    static ProgramPaths resolve(const std::string& exeDir,
                                const std::optional<std::string>& programDir);
    // A file of the data directory.
    std::string dataFile(const std::string& name) const { return dataDir + name; }
};

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
