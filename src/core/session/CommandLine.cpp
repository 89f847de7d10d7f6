#include "core/session/CommandLine.h"

#include <string_view>

namespace zarn {

const char* const CommandLineUsage =
    "Usage: zarn [FILE] [--program-dir DIR] [--simulator]\n"
    "       zarn --help | --version\n\n"
    "The desktop companion of the installation testers.\n"
    "  FILE               a structure file (*.zrn) to open at start\n"
    "  --program-dir DIR  ZARN.INI, the language files and the help from DIR\n"
    "  --simulator        a simulated instrument on COM1 for this run\n"
    "  -h, --help         this help\n"
    "  --version          the program's version\n"
    "Qt's own options (-platform NAME, -style NAME ...) are passed on to Qt.\n";

namespace {

// Qt's command-line options, with one dash or two: those that take a value (as the next
// argument or after "=") and those that stand alone.
constexpr std::string_view QtValueOptions[] = {"platform",
                                               "platformpluginpath",
                                               "platformtheme",
                                               "plugin",
                                               "qwindowgeometry",
                                               "qwindowicon",
                                               "qwindowtitle",
                                               "session",
                                               "display",
                                               "geometry",
                                               "title",
                                               "name",
                                               "icon",
                                               "style",
                                               "stylesheet",
                                               "qmljsdebugger",
                                               "visual"};
constexpr std::string_view QtFlagOptions[] = {"reverse", "widgetcount", "nograb",
                                              "dograb",  "sync",        "testability"};

enum class QtOption { None, Flag, WithValue, WithValueAttached };

QtOption qtOption(std::string_view arg) {
    if (arg.size() < 2 || arg[0] != '-')
        return QtOption::None;
    arg.remove_prefix(arg.size() > 2 && arg[1] == '-' ? 2 : 1);
    const size_t eq = arg.find('=');
    const std::string_view name = arg.substr(0, eq);
    for (std::string_view o : QtValueOptions)
        if (name == o)
            return eq == std::string_view::npos ? QtOption::WithValue : QtOption::WithValueAttached;
    for (std::string_view o : QtFlagOptions)
        if (name == o && eq == std::string_view::npos)
            return QtOption::Flag;
    return QtOption::None;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            cl.help = true;
        } else if (a == "--version") {
            cl.version = true;
        } else if (a == "--program-dir") {
            if (i + 1 >= args.size()) {
                cl.error = "--program-dir needs a directory";
                return cl;
            }
            cl.programDir = args[++i];
        } else if (a.rfind("--program-dir=", 0) == 0) {
            cl.programDir = a.substr(14);
        } else if (a == "--simulator") {
            cl.simulator = true;
        } else if (a == "--exit-when-shown") {
            cl.exitWhenShown = true;
        } else if (const QtOption q = qtOption(a); q != QtOption::None) {
            if (q == QtOption::WithValue)
                ++i; // Qt takes the value
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            cl.error = "unknown option " + a;
            return cl;
        } else if (!cl.file) {
            cl.file = a;
        }
    }
    return cl;
}

} // namespace zarn
