// Cell markers: in-band formatting inside grid cell texts.
//
// A marker is three bytes: 0xFF, a command letter and one parameter byte. It is recognised
// only where at least two bytes follow the 0xFF. Lines of a cell are separated by CR; LF is
// ignored everywhere.
//
//   H n   whole cell  the marker and the n bytes after it are hidden
//   F s   whole cell  auxiliary font s (1..3) of the grid; the last one wins
//   N x   whole cell  removed, no effect
//   B x   whole cell  bold
//   A a   line        'L', 'R' or 'C' alignment; the last one in the line wins
//   C c   line        colour 1 red, 2 blue, 3 green, 4 black; the last one in the line wins
//
// Markers with another letter are shown as they stand. A line containing "!" is red whatever
// its markers say. The results view, the protocol tables and the printed report all lay out
// cells through markupCell(), so they agree on every byte.
#pragma once

#include "core/grid/CellData.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

inline constexpr char MarkerByte = '\xFF';

// The colour of a drawn line.
enum class LineColour : uint8_t {
    Default,  // the grid's text colour (the highlight text colour in a selected cell)
    Red,      // 255, 0, 0
    Blue,     // 0, 0, 255
    Green,    // 0, 128, 0
    Black,    // 0, 0, 0
    CellFont, // the colour of the cell object's font
};

// RGB of a fixed colour (0xRRGGBB); Default and CellFont have none and give 0.
uint32_t rgbOf(LineColour colour);

struct MarkupLine {
    std::string text;
    TSAlign alignment = TSAlign::alsLeft;
    LineColour colour = LineColour::Default;
    friend bool operator==(const MarkupLine&, const MarkupLine&) = default;
};

struct CellMarkup {
    std::vector<MarkupLine> lines;
    bool bold = false;
    // Auxiliary font chosen by the last F marker (1..3), 0 for none. The slot may be empty, in
    // which case the font does not change.
    int fontSlot = 0;
    // The cell object has a font: every line is drawn in a copy of it (name, size, style and
    // colour), which overrides bold.
    bool cellFont = false;
};

// Lays out a cell text: `alignment` is the column's alignment for the cell's row (fixed-row or
// data-row), `data` the cell's object, if any.
CellMarkup markupCell(std::string_view text, TSAlign alignment, const TCellData* data = nullptr);

} // namespace zarn
