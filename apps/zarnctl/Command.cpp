#include "Command.h"

#include "core/app/NumberArgument.h"

namespace zarnctl {

CommandRegistry& CommandRegistry::instance() {
    static CommandRegistry registry;
    return registry;
}

void CommandRegistry::add(CommandInfo info) {
    auto name = info.name;
    commands_[name] = std::move(info);
}

const CommandInfo* CommandRegistry::find(const std::string& name) const {
    auto it = commands_.find(name);
    return it == commands_.end() ? nullptr : &it->second;
}

std::optional<std::string> ParsedArgs::value(const std::string& option) const {
    auto it = values.find(option);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

ParsedArgs parseArgs(const std::vector<std::string>& args, const std::set<std::string>& flags,
                     const std::set<std::string>& valued) {
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            parsed.positional.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        const auto eq = a.find('=');
        const std::string name = a.substr(0, eq);
        if (valued.count(name)) {
            if (eq != std::string::npos) {
                parsed.values[name] = a.substr(eq + 1);
            } else if (i + 1 < args.size()) {
                parsed.values[name] = args[++i];
            } else {
                throw UsageError("option " + name + " needs a value");
            }
        } else if (flags.count(a)) {
            parsed.flags.insert(a);
        } else {
            throw UsageError("unknown option " + a);
        }
    }
    return parsed;
}

int numberOption(std::string_view option, std::string_view text, int min, int max) {
    try {
        return zarn::parseNumberArgument(option, text, min, max);
    } catch (const zarn::NumberArgumentError& e) {
        throw UsageError(e.what());
    }
}

} // namespace zarnctl
