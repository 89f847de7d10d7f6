#include "core/grid/CellMarkup.h"

#include <gtest/gtest.h>

using namespace zarn;

namespace {

struct MarkupCase {
    const char* title;
    std::string cell;
    std::vector<MarkupLine> lines;
    bool bold = false;
    int fontSlot = 0;
};

constexpr auto L = TSAlign::alsLeft;
constexpr auto R = TSAlign::alsRight;
constexpr auto C = TSAlign::alsCenter;
constexpr auto Def = LineColour::Default;

} // namespace

class CellMarkupCases : public testing::TestWithParam<MarkupCase> {};

TEST_P(CellMarkupCases, Lines) {
    const auto& c = GetParam();
    const CellMarkup m = markupCell(c.cell, L);
    EXPECT_EQ(m.lines, c.lines);
    EXPECT_EQ(m.bold, c.bold);
    EXPECT_EQ(m.fontSlot, c.fontSlot);
    EXPECT_FALSE(m.cellFont);
}

INSTANTIATE_TEST_SUITE_P(
    Markers, CellMarkupCases,
    testing::Values(
        MarkupCase{"Plain", "abc", {{"abc", L, Def}}}, MarkupCase{"Empty", "", {{"", L, Def}}},
        MarkupCase{"RedFail", "\377C\001Fail", {{"Fail", L, LineColour::Red}}},
        MarkupCase{"GreenPass", "\377C\003Pass*", {{"Pass*", L, LineColour::Green}}},
        MarkupCase{"ExclamationBeatsGreen", "\377C\003ok!", {{"ok!", L, LineColour::Red}}},
        MarkupCase{"LastColourWins", "\377C\002a\377C\004", {{"a", L, LineColour::Black}}},
        MarkupCase{"BadColourKeeps", "\377C\002a\377C\011", {{"a", L, LineColour::Blue}}},
        MarkupCase{"Hidden", "x\377H\002yzw", {{"xw", L, Def}}},
        MarkupCase{"HiddenPastEnd", "x\377H\377yz", {}},
        MarkupCase{"LinesAndLf", "a\n\rb\nb\r", {{"a", L, Def}, {"bb", L, Def}, {"", L, Def}}},
        MarkupCase{"AlignPerLine",
                   "\377ARright\r\377ACmid\377AX\rleft",
                   {{"right", R, Def}, {"mid", C, Def}, {"left", L, Def}}},
        MarkupCase{"ColourPerLine", "\377C\001a\rb", {{"a", L, LineColour::Red}, {"b", L, Def}}},
        MarkupCase{"BoldAndNAnywhere", "a\377B?\rb\377N\001", {{"a", L, Def}, {"b", L, Def}}, true},
        MarkupCase{"FontLastWins", "\377F\001\377F\003x", {{"x", L, Def}}, false, 3},
        MarkupCase{"FontOutOfRange", "\377F\007x", {{"x", L, Def}}, false, 0},
        MarkupCase{"UnknownLetterStays", "\377Zqx", {{"\377Zqx", L, Def}}},
        // Within a line, a marker byte needs two bytes after it.
        MarkupCase{"ShortTailIsText", "ab\377C", {{"ab\377C", L, Def}}},
        // For the whole cell the final line end counts: this hides everything after "ab".
        MarkupCase{"HiddenCountTakesLineEnd", "ab\377H", {}},
        MarkupCase{"LoneMarkerByte", "ab\377", {{"ab\377", L, Def}}}),
    [](const auto& info) { return std::string(info.param.title); });

TEST(CellMarkup, CellDataAlignsLinesAndFontColours) {
    TCellData data;
    data.setLineAlignments("RxC");
    auto m = markupCell("\377ALa\rb\rc\rd", C, &data);
    ASSERT_EQ(m.lines.size(), 4u);
    EXPECT_EQ(m.lines[0].alignment, R); // the cell object overrides the marker
    EXPECT_EQ(m.lines[1].alignment, C); // 'x' keeps the column's alignment
    EXPECT_EQ(m.lines[2].alignment, C);
    EXPECT_EQ(m.lines[3].alignment, C);
    EXPECT_FALSE(m.cellFont);

    data.font = FontSpec{};
    m = markupCell("\377C\002a\rb!", L, &data);
    EXPECT_TRUE(m.cellFont);
    EXPECT_EQ(m.lines[0].colour, LineColour::CellFont);
    EXPECT_EQ(m.lines[1].colour, LineColour::Red);

    data.setLineAlignments(std::string(300, 'R'));
    EXPECT_EQ(data.lineAlignments.size(), TCellData::LineAlignmentsCapacity);
}
