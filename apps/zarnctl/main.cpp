// zarnctl: structure files and the instrument from the command line.
#include "Command.h"
#include "TerminalInteraction.h"

#include <filesystem>
#include <iostream>
#include <optional>

namespace {

void printUsage(std::ostream& os) {
    os << "Usage: zarnctl [--program-dir DIR] COMMAND [ARGS...]\n"
          "       zarnctl --help | help [COMMAND]\n\n"
          "Options:\n"
          "  --program-dir DIR  folder with ZARN.INI and the language files (default: as\n"
          "                     zarn finds them: the folder of the executable, or\n"
          "                     ../share/zarn when installed)\n"
          "  -h, --help         this help; COMMAND --help shows the command's help\n\n"
          "Commands:\n";
    for (const auto& [name, info] : zarnctl::CommandRegistry::instance().all()) {
        const auto firstLine = info.summary.substr(0, info.summary.find('\n'));
        os << "  " << name << ' ' << info.synopsis << "\n      " << firstLine << '\n';
    }
}

void printCommandUsage(std::ostream& os, const zarnctl::CommandInfo& info) {
    os << "Usage: zarnctl [--program-dir DIR] " << info.name << ' ' << info.synopsis << "\n\n"
       << info.summary << '\n';
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::optional<std::string> programDir;
    std::vector<std::string> rest;
    bool help = false;

    // Global options may stand anywhere before "--"; the command sees everything else.
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!optionsEnded && a == "--program-dir") {
            if (i + 1 >= args.size()) {
                std::cerr << "zarnctl: option --program-dir needs a value\n";
                return 2;
            }
            programDir = args[++i];
        } else if (!optionsEnded && a.rfind("--program-dir=", 0) == 0) {
            programDir = a.substr(14);
        } else if (!optionsEnded && (a == "--help" || a == "-h")) {
            help = true;
        } else {
            if (a == "--")
                optionsEnded = true;
            rest.push_back(a);
        }
    }

    auto& registry = zarnctl::CommandRegistry::instance();
    if (rest.empty() || (rest[0] == "help" && rest.size() == 1)) {
        printUsage(help || !rest.empty() ? std::cout : std::cerr);
        return help || !rest.empty() ? 0 : 2;
    }
    std::string name = rest[0];
    if (name == "help") {
        name = rest[1];
        help = true;
    }
    const auto* command = registry.find(name);
    if (!command) {
        std::cerr << "zarnctl: unknown command \"" << name << "\" (see zarnctl --help)\n";
        return 2;
    }
    if (help) {
        printCommandUsage(std::cout, *command);
        return 0;
    }
    // The files are found as zarn finds them: an installed zarnctl reads ../share/zarn and
    // keeps its settings in $XDG_CONFIG_HOME/zarn when its own folder is not writable.
    const zarn::ProgramPaths paths =
        zarn::ProgramPaths::resolve(zarn::ProgramPaths::executableDir(), programDir);
    if (!std::filesystem::is_directory(paths.dataDir)) {
        std::cerr << "zarnctl: program directory " << paths.dataDir << " does not exist\n";
        return 2;
    }

    zarnctl::TerminalInteraction ui(std::cerr);
    zarnctl::Context ctx{paths, {rest.begin() + 1, rest.end()}, std::cout, std::cerr, ui};
    try {
        return command->run(ctx);
    } catch (const zarnctl::UsageError& e) {
        std::cerr << "zarnctl " << name << ": " << e.what() << '\n';
        std::cerr << "Usage: zarnctl " << name << ' ' << command->synopsis << '\n';
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "zarnctl " << name << ": " << e.what() << '\n';
        return 1;
    }
}
