#include "core/grid/Odlozisce.h"

#include "core/grid/StringGridData.h"

#include <gtest/gtest.h>

using namespace zarn;

TEST(Copy, RowsBecomeLinesOfTabSeparatedCells) {
    StringGridData grid(3, 4);
    grid.setCell(1, 1, "a1");
    grid.setCell(2, 1, "b1\rb2\n");
    grid.setCell(1, 2, "c\n1");
    grid.setCell(2, 2, "d1");
    TOdlozisce buffer;
    copySelection(buffer, grid, 1, 1, 2, 2);
    EXPECT_EQ(buffer.text(), "a1\tb1\r\n\tb2\r\nc1\td1");

    copySelection(buffer, grid, 0, 3, 0, 3); // one empty cell: empty text, no line end
    EXPECT_EQ(buffer.text(), "");
}

TEST(Copy, BufferEscapesAndLimit) {
    TOdlozisce buffer;
    buffer.append(std::string("a\0b\xFF", 4));
    EXPECT_EQ(buffer.text(), std::string("a\xFF\xFE"
                                         "b\xFF\xFF",
                                         6));

    buffer.clear();
    buffer.append(std::string(30010, 'x'));
    buffer.append("yz"); // 30,010 bytes is not yet more than the limit
    EXPECT_EQ(buffer.size(), 30011u);
    buffer.append("more");
    EXPECT_EQ(buffer.size(), 30011u);

    buffer.clear();
    buffer.append(std::string(30010, 'x') + "\xFF\xFF\xFF");
    EXPECT_EQ(buffer.size(), 30012u); // the pair that crossed the limit is whole
    EXPECT_LE(buffer.size(), TOdlozisce::Capacity);
}

TEST(StringGridData, AlignmentsObjectsAndFit) {
    StringGridData grid(4, 3);
    EXPECT_EQ(grid.colAlignment(2), TSAlign::alsLeft);
    grid.setAlignment(TSAlign::alsCenter);
    EXPECT_EQ(grid.colAlignment(2), TSAlign::alsCenter);
    grid.setColAlignment(2, TSAlign::alsRight);
    EXPECT_EQ(grid.colAlignment(2), TSAlign::alsRight);
    EXPECT_EQ(grid.colAlignment(1), TSAlign::alsCenter);
    EXPECT_EQ(grid.fixedAlignment(2), TSAlign::alsCenter);
    EXPECT_EQ(grid.alignmentFor(2, 0), TSAlign::alsCenter);
    EXPECT_EQ(grid.alignmentFor(2, 1), TSAlign::alsRight);

    auto data = std::make_unique<TCellData>();
    data->subData = std::make_unique<TSubData>(TSubData{"x", "y"});
    grid.setObject(0, 0, std::move(data));
    grid.setCell(0, 0, "head");
    grid.copyRow(0, 2);
    ASSERT_NE(grid.object(0, 2), nullptr);
    EXPECT_NE(grid.object(0, 2), grid.object(0, 0)); // a copy, not a shared object
    EXPECT_EQ(grid.object(0, 2)->subData->text2, "y");
    grid.deleteRow(0);
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.cell(0, 1), "head");

    grid.setDefaultColWidth(30);
    grid.setDefaultRowHeight(10);
    EXPECT_TRUE(grid.fitCell(1, 1, 25, 28));
    EXPECT_EQ(grid.colWidth(1), 30);
    EXPECT_EQ(grid.rowHeight(1), 28);
    EXPECT_FALSE(grid.fitCell(1, 1, 12, 12)); // never shrinks
    EXPECT_EQ(grid.rowHeight(1), 28);
}
