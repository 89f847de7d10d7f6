#include "core/grid/CellMarkup.h"

namespace zarn {

namespace {

struct Marker {
    char letter;
    unsigned char param;
};

// The marker starting at i, if there is one.
bool markerAt(const std::string& s, size_t i, Marker& m) {
    if (s[i] != MarkerByte || i + 2 >= s.size())
        return false;
    m = {s[i + 1], static_cast<unsigned char>(s[i + 2])};
    return true;
}

// Removes every marker of `letter` from s, calling apply(param) for each in order; markers of
// other letters are stepped over as a whole.
template <typename Apply>
void takeMarkers(std::string& s, char letter, Apply apply) {
    size_t i = 0;
    while (i < s.size()) {
        Marker m;
        if (!markerAt(s, i, m)) {
            ++i;
        } else if (m.letter == letter) {
            apply(m.param);
            s.erase(i, 3);
        } else {
            i += 3;
        }
    }
}

} // namespace

uint32_t rgbOf(LineColour colour) {
    switch (colour) {
    case LineColour::Red:
        return 0xFF0000;
    case LineColour::Blue:
        return 0x0000FF;
    case LineColour::Green:
        return 0x008000;
    default:
        return 0x000000;
    }
}

CellMarkup markupCell(std::string_view text, TSAlign alignment, const TCellData* data) {
    CellMarkup out;
    std::string s;
    s.reserve(text.size() + 1);
    for (char c : text)
        if (c != '\n')
            s += c;
    s += '\r';

    // Hidden text: the marker and the count of bytes after it go.
    {
        size_t i = 0;
        while (i < s.size()) {
            Marker m;
            if (!markerAt(s, i, m)) {
                ++i;
            } else if (m.letter == 'H') {
                s.erase(i, std::min(s.size() - i, size_t{3} + m.param));
            } else {
                i += 3;
            }
        }
    }
    unsigned char fontParam = 0;
    bool anyFont = false;
    takeMarkers(s, 'F', [&](unsigned char p) {
        fontParam = p;
        anyFont = true;
    });
    if (anyFont && fontParam >= 1 && fontParam <= 3)
        out.fontSlot = fontParam;
    takeMarkers(s, 'N', [](unsigned char) {});
    takeMarkers(s, 'B', [&](unsigned char) { out.bold = true; });
    out.cellFont = data && data->font.has_value();

    size_t start = 0;
    size_t lineIndex = 0;
    for (size_t cr = s.find('\r'); cr != std::string::npos; cr = s.find('\r', start)) {
        MarkupLine line;
        line.text = s.substr(start, cr - start);
        start = cr + 1;
        line.alignment = alignment;
        takeMarkers(line.text, 'A', [&](unsigned char p) {
            if (p == 'L')
                line.alignment = TSAlign::alsLeft;
            else if (p == 'R')
                line.alignment = TSAlign::alsRight;
            else if (p == 'C')
                line.alignment = TSAlign::alsCenter;
        });
        takeMarkers(line.text, 'C', [&](unsigned char p) {
            if (p >= 1 && p <= 4)
                line.colour = static_cast<LineColour>(p); // Red, Blue, Green, Black in order
        });
        if (data && lineIndex < data->lineAlignments.size()) {
            switch (data->lineAlignments[lineIndex]) {
            case 'L':
                line.alignment = TSAlign::alsLeft;
                break;
            case 'R':
                line.alignment = TSAlign::alsRight;
                break;
            case 'C':
                line.alignment = TSAlign::alsCenter;
                break;
            default:
                break;
            }
        }
        if (out.cellFont)
            line.colour = LineColour::CellFont;
        if (line.text.find('!') != std::string::npos)
            line.colour = LineColour::Red;
        out.lines.push_back(std::move(line));
        ++lineIndex;
    }
    return out;
}

} // namespace zarn
