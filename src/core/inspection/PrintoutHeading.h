// The printout heading: who tested (three operator lines or a logo picture), where (three
// test-site lines) and three footer lines. Kept in ZARN.INI and carried by structure files.
#pragma once

#include "core/base/IniFile.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zarn {

class PrintoutHeading {
public:
    // The ten texts, in the order structure files store them.
    enum Text : int { Op1, Op2, Op3, Footer, Footer2, Footer3, Site1, Site2, Site3, Logo };
    static constexpr int TextCount = 10;

    struct Key {
        std::string_view section;
        std::string_view key;
    };
    // Settings section and key of each text, in file order.
    static constexpr std::array<Key, TextCount> Keys = {{{"OPERATOR", "OP1"},
                                                         {"OPERATOR", "OP2"},
                                                         {"OPERATOR", "OP3"},
                                                         {"OPERATOR", "FOOTER"},
                                                         {"OPERATOR", "FOOTER2"},
                                                         {"OPERATOR", "FOOTER3"},
                                                         {"SITE", "site1"},
                                                         {"SITE", "site2"},
                                                         {"SITE", "site3"},
                                                         {"OPERATOR", "Logo"}}};
    // The texts older (version 10) structure files carry, in their order.
    static constexpr std::array<Text, 6> Version10Texts = {Op1, Op2, Footer, Site1, Site2, Logo};

    const std::string& text(Text t) const { return texts_[t]; }
    void setText(Text t, std::string value) { texts_[t] = std::move(value); }

    // 0: the operator lines are printed; 1: the logo picture is.
    int32_t logoMode() const { return logoMode_; }
    void setLogoMode(int32_t mode) { logoMode_ = mode; }

    // Reads every value ("LogoText" by its digits; no digits count as 0).
    void load(const PrivateProfile& settings);
    // Writes every value, the logo mode in decimal.
    void save(const PrivateProfile& settings) const;

    bool operator==(const PrintoutHeading&) const = default;

private:
    std::array<std::string, TextCount> texts_;
    int32_t logoMode_ = 0;
};

} // namespace zarn
