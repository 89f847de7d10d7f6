#include "core/structfile/LineReader.h"
#include "core/structfile/StructChecksum.h"
#include "support/ScriptedInteraction.h"
#include "support/TestDocument.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>

using namespace zarn;
using namespace zarn::test;

namespace {

std::string writeRich() {
    TestDocument d;
    fillRich(d);
    return writeStructure(d.parts, structfile::ProductFamily, {});
}

struct Read {
    TestDocument doc;
    ScriptedInteraction ui;
    StructureReadResult result;
    explicit Read(const std::string& bytes) {
        result = readStructure(bytes, doc.parts, {&ui, &doc.texts, nullptr}, "file.zs");
    }
};

// Index of the first line equal to `text`.
size_t lineIndex(const std::vector<std::string>& lines, const std::string& text) {
    return static_cast<size_t>(std::find(lines.begin(), lines.end(), text) - lines.begin());
}

} // namespace

TEST(StructChecksum, ExamplesAndWrapAround) {
    EXPECT_EQ(structureChecksum(16, "a\rb\rc\rabc\re\rf\rg\rh"), 28375213);
    EXPECT_EQ(structureChecksum(16, ""), 28374623);
    EXPECT_EQ(structureChecksum(16, "only one field"), 28374623);
    // A long field wraps around in 32 bits instead of overflowing.
    const std::string longField(200000, '\xFF');
    uint64_t expected = 28374623;
    for (uint64_t k = 1; k <= longField.size(); ++k)
        expected += k * 255;
    EXPECT_EQ(structureChecksum(16, "\r\r\r" + longField),
              static_cast<int32_t>(static_cast<uint32_t>(expected)));

    struct {
        const char* text;
        std::optional<int32_t> value;
    } stored[] = {{"28374623", 28374623},
                  {"-5", -5},
                  {" 7 ", 7},
                  {"-2147483648", INT32_MIN},
                  {"2147483648", std::nullopt},
                  {"12a", std::nullopt},
                  {"", std::nullopt},
                  {"-", std::nullopt}};
    for (const auto& s : stored)
        EXPECT_EQ(parseStoredChecksum(s.text), s.value) << s.text;
}

TEST(LineReader, AcceptsCrLfAndLfAndKeepsInnerCr) {
    LineReader r("a\r\nb\nc\rd\r\n\r\ne\r");
    std::vector<std::string> got;
    while (auto l = r.next())
        got.emplace_back(*l);
    EXPECT_EQ(got, (std::vector<std::string>{"a", "b", "c\rd", "", "e"}));
    EXPECT_EQ(r.lineNumber(), 5u);
}

TEST(StructFile, RichDocumentRoundTripsByteForByte) {
    TestDocument original;
    fillRich(original);
    const std::string first = writeStructure(original.parts, structfile::ProductFamily, {});

    Read back(first);
    ASSERT_TRUE(back.result.opened);
    EXPECT_EQ(back.result.version, 11);
    EXPECT_TRUE(back.result.trusted);
    EXPECT_FALSE(back.result.protocolError);
    EXPECT_EQ(describeTree(back.doc.tree), describeTree(original.tree));
    EXPECT_EQ(tableCells(back.doc.table), tableCells(original.table));
    EXPECT_EQ(back.doc.heading, original.heading);
    EXPECT_EQ(back.doc.comments, original.comments);
    ASSERT_EQ(back.doc.protocol.directory(), original.protocol.directory());
    EXPECT_EQ(back.doc.protocol.blockPage(1)->checksText(),
              original.protocol.blockPage(1)->checksText());
    EXPECT_EQ(back.doc.protocol.floorPlanPage(1)->pictureFile, "/nonexistent/plan \xE8.jpg");
    EXPECT_EQ(back.doc.protocol.floorPlanPage(1)->picture, nullptr);
    const auto& m = back.doc.protocol.blockMeasurementPage(1)->table(0);
    EXPECT_EQ(m.cell(3, 4), "0.35\r0.36");
    EXPECT_EQ(m.subText(2), "sub two");
    EXPECT_EQ(m.rowCount(), 5);
    EXPECT_EQ(m.colCount(), 13);
    EXPECT_EQ(back.doc.tree.selected(), back.doc.tree.firstNode());

    // The second write compares whole, length included.
    const std::string second = writeStructure(back.doc.parts, back.result.family, {});
    EXPECT_EQ(second.size(), first.size());
    EXPECT_EQ(second, first);

    // A two-line cell is one line with 0x02 between its lines.
    EXPECT_NE(first.find("\r\n001002>999\r\n"), std::string::npos);
    EXPECT_NE(first.find("\r\nAAAPASS\x02"
                         "001003 0.41!\r\n"),
              std::string::npos);
    const auto lines = splitLines(first);
    EXPECT_EQ(lines[0], "*** INSTAL STRUCTURE v11");
    EXPECT_EQ(lines[1], "16");
    EXPECT_EQ(lines[12], "1");
    EXPECT_EQ(lines[13], "comment 1");
    EXPECT_EQ(lines[40], "011");
    EXPECT_EQ(lines[46], "*** COMMENTS2");
    EXPECT_EQ(lines[246], "last \x9A");
    EXPECT_EQ(lines[247], "*** STRUCTURE DATA");
    EXPECT_EQ(lines[249], "Block A\t1\t1\t");
    EXPECT_EQ(lines[251], "Line\x02two\t13\t2\t0000000000000001");
    EXPECT_EQ(lines.back(), "*** KONEC");
    EXPECT_EQ(first.substr(first.size() - 2), "\r\n");
}

