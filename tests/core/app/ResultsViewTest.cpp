#include "core/app/ResultsView.h"

#include "core/grid/StringGridData.h"

#include <gtest/gtest.h>

using namespace zarn;

namespace {

NamefTables testNamef() {
    NamefTables n;
    n.load({"velicina001=R", "velicina002=Uc:", "velicina003=t", "velicina004=:", "enota005=MΩ",
            "enota006=V", "enota007=s", "funkcija007=R iso$500 V", "funkcija009=RCD"});
    return n;
}

struct EntryCase {
    const char* title;
    const char* entry;
    const char* shown;
};

class FormatEntry : public testing::TestWithParam<EntryCase> {};

TEST_P(FormatEntry, Shown) {
    static const NamefTables namef = testNamef();
    EXPECT_EQ(formatEntry(GetParam().entry, namef), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatEntry,
                         testing::Values(EntryCase{"Greater", "001005>999", "R > 999 MΩ"},
                                         EntryCase{"ColonQuantity", "00200625.3", "Uc: 25.3 V"},
                                         EntryCase{"Warning", "0030070.41!", "t = 0.41 s !"},
                                         EntryCase{"LessOverridesGreater", "001005><1", "R < 1 MΩ"},
                                         EntryCase{"ColonOverridesLess", "002006<3", "Uc: 3 V"},
                                         EntryCase{"Literal", "AAAPASS", "PASS"},
                                         EntryCase{"EmptyNames", "09909812", " 12"},
                                         EntryCase{"QuantityOnlyColon", "004000x", ": x"},
                                         EntryCase{"NoQuantitySign", "000005>5", "> 5 MΩ"},
                                         EntryCase{"ShortEntry", "00", ""},
                                         EntryCase{"UnitOnly", "000006", "V"},
                                         EntryCase{"Empty", "", ""}),
                         [](const auto& info) { return std::string(info.param.title); });

TEST(FormatValueCell, EntriesKeepTheirOrder) {
    const NamefTables namef = testNamef();
    EXPECT_EQ(formatValueCell("001005>999\rAAAok\r0030071!", namef), "R > 999 MΩ\rok\rt = 1 s !");
    EXPECT_EQ(formatValueCell("", namef), "");
    EXPECT_EQ(functionNameForView(7, namef), "R iso\r500 V");
}

std::string idsCell(int b, int e) {
    return "1\r" + std::to_string(b) + "\r" + std::to_string(e);
}

// Rows of (block, element, function code) in table order.
ResultsTable tableOf(const std::vector<std::array<int, 3>>& rows) {
    ResultsTable t;
    for (const auto& [b, e, f] : rows) {
        const int r = t.addRow();
        t.setCell(col::Ids, r, idsCell(b, e));
        t.setCell(col::Function, r, f ? std::to_string(f) + "\rname" : std::string());
        t.setCell(0, r, "row" + std::to_string(r));
    }
    return t;
}

} // namespace

TEST(SelectViewRows, RootAndLeaf) {
    const ResultsTable t =
        tableOf({{1, 1, 7}, {1, 2, 7}, {1, 2, 0}, {1, 2, 9}, {2, 1, 7}, {1, 3, 7}});
    ASSERT_FALSE(t.isSorted());
    // The root of block 1: every row of object 1 and block 1 with a function code.
    EXPECT_EQ(selectViewRows(t, {1, 1, 0, 1}), (std::vector<int>{1, 2, 4, 6}));
    EXPECT_EQ(selectViewRows(t, {1, 1, 2, 2}), (std::vector<int>{2, 4}));
    EXPECT_EQ(selectViewRows(t, {1, 7, 0, 1}), (std::vector<int>{}));
    EXPECT_EQ(selectViewRows(t, {2, 1, 0, 1}), (std::vector<int>{}));
}

// A leaf's rows followed by a greater element and then again by the leaf's own row: the scan
// ends at the greater element, so only the first group shows. A greater element without a
// function code does not end it.
TEST(SelectViewRows, GreaterElementEndsTheScan) {
    const ResultsTable t = tableOf({{1, 2, 7}, {1, 3, 7}, {1, 2, 9}});
    EXPECT_EQ(selectViewRows(t, {1, 1, 2, 2}), (std::vector<int>{1}));
    const ResultsTable u = tableOf({{1, 2, 7}, {1, 3, 0}, {1, 2, 9}});
    EXPECT_EQ(selectViewRows(u, {1, 1, 2, 2}), (std::vector<int>{1, 3}));
    // Another block with a greater element does not end it.
    const ResultsTable v = tableOf({{1, 2, 7}, {2, 9, 7}, {1, 2, 9}});
    EXPECT_EQ(selectViewRows(v, {1, 1, 2, 2}), (std::vector<int>{1, 3}));
}

// The binary search of a sorted table finds exactly the rows of the full scan.
TEST(SelectViewRows, SortedTableAgreesWithFullScan) {
    std::vector<std::array<int, 3>> rows;
    for (int b = 1; b <= 4; ++b)
        for (int e = 0; e <= 5; ++e)
            for (int k = 0; k < (e + b) % 3 + 1; ++k)
                rows.push_back({b, e, (e + k) % 4 == 0 ? 0 : 7});
    const ResultsTable t = tableOf(rows);
    ASSERT_TRUE(t.isSorted());
    for (int b = 0; b <= 5; ++b)
        for (int e = 0; e <= 6; ++e)
            for (int level : {1, 2}) {
                const NodeIds ids{1, b, e, level};
                std::vector<int> expected;
                for (int r = 1; r < t.rowCount(); ++r) {
                    const auto& id = t.ids(r);
                    if (t.cell(col::Function, r).empty() || id.block != b)
                        continue;
                    if (level == 2 && id.element != e)
                        continue;
                    expected.push_back(r);
                }
                EXPECT_EQ(selectViewRows(t, ids), expected) << b << "/" << e << "/" << level;
            }
}

TEST(ResultsView, RowsRolesHeadingsAndCaption) {
    const NamefTables namef = testNamef();
    TLStr texts;
    texts.set("NoMeasuresIn_30", "No measurements in");
    texts.set("VGlava0_0", "No.");
    texts.set("VGlava1_0", "Place");
    texts.set("VGlava2_0", "Func$tion");
    InstallationTree tree;
    const NodeHandle root = tree.createNode(NoNode);
    tree.setText(root, "001");
    tree.setId(root, 2);
    const NodeHandle leaf = tree.createNode(root);
    tree.setText(leaf, "015");
    tree.setId(leaf, 15);

    ResultsTable t;
    const int r = t.addRow();
    t.setRow(r, std::vector<std::string>{"", idsCell(2, 15), "001\r002\r015\r6,13", "7\rR iso",
                                         "001005>999", "0020061", "0030070.41!", "D1", "T1", ""});
    const ResultsViewContent v =
        buildResultsView(t, tree, leaf, 1, namef, texts, {0, 1, 2, 3, 4, 5, 6});
    EXPECT_EQ(v.panelCaption, "No measurements in 015");
    ASSERT_EQ(v.rows.size(), 1u);
    EXPECT_EQ(v.rows[0].sourceRow, 1);
    EXPECT_EQ(v.rows[0].cells, (std::vector<std::string>{"1", "015", "R iso\r500 V", "R > 999 MΩ",
                                                         "t = 0.41 s !", "Uc: 1 V", "D1\rT1"}));

    EXPECT_TRUE(buildResultsView(t, tree, NoNode, 1, namef, texts, {0}).panelCaption.empty());
    EXPECT_TRUE(buildResultsView(ResultsTable{}, tree, root, 1, namef, texts, {0}).rows.empty());

    const auto headings = viewHeadings(texts, defaultColumnRoles());
    EXPECT_EQ(headings, (std::vector<std::string>{"No.", "Place", "Func\rtion", "", ""}));
    StringGridData grid;
    fillViewGrid(grid, buildResultsView(t, tree, root, 1, namef, texts, defaultColumnRoles()),
                 headings, defaultColumnRoles());
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.colCount(), 5);
    EXPECT_EQ(grid.cell(2, 0), "Func\rtion");
    EXPECT_EQ(grid.cell(3, 1), "R > 999 MΩ");
    EXPECT_EQ(grid.colAlignment(0), TSAlign::alsCenter);
    EXPECT_EQ(grid.fixedAlignment(1), TSAlign::alsLeft);
    EXPECT_EQ(grid.colAlignment(2), TSAlign::alsCenter);
    EXPECT_EQ(grid.defaultColWidth(), 30);
}
