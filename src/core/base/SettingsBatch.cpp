#include "core/base/SettingsBatch.h"

namespace zarn {

SettingsBatch::SettingsBatch(const PrivateProfile& settings)
    : settings_(settings), doc_(IniDocument::load(settings.path()).value_or(IniDocument{})) {}

void SettingsBatch::write(std::string_view section, std::string_view key, std::string_view value) {
    doc_.write(section, key, value);
    changed_ = true;
}

void SettingsBatch::commit() {
    if (changed_)
        (void)doc_.save(settings_.path());
    changed_ = false;
}

} // namespace zarn