// The sample file that the program and window tests open is the rich document as written
// here, so the two cannot drift apart.
TEST(StructFile, SampleRichFileIsTheRichDocument) {
    std::ifstream in(ZARN_SOURCE_DIR "/tests/data/structfile/rich.zrn", std::ios::binary);
    const std::string file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(file, writeRich());
}

TEST(StructFile, LfOnlyLineEndsReadTheSame) {
    const std::string crlf = writeRich();
    std::string lf;
    for (size_t i = 0; i < crlf.size(); ++i) {
        if (!(crlf[i] == '\r' && i + 1 < crlf.size() && crlf[i + 1] == '\n'))
            lf += crlf[i];
    }
    Read back(lf);
    EXPECT_TRUE(back.result.trusted);
    EXPECT_EQ(writeStructure(back.doc.parts, back.result.family, {}), crlf);
}

TEST(StructFile, Version10LeavesTheFourNewerHeadingTextsEmpty) {
    auto lines = splitLines(writeRich());
    // Version 10 carries OP1, OP2, FOOTER, site1, site2, Logo: drop OP3, FOOTER2, FOOTER3, site3.
    lines[0] = "*** INSTAL STRUCTURE";
    for (int i : {10, 7, 6, 4}) // site3, FOOTER3, FOOTER2, OP3 (line index = 2 + text)
        lines.erase(lines.begin() + i);
    Read back(joinLines(lines));
    EXPECT_EQ(back.result.version, 10);
    const auto& h = back.doc.heading;
    EXPECT_EQ(h.text(PrintoutHeading::Op1), "head 0 \xDE");
    EXPECT_EQ(h.text(PrintoutHeading::Op2), "head 1 \xDE");
    EXPECT_EQ(h.text(PrintoutHeading::Footer), "head 3 \xDE");
    EXPECT_EQ(h.text(PrintoutHeading::Site2), "head 7 \xDE");
    EXPECT_EQ(h.text(PrintoutHeading::Logo), "head 9 \xDE");
    for (auto t : {PrintoutHeading::Op3, PrintoutHeading::Footer2, PrintoutHeading::Footer3,
                   PrintoutHeading::Site3})
        EXPECT_EQ(h.text(t), "");
    EXPECT_EQ(h.logoMode(), 1);
    EXPECT_EQ(back.doc.comments.line(200), "last \x9A");
    EXPECT_TRUE(back.result.trusted);
    EXPECT_EQ(back.doc.table.cell(4, 1), "001002>999");
    EXPECT_EQ(back.doc.protocol.pageCount(), 7);

    // Converting writes version 11 with the texts in their places.
    TestDocument original;
    fillRich(original);
    for (auto t : {PrintoutHeading::Op3, PrintoutHeading::Footer2, PrintoutHeading::Footer3,
                   PrintoutHeading::Site3})
        original.heading.setText(t, "");
    EXPECT_EQ(writeStructure(back.doc.parts, 16, {}), writeStructure(original.parts, 16, {}));
}

