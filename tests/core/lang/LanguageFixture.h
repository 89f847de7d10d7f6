// A program directory in a fresh temporary folder, with a language index and language files
// built from the program's own key lists.
#pragma once

#include "core/base/IniFile.h"
#include "core/lang/LStr.h"
#include "core/lang/Language.h"
#include "core/lang/LanguageKeys.h"
#include "core/lang/NamefTables.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace zarn::testing {

class ProgramDir {
public:
    std::string path() const { return dir_.path().string() + "/"; }

    void write(const std::string& name, const std::string& bytes) const { dir_.write(name, bytes); }
    std::string setting(std::string_view section, std::string_view key) const {
        return PrivateProfile(path() + "ZARN.INI").read(section, key, "<none>");
    }

private:
    test::TempDir dir_{"zarn-lang"};
};

struct LanguageSpec {
    std::string key;
    std::string dispName;
    std::string file;
    std::string lcid;
};

inline std::string indexFile(const std::vector<LanguageSpec>& languages) {
    std::string out = "[Languages]\r\n";
    for (const auto& l : languages)
        out += l.key + "=\r\n";
    for (const auto& l : languages) {
        out += "[" + l.key + "]\r\n";
        if (!l.dispName.empty())
            out += "DispName=" + l.dispName + "\r\n";
        if (!l.file.empty())
            out += "File=" + l.file + "\r\n";
        if (!l.lcid.empty())
            out += "lcid=" + l.lcid + "\r\n";
    }
    return out;
}

// A complete language file: every required key with the value `tag` + key, unless
// `overrides` gives another value (an empty override leaves the key out).
inline std::string languageFile(const std::string& tag,
                                const std::map<std::string, std::string>& overrides = {},
                                const std::string& namef = "funkcija1=Continuity\r\n"
                                                           "velicina1=R\r\nenota1=Ohm\r\n") {
    std::string out = "[LANGUAGE]\r\n";
    auto valueOf = [&](const std::string& key) {
        const auto it = overrides.find(key);
        return it == overrides.end() ? tag + key : it->second;
    };
    for (const auto& key : requiredLanguageKeys()) {
        const std::string value = valueOf(key);
        if (!value.empty())
            out += key + "=" + value + "\r\n";
    }
    out += "[PROTOCOL]\r\n";
    for (const auto& key : protocolTextKeys())
        out += key + "=" + tag + key + "\r\n";
    out += "[NAMEF]\r\n" + namef;
    return out;
}

// The language object with its text table, NAMEF tables and scripted user.
struct LanguageRig {
    explicit LanguageRig(const ProgramDir& dir) : language(dir.path(), texts, namef, ui) {}
    std::vector<std::string> messages() const { return ui.fatalErrors; }

    TLStr texts;
    NamefTables namef;
    ScriptedInteraction ui;
    TLanguage language;
};

} // namespace zarn::testing
