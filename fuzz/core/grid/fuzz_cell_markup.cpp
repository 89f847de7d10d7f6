// Cell texts come from structure files and the instrument: any bytes must lay out, copy and
// format as value cells safely.
// Byte 0 picks the column alignment and whether the cell carries an object; when it does, the
// text up to the first 0x00 gives the object's line alignments.
#include "core/app/ResultsView.h"
#include "core/base/TextRoutines.h"
#include "core/grid/CellMarkup.h"
#include "core/grid/Odlozisce.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    zarn::TCellData object;
    const zarn::TCellData* cellObject = nullptr;
    if (mode & 4) {
        const size_t zero = text.find('\0');
        object.setLineAlignments(text.substr(0, zero));
        text = zero == std::string_view::npos ? std::string_view{} : text.substr(zero + 1);
        if (mode & 8)
            object.font = zarn::FontSpec{};
        cellObject = &object;
    }
    const auto alignment = static_cast<zarn::TSAlign>(mode % 3);
    const zarn::CellMarkup m = zarn::markupCell(text, alignment, cellObject);

    size_t lineEnds = 1;
    for (char c : text)
        lineEnds += c == '\r' ? 1 : 0;
    if (m.lines.size() > lineEnds || m.fontSlot < 0 || m.fontSlot > 3)
        std::abort();
    size_t total = 0;
    for (const auto& line : m.lines) {
        if (line.text.find_first_of("\r\n") != std::string::npos)
            std::abort();
        if (line.text.find('!') != std::string::npos && line.colour != zarn::LineColour::Red)
            std::abort();
        total += line.text.size();
    }
    if (total > text.size())
        std::abort();

    // The same bytes as a 2 x 2 selection on the clipboard.
    zarn::TOdlozisce buffer;
    const std::string cell(text);
    zarn::copySelection(buffer, 0, 0, 1, 1, [&](int, int) { return cell; });
    if (buffer.size() > zarn::TOdlozisce::FillLimit + 2)
        std::abort();

    // Value cells of a structure file go through the view's formatting.
    static const zarn::NamefTables namef = [] {
        zarn::NamefTables n;
        n.load({"velicina001=R", "velicina002=Uc:", "velicina000=:", "enota005=MOhm"});
        return n;
    }();
    const std::string formatted = zarn::formatValueCell(text, namef);
    if (zarn::text::countFields(formatted) != zarn::text::countFields(text))
        std::abort();
    return 0;
}
