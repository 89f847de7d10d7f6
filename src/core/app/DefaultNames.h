// Base names of automatically named nodes, per node kind.
//
// Kept in section DEFNAMES of ZARN.INI; a key that is missing or empty takes the language's
// text, so the names follow the language until the user sets one of his own.
#pragma once

#include "core/base/IniFile.h"
#include "core/lang/LStr.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zarn {

class DefaultNames {
public:
    struct Entry {
        uint8_t kind;
        std::string_view key;         // DEFNAMES key ("EATHING" is spelled so in every file)
        std::string_view languageKey; // text that a missing or empty key takes
    };
    // The ten DEFNAMES keys in file order.
    static const std::array<Entry, 10>& entries();

    // Reads the ten keys; kinds without a key (OBJECTIT, CIRCUIT, PARTICULAR) take their
    // language texts "OBJECTIT_20", "CIRCUIT_20", "PARTICULAR_20".
    void load(const PrivateProfile& settings, const TLStr& texts);
    // After a language change: writes the ten keys empty and reads them again, so that each
    // takes the text of the new language.
    void reset(const PrivateProfile& settings, const TLStr& texts);

    // The base name of a kind; empty for an unknown kind.
    const std::string& name(uint8_t kind) const;

private:
    std::array<std::string, 14> names_; // by kind code
};

} // namespace zarn