TEST(StructFile, ChangedIdentificationEmptiesEveryResultCellButKeepsTree) {
    TestDocument original;
    fillRich(original);
    std::string bytes = writeStructure(original.parts, 16, {});
    const auto at = bytes.find("Serial\xA9 42");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 's';
    Read back(bytes);
    EXPECT_FALSE(back.result.trusted);
    EXPECT_EQ(describeTree(back.doc.tree), describeTree(original.tree));
    ASSERT_EQ(back.doc.table.rowCount(), original.table.rowCount());
    for (const auto& row : tableCells(back.doc.table))
        for (const auto& cell : row)
            EXPECT_EQ(cell, "");
    // Only the results are distrusted.
    EXPECT_EQ(back.doc.protocol.pageCount(), 7);
}

TEST(StructFile, TableOverTheLimitsKeepsTreeAndReadsNoResultsOrPages) {
    // Digits too long for 32 bits are over any limit, not 0.
    for (const char* counts :
         {"65537\r\n10", "3\r\n1001", "2147483648\r\n10", "99999999999999999999\r\n10",
          "4294967300\r\n10", "3\r\n4294967296"}) {
        std::string bytes = writeRich();
        const auto at = bytes.find("*** TABLE DATA\r\n4\r\n10");
        ASSERT_NE(at, std::string::npos);
        bytes.replace(at + 16, 5, counts);
        Read back(bytes);
        EXPECT_FALSE(back.result.tableRead) << counts;
        EXPECT_EQ(back.doc.tree.nodeCount(), 6u);
        EXPECT_EQ(back.doc.table.rowCount(), 1);
        EXPECT_EQ(back.doc.table.cell(1, 0), "");
        EXPECT_EQ(back.doc.protocol.pageCount(), 0);
    }
}

TEST(StructFile, RowCountsUpToWhatAReceptionMakesAreRead) {
    // The rich file with a table of `rows` rows: its identification row, then generated cells.
    const auto lines = splitLines(writeRich());
    const size_t table = lineIndex(lines, "*** TABLE DATA");
    const size_t afterTable = table + 3 + 4 * 10; // counts, then 4 rows of 10 cells
    ASSERT_EQ(lines[table + 1], "4");
    ASSERT_EQ(lines[table + 2], "10");
    auto cellText = [](int c, int r) {
        return "r" + std::to_string(r) +
               "\x02"
               "c" +
               std::to_string(c);
    };
    auto withRows = [&](int rows) {
        std::vector<std::string> l(lines.begin(), lines.begin() + static_cast<long>(table) + 1);
        l.push_back(std::to_string(rows));
        l.push_back("10");
        l.insert(l.end(), lines.begin() + static_cast<long>(table) + 3,
                 lines.begin() + static_cast<long>(table) + 13);
        for (int r = 1; r < rows; ++r)
            for (int c = 0; c < 10; ++c)
                l.push_back(cellText(c, r));
        l.insert(l.end(), lines.begin() + static_cast<long>(afterTable), lines.end());
        return joinLines(l);
    };
    TestDocument rich;
    fillRich(rich);
    struct Case {
        int rows;
        bool read;
    };
    for (const Case c : {Case{10001, true}, Case{structfile::MaxRows, true},
                         Case{structfile::MaxRows + 1, false}}) {
        const std::string bytes = withRows(c.rows);
        Read back(bytes);
        EXPECT_EQ(back.result.tableRead, c.read) << c.rows;
        EXPECT_EQ(describeTree(back.doc.tree), describeTree(rich.tree)) << c.rows;
        if (!c.read) {
            EXPECT_EQ(back.result.unread, std::vector<Unread>{Unread::TableOverLimits});
            EXPECT_EQ(back.doc.table.rowCount(), 1);
            EXPECT_EQ(back.doc.table.cell(1, 0), "");
            EXPECT_EQ(back.doc.protocol.pageCount(), 0);
            continue;
        }
        EXPECT_TRUE(back.result.tookWholeFile()) << c.rows;
        EXPECT_TRUE(back.result.trusted);
        EXPECT_EQ(back.doc.protocol.pageCount(), 7);
        ASSERT_EQ(back.doc.table.rowCount(), c.rows);
        for (int col = 0; col < 10; ++col)
            ASSERT_EQ(back.doc.table.cell(col, 0), rich.table.cell(col, 0));
        for (int r = 1; r < c.rows; ++r)
            for (int col = 0; col < 10; ++col)
                ASSERT_EQ(back.doc.table.cell(col, r),
                          "r" + std::to_string(r) + "\rc" + std::to_string(col))
                    << r;
        // And it is written back as it was read.
        EXPECT_EQ(back.doc.write(), bytes) << c.rows;
    }
}

