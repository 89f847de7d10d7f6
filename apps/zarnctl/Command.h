// The command registry of zarnctl.
//
// A command is one source file that defines a function taking a Context and registers it at
// namespace scope:
//
//   static int runShow(zarnctl::Context& ctx) { ... }
//   static const zarnctl::RegisterCommand reg{{"show", "FILE [--json]", "Prints a structure
//       file.", runShow}};
//
// The function returns the exit status; it throws UsageError for wrong arguments (exit 2,
// with the command's usage) and CommandError for a failure (exit 1, with the message).
#pragma once

#include "core/base/UserInteraction.h"
#include "core/session/ProgramPaths.h"

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace zarnctl {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Context {
    zarn::ProgramPaths paths;      // data directory and ZARN.INI
    std::vector<std::string> args; // the arguments after the command name
    std::ostream& out;
    std::ostream& err;
    zarn::UserInteraction& ui;
};

struct CommandInfo {
    std::string name;
    std::string synopsis; // arguments, e.g. "FILE [--json]"
    std::string summary;  // one line; further lines may follow after '\n'
    std::function<int(Context&)> run;
};

class CommandRegistry {
public:
    static CommandRegistry& instance();
    void add(CommandInfo info);
    const CommandInfo* find(const std::string& name) const;
    // By name.
    const std::map<std::string, CommandInfo>& all() const { return commands_; }

private:
    std::map<std::string, CommandInfo> commands_;
};

struct RegisterCommand {
    explicit RegisterCommand(CommandInfo info) { CommandRegistry::instance().add(std::move(info)); }
};

// Arguments split into options and positional arguments.
struct ParsedArgs {
    std::vector<std::string> positional;
    std::set<std::string> flags;               // options without value that were given
    std::map<std::string, std::string> values; // options with a value
    bool has(const std::string& flag) const { return flags.count(flag) != 0; }
    std::optional<std::string> value(const std::string& option) const;
};

// Parses `args`: options named in `flags` take no value, those in `valued` take the next
// argument ("--opt VALUE" or "--opt=VALUE"); "--" ends the options. Any other argument
// starting with '-' is a UsageError.
ParsedArgs parseArgs(const std::vector<std::string>& args, const std::set<std::string>& flags,
                     const std::set<std::string>& valued);

// The value of a numeric option, read strictly (digits only, within min..max); anything else
// is a UsageError naming the option and the range.
int numberOption(std::string_view option, std::string_view text, int min, int max);

} // namespace zarnctl
