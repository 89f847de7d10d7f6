#include "core/app/ResultsTable.h"

#include <gtest/gtest.h>
#include <random>

using namespace zarn;

namespace {

std::string idsCell(int o, int b, int e) {
    return std::to_string(o) + "\r" + std::to_string(b) + "\r" + std::to_string(e);
}

// The step-by-step move towards row 1, as the instrument program has always done it.
void naiveInsert(std::vector<std::pair<RowIds, int>>& rows, std::pair<RowIds, int> row) {
    rows.push_back(row);
    size_t i = rows.size() - 1;
    while (i > 0 && row.first < rows[i - 1].first) {
        rows[i] = rows[i - 1];
        --i;
    }
    rows[i] = row;
}

} // namespace

TEST(ResultsTable, RowsAndCells) {
    ResultsTable t;
    int changes = 0;
    t.setChangeHandler([&] { ++changes; });
    EXPECT_EQ(t.rowCount(), 1);
    EXPECT_EQ(t.colCount(), 10);
    const int r = t.addRow();
    EXPECT_EQ(r, 1);
    t.setCell(col::Ids, r, idsCell(1, 2, 15));
    t.setCell(col::Names, r, "001\r002\r015\r6,13");
    t.setCell(10, r, "outside"); // ignored
    EXPECT_EQ(t.cell(10, r), "");
    EXPECT_EQ(t.ids(r), (RowIds{1, 2, 15}));
    EXPECT_GT(changes, 0);

    t.addRow();
    t.copyRow(1, 2);
    EXPECT_EQ(t.cell(col::Names, 2), "001\r002\r015\r6,13");
    EXPECT_EQ(t.ids(2), (RowIds{1, 2, 15}));
    t.setCell(col::Names, 1, "first");
    t.deleteRow(1);
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_EQ(t.cell(col::Names, 1), "001\r002\r015\r6,13");

    const std::vector<std::string> decoded{"", idsCell(1, 3, 1), "n", "7\rf"};
    t.setRow(1, decoded);
    EXPECT_EQ(t.ids(1), (RowIds{1, 3, 1}));
    EXPECT_EQ(t.cell(col::Function, 1), "7\rf");

    t.ensureSize(12, 5);
    EXPECT_EQ(t.colCount(), 12);
    EXPECT_EQ(t.rowCount(), 5);
    t.ensureSize(3, 2); // never shrinks
    EXPECT_EQ(t.colCount(), 12);

    t.setCell(1, 0, "ident");
    t.clear();
    EXPECT_EQ(t.rowCount(), 1);
    EXPECT_EQ(t.cell(1, 0), "");
}

TEST(ResultsTable, ParseRowIds) {
    EXPECT_EQ(parseRowIds("1\r2\r15"), (RowIds{1, 2, 15}));
    EXPECT_EQ(parseRowIds("1\r2"), (RowIds{1, 2, 0}));
    EXPECT_EQ(parseRowIds(""), (RowIds{0, 0, 0}));
    EXPECT_EQ(parseRowIds("a1\r99999999999\r-3"), (RowIds{1, 0, 3}));
}

TEST(ResultsTable, OrderedInsertionKeepsArrivalOrderOfEqualIds) {
    ResultsTable t;
    const std::vector<std::tuple<int, int, std::string>> arrivals{
        {1, 2, "a"}, {1, 1, "b"}, {1, 2, "c"}, {2, 1, "d"}, {1, 1, "e"}, {0, 9, "f"}};
    for (const auto& [b, e, name] : arrivals) {
        const int r = t.addRow();
        t.setCell(col::Ids, r, idsCell(1, b, e));
        t.setCell(col::Names, r, name);
        t.insertOrdered(r);
    }
    std::string order;
    for (int r = 1; r < t.rowCount(); ++r)
        order += t.cell(col::Names, r);
    EXPECT_EQ(order, "fbeacd");
    EXPECT_TRUE(t.isSorted());
}

// Random arrivals, including an unsorted start (as a structure file may hold), give exactly the
// order of the step-by-step algorithm.
TEST(ResultsTable, OrderedInsertionMatchesStepByStepMoves) {
    for (int seed = 0; seed < 20; ++seed) {
        std::mt19937 rng(static_cast<unsigned>(seed));
        std::uniform_int_distribution<int> small(0, 4);
        ResultsTable t;
        std::vector<std::pair<RowIds, int>> expected;
        // Half of the seeds start from rows that are out of order.
        if (seed % 2) {
            for (int i = 0; i < 5; ++i) {
                const RowIds ids{1, small(rng), small(rng)};
                const int r = t.addRow();
                t.setCell(col::Ids, r, idsCell(ids.object, ids.block, ids.element));
                t.setCell(0, r, std::to_string(1000 + i));
                expected.emplace_back(ids, 1000 + i);
            }
        }
        for (int i = 0; i < 200; ++i) {
            const RowIds ids{small(rng) % 2, small(rng), small(rng)};
            const int r = t.addRow();
            t.setCell(col::Ids, r, idsCell(ids.object, ids.block, ids.element));
            t.setCell(0, r, std::to_string(i));
            t.insertOrdered(r);
            naiveInsert(expected, {ids, i});
        }
        ASSERT_EQ(t.rowCount(), static_cast<int>(expected.size()) + 1);
        for (size_t i = 0; i < expected.size(); ++i) {
            const int row = static_cast<int>(i) + 1;
            ASSERT_EQ(t.cell(0, row), std::to_string(expected[i].second))
                << "seed " << seed << " row " << row;
            ASSERT_EQ(t.ids(row), expected[i].first);
        }
    }
}

TEST(ResultsTable, EqualRangeOfSortedRows) {
    ResultsTable t;
    for (auto [b, e] : std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {1, 2}, {2, 1}, {3, 5}}) {
        const int r = t.addRow();
        t.setCell(col::Ids, r, idsCell(1, b, e));
    }
    ASSERT_TRUE(t.isSorted());
    auto range = t.equalRange({1, 1, 2}, 3);
    EXPECT_EQ(range.first, 2);
    EXPECT_EQ(range.last, 4);
    range = t.equalRange({1, 1, 0}, 2);
    EXPECT_EQ(range.first, 1);
    EXPECT_EQ(range.last, 4);
    range = t.equalRange({1, 2, 7}, 3);
    EXPECT_EQ(range.first, range.last);
    EXPECT_EQ(t.lowerBound({1, 2, 0}), 4);

    t.setCell(col::Ids, 2, idsCell(1, 9, 9));
    EXPECT_FALSE(t.isSorted());
    t.deleteRow(2);
    EXPECT_TRUE(t.isSorted());
}
