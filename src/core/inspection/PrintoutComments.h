// The comments printed under a report: 200 free lines, 5 autotest lines and three switches
// ("0" off, anything else on): print comments, print autotest comments, number pages.
#pragma once

#include "core/base/IniFile.h"

#include <array>
#include <string>

namespace zarn {

class PrintoutComments {
public:
    static constexpr int LineCount = 200;
    static constexpr int AutotestLineCount = 5;
    static constexpr const char* DefaultSwitches = "101";

    // Lines are numbered from 1; numbers outside the range read as empty and are not stored.
    const std::string& line(int n) const;
    void setLine(int n, std::string text);
    const std::string& autotestLine(int n) const;
    void setAutotestLine(int n, std::string text);
    void clearLines();

    // The switches text; a text shorter than three characters is first set to "101".
    const std::string& switches();
    // The stored text as it is (for writing files and settings).
    const std::string& storedSwitches() const { return switches_; }
    void setSwitches(std::string s) { switches_ = std::move(s); }

    bool printComments() { return switches()[0] != '0'; }
    bool printAutotestComments() { return switches()[1] != '0'; }
    bool numberPages() { return switches()[2] != '0'; }

    // "COMMENTS": "comm1".."comm200", "scomm1".."scomm5", "checks" (default "101").
    void load(const PrivateProfile& settings);
    // Writes all 200 + 5 lines, even the empty ones, and the switches.
    void save(const PrivateProfile& settings) const;

    bool operator==(const PrintoutComments&) const = default;

private:
    std::array<std::string, LineCount> lines_;
    std::array<std::string, AutotestLineCount> autotest_;
    std::string switches_ = DefaultSwitches;
};

} // namespace zarn
