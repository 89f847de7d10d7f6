// Several settings written with one rewrite of ZARN.INI: the dialogs and the protocol
// teardown write dozens of keys at once, and each single write would rewrite and sync the file.
// The outcome equals writing the keys one by one in order; a failure is ignored.
#pragma once

#include "core/base/IniFile.h"

#include <string_view>

namespace zarn {

class SettingsBatch {
public:
    explicit SettingsBatch(const PrivateProfile& settings);
    void write(std::string_view section, std::string_view key, std::string_view value);
    void commit();

private:
    const PrivateProfile& settings_;
    IniDocument doc_;
    bool changed_ = false;
};

} // namespace zarn
