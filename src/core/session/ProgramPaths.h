// Where zarn and zarnctl find their files.
//
// The program directory holds ZARN.INI, LNG_MAIN.INI, the language files and the help. By
// default it is the executable's directory (portable). An installed program, whose directory
// lacks LNG_MAIN.INI, takes its data from ../share/zarn/ and keeps its settings in
// $XDG_CONFIG_HOME/zarn/ (~/.config/zarn/), as does a portable one whose directory is not
// writable. `--program-dir DIR` puts everything in DIR (tests and portable installs).
#pragma once

#include <optional>
#include <string>

namespace zarn {

struct ProgramPaths {
    std::string dataDir;      // with trailing '/': language files, help, images
    std::string settingsFile; // full path of ZARN.INI

    // Paths for an executable in exeDir, or everything in programDir when given.
    static ProgramPaths resolve(const std::string& exeDir,
                                const std::optional<std::string>& programDir);
    // The directory of the running executable, with trailing '/' ("./" when unknown).
    static std::string executableDir();
    // A file of the data directory.
    std::string dataFile(const std::string& name) const { return dataDir + name; }
};

} // namespace zarn