TEST(StructFile, NodeLinesWithoutTabOrUnknownKindBecomeRoots) {
    auto lines = splitLines(writeRich());
    const size_t first = lineIndex(lines, "*** STRUCTURE DATA") + 2;
    lines.insert(lines.begin() + static_cast<long>(first) + 2, "plain name without tab");
    lines.insert(lines.begin() + static_cast<long>(first) + 3, "odd\t99\t5\tx");
    lines.insert(lines.begin() + static_cast<long>(first) + 4, "leaf\t13\t9\t1");
    Read back(joinLines(lines));
    const auto tree = describeTree(back.doc.tree);
    ASSERT_GE(tree.size(), 6u);
    EXPECT_EQ(tree[0], "Block A|1|1|");
    EXPECT_EQ(tree[1], "  Socket \xE8rna|13|1|1101");
    EXPECT_EQ(tree[2], "plain name without tab|0|0|");
    EXPECT_EQ(tree[3], "odd|99|5|x");
    EXPECT_EQ(tree[4], "  leaf|13|9|1"); // a leaf goes under the last node placed
    EXPECT_EQ(back.doc.tree.image(back.doc.tree.child(NoNode, 1)), -1);
}

TEST(StructFile, PageKindOrIndexNotANumberStopsThePages) {
    struct Case {
        const char* kind;
        const char* index;
        int pagesKept;
        bool error;
    };
    // The third page (lightning rod) is changed; 7 pages in all.
    const Case cases[] = {{"x", "1", 2, true},  {"3", "", 2, true},   {"3", "1.0", 2, true},
                          {"9", "1", 6, false}, {"0", "1", 6, false}, {" 3", "1 ", 7, false}};
    for (const auto& c : cases) {
        auto lines = splitLines(writeRich());
        size_t at = 0;
        for (int n = 0; n < 3; ++n)
            at = static_cast<size_t>(std::find(lines.begin() + static_cast<long>(at) + 1,
                                               lines.end(), "*** PROTOCOL DATA") -
                                     lines.begin());
        lines[at + 1] = c.kind;
        lines[at + 2] = c.index;
        Read back(joinLines(lines));
        EXPECT_EQ(back.doc.protocol.pageCount(), c.pagesKept) << c.kind << "/" << c.index;
        EXPECT_EQ(back.result.protocolError, c.error);
        EXPECT_EQ(back.ui.messages.size(), c.error ? 1u : 0u);
        EXPECT_TRUE(back.result.trusted);
        EXPECT_EQ(back.doc.table.rowCount(), 4);
    }
}

TEST(StructFile, TruncatedAtEveryLineKeepsWhatWasRead) {
    TestDocument original;
    fillRich(original);
    const std::string full = writeStructure(original.parts, 16, {});
    const auto fullTree = describeTree(original.tree);
    size_t previousNodes = 0;
    for (size_t end = 0; end <= full.size(); end = full.find('\n', end + 1)) {
        for (size_t cut : {end, end + 1 < full.size() ? end + 1 : end}) {
            Read back(full.substr(0, cut));
            const auto tree = describeTree(back.doc.tree);
            ASSERT_LE(tree.size(), fullTree.size());
            // Whatever nodes were read are the file's first nodes, in order.
            for (size_t i = 0; i < tree.size(); ++i)
                EXPECT_EQ(tree[i].substr(0, fullTree[i].size() - 0), fullTree[i]) << cut;
            EXPECT_GE(tree.size(), previousNodes);
            previousNodes = tree.size();
            EXPECT_LE(back.doc.protocol.pageCount(), 7);
        }
        if (end == std::string::npos || end + 1 >= full.size())
            break;
    }
    EXPECT_EQ(previousNodes, fullTree.size());
}

