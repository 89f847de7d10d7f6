// Pages of a kind share what they have in common (captions, header-only measurement tables);
// a page that changes gets its own copy and no other page sees the change.
#include "core/inspection/Protocol.h"
#include "core/lang/LStr.h"
#include "core/structfile/StructFile.h"
#include "support/TestDocument.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace zarn;

namespace {

// The shared document with the captions these pages show.
struct Doc : test::TestDocument {
    Doc() {
        texts.set("Glava1_0", "Circuit");
        texts.set("GlavaS10_0", "No.");
    }
};

// An empty structure followed by `pages` (each from its "*** PROTOCOL DATA" line).
std::string fileWithPages(const std::string& pages) {
    Doc empty;
    std::string bytes = empty.write();
    bytes.resize(bytes.rfind(structfile::Konec));
    bytes += pages;
    bytes += structfile::Konec;
    return bytes + "\r\n";
}

// A block measurement page whose first table holds `header` as row 0 column 0 and, when
// given, `data` in row 2 column 1; its second table declares no cells.
std::string blockMeasurementPage(int index, const std::string& header, const std::string& data) {
    std::string page = "*** PROTOCOL DATA\r\n5\r\n" + std::to_string(index) + "\r\n";
    page += "\r\n\r\n" + std::string(data.empty() ? "1" : "3") + "\r\n2\r\n\r\n\r\n";
    page += header + "\r\nCircuit\r\n";
    if (!data.empty())
        page += "\r\nOhm\r\n\r\n" + data + "\r\n";
    return page + "\r\n\r\n0\r\n0\r\n\r\n\r\n";
}

const TStringGridAll2& firstTable(const TProtocol& p, int index) {
    return std::as_const(*p.blockMeasurementPage(index)).table(0);
}

} // namespace

TEST(PageSharing, FormPagesShareTheCaptionsOfTheLanguageTheyWereMadeWith) {
    Doc d;
    ProtocolTemplateTexts first;
    first.block = {{1, "Report"}, {10, "Check one"}};
    d.protocol.setTemplateTexts(first);
    d.protocol.AddBlockPage();
    d.protocol.AddBlockPage();
    EXPECT_EQ(&d.protocol.blockPage(1)->labels(), &d.protocol.blockPage(2)->labels());

    ProtocolTemplateTexts second;
    second.block = {{1, "Bericht"}};
    d.protocol.setTemplateTexts(second);
    d.protocol.AddBlockPage();
    EXPECT_EQ(d.protocol.blockPage(3)->labels(), second.block);
    EXPECT_EQ(d.protocol.blockPage(1)->labels(), first.block); // kept alive by its pages
    d.protocol.AddObjectPage();
    EXPECT_TRUE(d.protocol.objectPage(1)->labels().empty());
}

TEST(PageSharing, MeasurementTablesStaySharedUntilAPageChangesOne) {
    Doc d;
    const std::string bytes =
        fileWithPages(blockMeasurementPage(1, "No.", "") + blockMeasurementPage(2, "No.", "0.35") +
                      blockMeasurementPage(3, "No.", ""));
    ASSERT_TRUE(d.read(bytes).opened);
    ASSERT_EQ(d.protocol.countOf(PageKind::BlockMeasurement), 3);
    EXPECT_EQ(&firstTable(d.protocol, 1), &firstTable(d.protocol, 3));
    EXPECT_NE(&firstTable(d.protocol, 1), &firstTable(d.protocol, 2));
    EXPECT_EQ(firstTable(d.protocol, 2).cell(1, 2), "0.35");
    EXPECT_EQ(firstTable(d.protocol, 2).cell(0, 0), "No.");
    EXPECT_EQ(firstTable(d.protocol, 1).cell(1, 2), "");
    const std::string written = d.write();

    // Changing one sharing page leaves the other pages, and pages made later, as they were.
    TProtocol::SetTableCell(d.protocol.blockMeasurementPage(1)->table(0), 1, 2, "9.9");
    d.protocol.blockMeasurementPage(1)->table(1).setSubText(1, "changed");
    d.protocol.AddBlockMeasurementPage();
    for (int index : {3, 4}) {
        EXPECT_EQ(firstTable(d.protocol, index).cell(1, 2), "") << index;
        EXPECT_EQ(std::as_const(*d.protocol.blockMeasurementPage(index)).table(1).subText(1), "")
            << index;
    }
    EXPECT_EQ(firstTable(d.protocol, 1).cell(1, 2), "9.9");

    // Sharing does not show in the file: reading what was written writes it again unchanged.
    Doc again;
    ASSERT_TRUE(again.read(written).opened);
    EXPECT_EQ(again.write(), written);
}

TEST(PageSharing, FileHeaderOtherThanTheLanguageGivesThePageItsOwnTable) {
    Doc d;
    ASSERT_TRUE(d.read(fileWithPages(blockMeasurementPage(1, "Nr.", "") +
                                     blockMeasurementPage(2, "No.", "")))
                    .opened);
    EXPECT_EQ(firstTable(d.protocol, 1).cell(0, 0), "Nr.");
    EXPECT_EQ(firstTable(d.protocol, 2).cell(0, 0), "No.");
    d.protocol.AddBlockMeasurementPage();
    EXPECT_EQ(firstTable(d.protocol, 3).cell(0, 0), "No.");
}

// A change of the language texts or of the character set between two pages reaches only the
// page made after it, as it did when every page built its own tables.
TEST(PageSharing, HeaderChangeBetweenPagesReachesOnlyLaterPages) {
    struct Case {
        const char* name;
        void (*change)(Doc&);
        std::string heading;
        int charset;
    };
    const Case cases[] = {
        {"texts", [](Doc& d) { d.texts.set("Glava0_0", "Nr."); }, "Nr.", 0},
        {"charset", [](Doc& d) { d.protocol.setHeaderCharset(238); }, "No.", 238},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Doc d;
        d.protocol.AddBlockMeasurementPage();
        c.change(d);
        d.protocol.AddBlockMeasurementPage();
        d.protocol.AddBlockMeasurementPage();
        const auto& before = firstTable(d.protocol, 1);
        const auto& after = firstTable(d.protocol, 2);
        EXPECT_EQ(before.cell(0, 0), "No.");
        EXPECT_EQ(before.object(0, 0)->font->charset, 0);
        EXPECT_EQ(after.cell(0, 0), c.heading);
        EXPECT_EQ(after.object(0, 0)->font->charset, c.charset);
        EXPECT_EQ(after.object(0, 0)->font->size, TMeasurementPage::FontSize);
        EXPECT_EQ(&after, &firstTable(d.protocol, 3));
    }
}

// Every sample structure file: reading and writing once more gives the same bytes.
TEST(PageSharing, SampleFilesWriteTheSameAfterASecondRead) {
    const std::filesystem::path samples =
        std::filesystem::path(ZARN_SOURCE_DIR) / "tests/data/structfile";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(samples)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        Doc first;
        first.read(bytes.str());
        const std::string once = first.write();
        Doc second;
        second.read(once);
        EXPECT_EQ(second.write(), once);
        ++files;
    }
    EXPECT_GT(files, 0);
}
