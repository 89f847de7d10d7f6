#include "core/app/DefaultNames.h"

#include "core/app/InstallationTree.h"

namespace zarn {

const std::array<DefaultNames::Entry, 10>& DefaultNames::entries() {
    static const std::array<Entry, 10> table{{
        {kind::Object, "OBJECT", "Object_20"},
        {kind::Block, "BLOCK", "BLOCK_20"},
        {kind::Strelovod, "LIGHTROD", "STRELOVOD_20"},
        {kind::Gip, "MPE", "GIP_20"},
        {kind::Fuse, "FUSE", "FUSE_20"},
        {kind::Rcd, "RCD", "RCD_20"},
        {kind::Steber, "ELECTRODE", "STEBER_20"},
        {kind::Povezava1, "CONNECTION1", "POVEZAVA_20"},
        {kind::Povezava2, "CONNECTION2", "POVEZAVA_20"},
        {kind::Ozemljitev, "EATHING", "OZEMLJITEV_20"},
    }};
    return table;
}

void DefaultNames::load(const PrivateProfile& settings, const TLStr& texts) {
    for (auto& n : names_)
        n.clear();
    for (const Entry& e : entries()) {
        const std::string& fallback = texts.text(e.languageKey);
        std::string value = settings.read("DEFNAMES", e.key, fallback);
        names_[e.kind] = value.empty() ? fallback : std::move(value);
    }
    names_[kind::ObjectIt] = texts.text("OBJECTIT_20");
    names_[kind::Circuit] = texts.text("CIRCUIT_20");
    names_[kind::Particular] = texts.text("PARTICULAR_20");
}

void DefaultNames::reset(const PrivateProfile& settings, const TLStr& texts) {
    for (const Entry& e : entries())
        settings.write("DEFNAMES", e.key, "");
    load(settings, texts);
}

const std::string& DefaultNames::name(uint8_t k) const {
    static const std::string empty;
    return k < names_.size() ? names_[k] : empty;
}

} // namespace zarn
