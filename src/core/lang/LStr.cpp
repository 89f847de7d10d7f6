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

size_t TLStr::capacityOf(std::string_view key) {
    for (std::string_view unitPrefix : {"GlavaE", "GlavaFE", "GlavaS1E", "GlavaS2E"}) {
        if (key.substr(0, unitPrefix.size()) == unitPrefix)
            return UnitCapacity;
    }
    return TextCapacity;
}

} // namespace zarn