TEST(StructFile, DeclaredCountsDoNotAllocateAheadOfContent) {
    std::string head = "*** INSTAL STRUCTURE v11\r\n16\r\n";
    for (int i = 0; i < 11; ++i)
        head += "\r\n";
    head += "*** COMMENTS2\r\n*** STRUCTURE DATA\r\n28374623\r\nA\t1\t1\t\r\n*** TABLE DATA\r\n";
    // The largest counts read: a table is only as large as the cells the file holds.
    for (int cells : {2, 1000, 2500}) {
        std::string bytes = head + "65536\r\n1000\r\nonly\r\ncells\r\n";
        for (int i = 2; i < cells; ++i)
            bytes += "\r\n";
        Read back(bytes);
        EXPECT_TRUE(back.result.tableRead);
        EXPECT_EQ(back.doc.table.rowCount(), (cells + 999) / 1000) << cells;
        EXPECT_EQ(back.doc.table.cell(1, 0), "cells");
    }

    std::string pages = head + "0\r\n10\r\n";
    for (int i = 0; i < 20; ++i)
        pages += "*** PROTOCOL DATA\r\n5\r\n1\r\no\r\nb\r\n2147483647\r\n2147483647\r\n"
                 "s\r\ns\r\nx\r\n";
    Read hostile(pages);
    ASSERT_EQ(hostile.doc.protocol.pageCount(), 1);
    const auto& t = hostile.doc.protocol.blockMeasurementPage(1)->table(0);
    EXPECT_LE(t.colCount(), 200);
    EXPECT_LE(t.rowCount(), 3);
}

TEST(StructFile, OtherFamilyOrHeaderReadsNothingMore) {
    TestDocument keep;
    fillRich(keep);
    struct {
        const char* header;
        const char* family;
        int version;
    } cases[] = {{"*** INSTAL STRUCTURE v11", "17", 11},
                 {"*** INSTAL STRUCTURE v12", "16", 0},
                 {"INSTAL STRUCTURE", "16", 0}};
    for (const auto& c : cases) {
        auto lines = splitLines(writeRich());
        lines[0] = c.header;
        lines[1] = c.family;
        TestDocument d;
        fillRich(d);
        const auto result = readStructure(joinLines(lines), d.parts, {}, "x");
        EXPECT_EQ(result.version, c.version);
        EXPECT_FALSE(result.productFamily() && c.version);
        EXPECT_TRUE(d.tree.empty());
        EXPECT_EQ(d.table.rowCount(), 1);
        // Heading, comments and pages stay those of the document in memory.
        EXPECT_EQ(d.heading, keep.heading);
        EXPECT_EQ(d.comments, keep.comments);
        EXPECT_EQ(d.protocol.pageCount(), 7);
    }
}

TEST(StructFile, ProgressShowsWaitTextFileNameAndFormula) {
    TestDocument d;
    addNode(d.tree, NoNode, "A", kind::Object, 1);
    addNode(d.tree, NoNode, "B", kind::Object, 2);
    addNode(d.tree, NoNode, "C", kind::Object, 3);
    ScriptedInteraction ui;
    const auto bytes = writeStructure(d.parts, 16, {&ui, &d.texts, nullptr}, "plan.zs");
    EXPECT_EQ(ui.caption, "");
    EXPECT_EQ(ui.labels, (std::vector<std::string>{"Please wait|plan.zs"}));
    EXPECT_FALSE(ui.cancelButtonVisible);
    // Nodes 0, 50, 100; the one-row table gives 0 again.
    EXPECT_EQ(ui.positions, (std::vector<int>{0, 50, 100, 0}));

    ScriptedInteraction readUi;
    TestDocument r;
    readStructure(bytes, r.parts, {&readUi, &r.texts, nullptr}, "plan.zs");
    EXPECT_EQ(readUi.labels, (std::vector<std::string>{"Please wait|plan.zs"}));
    EXPECT_FALSE(readUi.progressVisible);
    EXPECT_TRUE(readUi.cancelButtonVisible);
    ASSERT_FALSE(readUi.positions.empty());
    EXPECT_EQ(readUi.positions.front(), 0);
}

