#include "core/session/ProgramPaths.h"

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

std::string ProgramPaths::executableDir() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return "./";
    return withSlash(exe.parent_path().string());
}

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
    // Portable: the data beside the executable. Installed: in ../share/zarn, and then the
    // executable's folder is no place for settings even when it is writable (/usr/bin to
    // root, a prefix the user owns).
    const bool portable = std::filesystem::exists(exe + "LNG_MAIN.INI", ec);
    if (portable) {
        p.dataDir = exe;
    } else {
        const std::filesystem::path shared =
            std::filesystem::path(exe + "../share/zarn").lexically_normal();
        p.dataDir = withSlash(shared.string());
    }
    const bool exeWritable = writableDir(exe);
    if (portable && exeWritable) {
        p.settingsFile = exe + "ZARN.INI";
    } else {
        const std::string dir = configHome() + "zarn/";
        std::filesystem::create_directories(dir, ec);
        p.settingsFile = dir + "ZARN.INI";
        // Earlier versions kept an installed program's settings beside the executable when
        // they could write there: whoever could still can, and takes them along once.
        if (!portable && exeWritable && !std::filesystem::exists(p.settingsFile, ec))
            std::filesystem::copy_file(exe + "ZARN.INI", p.settingsFile, ec);
    }
    return p;
}

} // namespace zarn
