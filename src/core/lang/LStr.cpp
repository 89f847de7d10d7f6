#include "core/lang/LStr.h"

#include "core/lang/TextCapacity.h"

namespace zarn {

const std::string& TLStr::text(std::string_view key) const {
    static const std::string empty;
    const auto it = texts_.find(key);
    return it == texts_.end() ? empty : it->second;
}

void TLStr::set(std::string_view key, std::string_view value) {
    texts_[std::string(key)] = cutToCapacity(value, capacityOf(key));
}

void TLStr::clear() {
    texts_.clear();
    defaultFileName_.clear();
    for (auto& c : buttonCaptions_)
        c.clear();
    for (auto& t : dialogTitles_)
        t.clear();
}

void TLStr::setDefaultFileName(std::string_view name) {
    defaultFileName_ = cutToCapacity(name, TextCapacity);
}

const std::string& TLStr::buttonCaption(size_t index) const {
    static const std::string empty;
    return index < buttonCaptions_.size() ? buttonCaptions_[index] : empty;
}

void TLStr::setButtonCaption(size_t index, std::string_view caption) {
    if (index < buttonCaptions_.size())
        buttonCaptions_[index] = cutToCapacity(caption, TextCapacity);
}

const std::string& TLStr::dialogTitle(size_t index) const {
    static const std::string empty;
    return index < dialogTitles_.size() ? dialogTitles_[index] : empty;
}

void TLStr::setDialogTitle(size_t index, std::string_view title) {
    if (index < dialogTitles_.size())
        dialogTitles_[index] = cutToCapacity(title, TextCapacity);
}

size_t TLStr::capacityOf(std::string_view key) {
    for (std::string_view unitPrefix : {"GlavaE", "GlavaFE", "GlavaS1E", "GlavaS2E"}) {
        if (key.substr(0, unitPrefix.size()) == unitPrefix)
            return UnitCapacity;
    }
    return TextCapacity;
}

} // namespace zarn