namespace {

enum class Field { Comment, Autotest, Switches };

struct MarkerLine {
    Field field;
    int n; // line number; unused for the switches
    std::string text;
};

struct MarkerCase {
    const char* name;
    std::vector<MarkerLine> lines;
};

void setField(PrintoutComments& c, const MarkerLine& l, const std::string& text) {
    switch (l.field) {
    case Field::Comment:
        c.setLine(l.n, text);
        break;
    case Field::Autotest:
        c.setAutotestLine(l.n, text);
        break;
    case Field::Switches:
        c.setSwitches(text);
        break;
    }
}

void PrintTo(const MarkerCase& c, std::ostream* os) {
    *os << c.name;
}

class MarkerComments : public ::testing::TestWithParam<MarkerCase> {};

} // namespace

// The format has no escaping: comment lines equal to a section marker must still come back,
// with the tree, table and pages after them, and a second save must give the same bytes.
TEST_P(MarkerComments, SurviveSaveAndReopen) {
    TestDocument original;
    fillRich(original);
    PrintoutComments expected = original.comments;
    for (const auto& l : GetParam().lines) {
        setField(original.comments, l, l.text);
        // Only "*** STRUCTURE DATA" cannot be held by a comment line; the autotest lines and
        // the switches stand before "*** COMMENTS2" too.
        const bool unstorable = l.text == structfile::StructureData ||
                                (l.field != Field::Comment && l.text == structfile::Comments2);
        setField(expected, l, unstorable ? l.text + " " : l.text);
    }
    const std::string first = writeStructure(original.parts, structfile::ProductFamily, {});
    Read back(first);
    EXPECT_EQ(describeTree(back.doc.tree), describeTree(original.tree));
    EXPECT_EQ(tableCells(back.doc.table), tableCells(original.table));
    EXPECT_TRUE(back.result.trusted);
    EXPECT_EQ(back.doc.protocol.pageCount(), original.protocol.pageCount());
    EXPECT_EQ(back.doc.heading, original.heading);
    for (int n = 1; n <= PrintoutComments::LineCount; ++n)
        EXPECT_EQ(back.doc.comments.line(n), expected.line(n)) << "comment " << n;
    for (int n = 1; n <= PrintoutComments::AutotestLineCount; ++n)
        EXPECT_EQ(back.doc.comments.autotestLine(n), expected.autotestLine(n)) << "autotest " << n;
    EXPECT_EQ(back.doc.comments.storedSwitches(), expected.storedSwitches());

    const std::string second = writeStructure(back.doc.parts, back.result.family, {});
    EXPECT_EQ(second.size(), first.size());
    EXPECT_EQ(second, first);
}

