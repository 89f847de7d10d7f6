// The protocol's label captions, taken from section "PROTOCOL" of the language file.
// Every key must be there with a value: the program cannot go on without them.
#pragma once

#include "core/base/IniFile.h"
#include "core/inspection/ProtocolPages.h"

#include <optional>
#include <string>

namespace zarn {

class TProtocol;

// Template captions of the four form pages.
struct ProtocolTemplateTexts {
    LabelCaptions object;
    LabelCaptions block;
    LabelCaptions lightningRod;
    LabelCaptions floorPlan;
};

class TProtLanguage {
public:
    struct Result {
        bool ok = true;
        std::string missingKey; // the first key missing or empty
        // "Error in LANGUAGES\r" followed by the key.
        std::string message() const { return "Error in LANGUAGES\r" + missingKey; }
    };

    // Reads the captions; on the first missing or empty key nothing is applied and the key is
    // reported. Pages created afterwards copy the new captions, existing pages keep theirs.
    static Result ApplyProtocolTexts(const IniDocument& languageFile, TProtocol& protocol);
    // The captions alone (the same rules).
    static Result readTexts(const IniDocument& languageFile, ProtocolTemplateTexts& texts);
};

} // namespace zarn
