#include "core/comm/Identification.h"

#include "core/base/TextRoutines.h"

#include <cstdint>

namespace zarn {

namespace {

std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    size_t start = 0;
    while (true) {
        const size_t cr = text.find(text::CR, start);
        if (cr == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            return lines;
        }
        lines.emplace_back(text.substr(start, cr - start));
        start = cr + 1;
    }
}

} // namespace

Identification decodeIdentification(std::string_view payload) {
    Identification id;
    if (payload.size() >= 2) {
        int type = static_cast<uint8_t>(payload[0]) + 256 * static_cast<uint8_t>(payload[1]);
        if (type >= 100 && type <= 199)
            type -= 100;
        id.familyCode = type & 0xFF;
    }
    size_t p = 2;
    for (auto& s : id.strings) {
        if (p >= payload.size())
            break;
        while (p < payload.size() && payload[p] != '\0') {
            if (payload[p] != '\n')
                s += payload[p];
            ++p;
        }
        ++p; // the zero byte (or one past the end, which ends the loop above)
    }
    return id;
}

void applyFixedTexts(Identification& id) {
    id.strings[0] = InstrumentNameText;
    id.strings[1] = InstrumentCodeText;
    id.strings[4] = FirmText;
    for (size_t i = 7; i < 10; ++i)
        if (id.strings[i].size() > FurtherLineCapacity)
            id.strings[i].resize(FurtherLineCapacity);
}

std::string replaceControlBytes(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto b = static_cast<uint8_t>(c);
        if ((b < 32 || b > 127) && c != text::CR)
            c = ' ';
    }
    return out;
}

IdentificationRow identificationRowOf(const Identification& id) {
    const auto& s = id.strings;
    IdentificationRow row;
    for (size_t i : {0, 1, 2, 3, 6, 7, 8, 9}) {
        if (i != 0)
            row.instrument += text::CR;
        row.instrument += s[i];
    }
    row.firm = replaceControlBytes(s[4]);
    row.user = replaceControlBytes(s[5]);
    return row;
}

InstrumentDataText instrumentDataOf(const Identification& id) {
    const auto& s = id.strings;
    InstrumentDataText data;
    for (size_t i : {0, 1, 2, 6, 7, 8, 9})
        data.instrumentLines.push_back(s[i]);
    data.serialNumber = s[3];
    data.firmLines = linesOf(replaceControlBytes(s[4]));
    data.userLines = linesOf(replaceControlBytes(s[5]));
    return data;
}

InstrumentDataText instrumentDataOf(const IdentificationRow& row) {
    InstrumentDataText data;
    for (int f : {1, 2, 3, 5})
        data.instrumentLines.push_back(text::field(row.instrument, f));
    data.serialNumber = text::field(row.instrument, 4);
    data.firmLines = linesOf(row.firm);
    data.userLines = linesOf(row.user);
    return data;
}

} // namespace zarn
