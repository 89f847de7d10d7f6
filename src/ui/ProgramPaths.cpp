#include "ui/ProgramPaths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace zarn {

namespace {

std::string withSlash(std::string dir) {
    if (dir.empty())
        return "./";
    if (dir.back() != '/')
        dir += '/';
    return dir;
}

bool writableDir(const std::string& dir) {
    return ::access(dir.c_str(), W_OK | X_OK) == 0;
}

std::string configHome() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        return withSlash(xdg);
    if (const char* home = std::getenv("HOME"); home && *home)
        return withSlash(home) + ".config/";
    return "/tmp/";
}

} // namespace

ProgramPaths ProgramPaths::resolve(const std::string& exeDir,
                                   const std::optional<std::string>& programDir) {
    ProgramPaths p;
    if (programDir) {
        p.dataDir = withSlash(*programDir);
        p.settingsFile = p.dataDir + "ZARN.INI";
        return p;
    }
    const std::string exe = withSlash(exeDir);
    std::error_code ec;
    if (std::filesystem::exists(exe + "LNG_MAIN.INI", ec)) {
        p.dataDir = exe;
    } else {
        const std::filesystem::path shared =
            std::filesystem::path(exe + "../share/zarn").lexically_normal();
        p.dataDir = withSlash(shared.string());
    }
    if (writableDir(exe)) {
        p.settingsFile = exe + "ZARN.INI";
    } else {
        const std::string dir = configHome() + "zarn/";
        std::filesystem::create_directories(dir, ec);
        p.settingsFile = dir + "ZARN.INI";
    }
    return p;
}

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--program-dir") {
            if (i + 1 >= args.size()) {
                cl.error = "--program-dir needs a directory";
                return cl;
            }
            cl.programDir = args[++i];
        } else if (a.rfind("--program-dir=", 0) == 0) {
            cl.programDir = a.substr(14);
        } else if (a == "--exit-when-shown") {
            cl.exitWhenShown = true;
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            // Qt's own options (-platform, -style ...) are taken out before we get here.
            cl.error = "unknown option " + a;
            return cl;
        } else if (!cl.file) {
            cl.file = a;
        }
    }
    return cl;
}

} // namespace zarn
