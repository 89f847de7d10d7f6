#include "core/lang/NamefTables.h"

#include "core/base/TextRoutines.h"
#include "core/lang/TextCapacity.h"

namespace zarn {

namespace {

const std::string& at(const std::vector<std::string>& table, int index) {
    static const std::string empty;
    if (index < 0 || static_cast<size_t>(index) >= table.size())
        return empty;
    return table[static_cast<size_t>(index)];
}

} // namespace

void NamefTables::clear() {
    for (auto* table : {&units_, &functions_, &quantities_, &texts_}) {
        for (auto& entry : *table)
            entry.clear();
    }
}

void NamefTables::load(const std::vector<std::string>& entries) {
    clear();
    struct Kind {
        std::string_view prefix;
        std::vector<std::string>* table;
        size_t length;
    };
    const Kind kinds[] = {{"enota", &units_, UnitLength},
                          {"funkcija", &functions_, FunctionLength},
                          {"velicina", &quantities_, QuantityLength},
                          {"text", &texts_, TextLength}};
    for (const auto& line : entries) {
        const auto split = text::splitAt(line, '=');
        for (const auto& kind : kinds) {
            if (split.before.compare(0, kind.prefix.size(), kind.prefix) != 0)
                continue;
            const int index = text::digitsToInt(split.before.substr(kind.prefix.size()));
            if (static_cast<size_t>(index) < kind.table->size()) {
                std::string value = split.after;
                if (kind.table == &texts_)
                    value = text::replaceChar(value, '_', ' ');
                (*kind.table)[static_cast<size_t>(index)] = cutToCapacity(value, kind.length);
            }
            break;
        }
    }
}

const std::string& NamefTables::unit(int index) const {
    return at(units_, index);
}
const std::string& NamefTables::function(int index) const {
    return at(functions_, index);
}
const std::string& NamefTables::quantity(int index) const {
    return at(quantities_, index);
}
const std::string& NamefTables::text(int index) const {
    return at(texts_, index);
}

} // namespace zarn