INSTANTIATE_TEST_SUITE_P(
    StructFile, MarkerComments,
    ::testing::Values(
        MarkerCase{"Comments2ThenKonec",
                   {{Field::Comment, 5, "*** COMMENTS2"}, {Field::Comment, 30, "*** KONEC"}}},
        MarkerCase{"Comments2WithoutKonec", {{Field::Comment, 1, "*** COMMENTS2"}}},
        MarkerCase{"Comments2AsLine20", {{Field::Comment, 20, "*** COMMENTS2"}}},
        MarkerCase{"StructureDataInFirstCopy", {{Field::Comment, 3, "*** STRUCTURE DATA"}}},
        MarkerCase{"StructureDataInSecondCopyOnly", {{Field::Comment, 150, "*** STRUCTURE DATA"}}},
        MarkerCase{"OtherMarkers",
                   {{Field::Comment, 2, "*** TABLE DATA"},
                    {Field::Comment, 4, "*** PROTOCOL DATA"},
                    {Field::Comment, 6, "*** INSTAL STRUCTURE v11"},
                    {Field::Comment, 21, "*** COMMENTS2"},
                    {Field::Comment, 200, "*** KONEC"}}},
        MarkerCase{"AutotestLines",
                   {{Field::Autotest, 1, "*** COMMENTS2"},
                    {Field::Autotest, 3, "*** STRUCTURE DATA"},
                    {Field::Autotest, 5, "*** KONEC"}}},
        MarkerCase{"SwitchesComments2", {{Field::Switches, 0, "*** COMMENTS2"}}},
        MarkerCase{"SwitchesStructureData", {{Field::Switches, 0, "*** STRUCTURE DATA"}}},
        MarkerCase{"NearMarkersStayAsTheyAre",
                   {{Field::Comment, 1, "*** STRUCTURE DATA "},
                    {Field::Comment, 2, "*** COMMENTS2\r"},
                    {Field::Comment, 3, " *** COMMENTS2"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StructFile, StorableCommentTextChangesOnlyWhatTheReaderWouldMisread) {
    using structfile::CommentField;
    struct {
        CommentField field;
        const char* text;
        const char* stored;
    } cases[] = {
        {CommentField::Comment, "*** STRUCTURE DATA", "*** STRUCTURE DATA "},
        {CommentField::Comment, "*** COMMENTS2", "*** COMMENTS2"},
        {CommentField::Comment, "*** KONEC", "*** KONEC"},
        {CommentField::Comment, "*** STRUCTURE\nDATA", "*** STRUCTURE DATA "},
        {CommentField::Comment, "two\nlines", "two lines"},
        {CommentField::Comment, "", ""},
        {CommentField::Autotest, "*** COMMENTS2", "*** COMMENTS2 "},
        {CommentField::Autotest, "*** STRUCTURE DATA", "*** STRUCTURE DATA "},
        {CommentField::Switches, "*** COMMENTS2", "*** COMMENTS2 "},
        {CommentField::Switches, "101", "101"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(structfile::storableCommentText(c.field, c.text), c.stored) << c.text;
        // Applying the rule twice changes nothing more.
        EXPECT_EQ(structfile::storableCommentText(c.field, c.stored), c.stored) << c.text;
    }
}

TEST(StructFile, ReportsWhatItDidNotTake) {
    using Lines = std::vector<std::string>;
    // The kind line of the n-th page (from 1).
    auto pageKindLine = [](const Lines& l, int page) {
        auto at = l.begin();
        for (int n = 0; n < page; ++n)
            at = std::find(n ? at + 1 : at, l.end(), "*** PROTOCOL DATA");
        return static_cast<size_t>(at - l.begin()) + 1;
    };
    struct Case {
        const char* name;
        std::function<void(Lines&)> change;
        std::vector<Unread> unread;
    };
    const Case cases[] = {
        {"whole file", [](Lines&) {}, {}},
        {"cut before the end", [](Lines& l) { l.resize(l.size() - 3); }, {Unread::EndedEarly}},
        {"cut in the nodes",
         [](Lines& l) { l.resize(lineIndex(l, "*** STRUCTURE DATA") + 3); },
         {Unread::EndedEarly}},
        {"rows over the limit",
         [](Lines& l) { l[lineIndex(l, "*** TABLE DATA") + 1] = "65537"; },
         {Unread::TableOverLimits}},
        {"rows too long for 32 bits",
         [](Lines& l) { l[lineIndex(l, "*** TABLE DATA") + 1] = "4294967296"; },
         {Unread::TableOverLimits}},
        {"checksum",
         [](Lines& l) { l[lineIndex(l, "*** STRUCTURE DATA") + 1] = "1"; },
         {Unread::ResultsEmptied}},
        {"damaged page", [&](Lines& l) { l[pageKindLine(l, 2)] = "x"; }, {Unread::DamagedPage}},
        {"unknown page kind",
         [&](Lines& l) { l[pageKindLine(l, 2)] = "9"; },
         {Unread::SkippedLines}},
        {"text after the end", [](Lines& l) { l.push_back("more"); }, {Unread::SkippedLines}},
        {"text between sections",
         [](Lines& l) { l[lineIndex(l, "*** COMMENTS2") - 1] = "stray"; },
         {Unread::SkippedLines}},
        {"separator line not empty", [](Lines& l) { l[33] = "x"; }, {Unread::SkippedLines}},
        // What an earlier writer made of the comments "*** COMMENTS2" and "*** KONEC": reading
        // ends in the comments, before the nodes.
        {"end marker among the comments",
         [](Lines& l) {
             l[13] = "*** COMMENTS2";
             l[lineIndex(l, "*** COMMENTS2") + 10] = "*** KONEC";
         },
         {Unread::SkippedLines}},
    };
    for (const auto& c : cases) {
        auto lines = splitLines(writeRich());
        c.change(lines);
        Read back(joinLines(lines));
        EXPECT_EQ(back.result.unread, c.unread) << c.name;
        EXPECT_EQ(back.result.tookWholeFile(), c.unread.empty()) << c.name;
    }
}
