// Names of the instrument's measuring functions, quantities and units, by three-digit code.
//
// Loaded from section NAMEF of the language file, whose lines are:
//   enotaNNN=unit   funkcijaNNN=function   velicinaNNN=quantity   textNNN=text_with_underscores
// Result rows refer to these tables by code (function code in the function cell, quantity
// and unit codes at the start of each value entry).
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

class NamefTables {
public:
    static constexpr int UnitCount = 999;     // indexes 0..998
    static constexpr int FunctionCount = 999; // 0..998
    static constexpr int QuantityCount = 999; // 0..998
    static constexpr int TextCount = 1000;    // 0..999
    static constexpr size_t UnitLength = 25;
    static constexpr size_t FunctionLength = 35;
    static constexpr size_t QuantityLength = 15;
    static constexpr size_t TextLength = 30;

    // Clears all four tables and fills them from the section's "key=value" lines.
    // Lines with another key and indexes outside a table are ignored.
    void load(const std::vector<std::string>& entries);
    void clear();

    // The name at the index; empty outside the table or when not loaded.
    const std::string& unit(int index) const;
    const std::string& function(int index) const;
    const std::string& quantity(int index) const;
    const std::string& text(int index) const;

private:
    std::vector<std::string> units_ = std::vector<std::string>(UnitCount);
    std::vector<std::string> functions_ = std::vector<std::string>(FunctionCount);
    std::vector<std::string> quantities_ = std::vector<std::string>(QuantityCount);
    std::vector<std::string> texts_ = std::vector<std::string>(TextCount);
};

} // namespace zarn
