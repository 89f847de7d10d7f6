#include "core/inspection/Protocol.h"

#include "core/base/IniFile.h"
#include "core/lang/LStr.h"
#include "core/structfile/StructFile.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace zarn;

namespace {

class ProtocolTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings_ = std::make_unique<PrivateProfile>(dir_.file("ZARN.INI"));
        texts_.set("Glava0_0", "No.");
        texts_.set("Glava10_0", "Note");
        texts_.set("GlavaE1_0", "Ohm");
        texts_.set("GlavaS1E3_0", "m");
        texts_.set("GlavaS21_0", "R\rearth");
    }
    IniDocument settingsFile() const {
        return IniDocument::load(settings_->path()).value_or(IniDocument{});
    }

    test::TempDir dir_{"zarn-protocol"};
    std::unique_ptr<PrivateProfile> settings_;
    TLStr texts_;
};

} // namespace

TEST_F(ProtocolTest, ThreePageFileGivesDirectoryOfKinds125) {
    std::string bytes = "*** INSTAL STRUCTURE v11\r\n16\r\n";
    for (int i = 0; i < 11; ++i)
        bytes += "\r\n";
    bytes += "*** STRUCTURE DATA\r\n28374623\r\n*** TABLE DATA\r\n0\r\n10\r\n";
    bytes += "*** PROTOCOL DATA\r\n1\r\n1\r\nobj\r\n";
    for (int i = 1; i <= 14; ++i)
        bytes += "e" + std::to_string(i) + "\r\n";
    bytes += "*** PROTOCOL DATA\r\n2\r\n1\r\nobj\r\nblk\r\n1\r\n2\r\n3\r\n4\r\n5\r\nEN\r\n"
             "10000000000000000000000000001\r\n";
    bytes += "*** PROTOCOL DATA\r\n5\r\n1\r\n";
    for (int t = 0; t < 2; ++t)
        bytes += "obj\r\nblk\r\n3\r\n2\r\nsub\r\n\r\nh0\r\nh1\r\nu0\r\nu1\r\nd0\r\nd1\r\n";
    bytes += "*** KONEC\r\n";

    InstallationTree tree;
    ResultsTable table;
    PrintoutHeading heading;
    PrintoutComments comments;
    TProtocol protocol(texts_);
    const auto result = readStructure(bytes, {tree, table, heading, comments, protocol},
                                      {nullptr, &texts_, settings_.get()});
    EXPECT_TRUE(result.trusted);
    EXPECT_EQ(protocol.directory(), (std::vector<TPages>{{1, 1}, {2, 1}, {5, 1}}));
    EXPECT_EQ(protocol.objectPage(1)->edit(14), "e14");
    EXPECT_EQ(protocol.blockPage(1)->edit(6), "EN");
    const auto& m = protocol.blockMeasurementPage(1)->table(1);
    EXPECT_EQ(m.cell(1, 2), "d1");
    EXPECT_EQ(m.subText(1), "sub");
    EXPECT_EQ(m.colCount(), 5); // never shrinks below its creation size
    EXPECT_EQ(m.rowCount(), 3);

    protocol.ClearProtocol(settings_.get());
    EXPECT_EQ(protocol.pageCount(), 0);
    EXPECT_EQ(protocol.countOf(PageKind::BlockMeasurement), 0);
    const auto ini = settingsFile();
    EXPECT_EQ(ini.read("BLOKPAGE", "check"), "10000000000000000000000000001");
    EXPECT_EQ(ini.read("BLOKPAGE", "regulatives"), "EN");
    EXPECT_EQ(ini.read("OBJPAGE", "network"), "e4");
    EXPECT_EQ(ini.read("OBJPAGE", "safety"), "e11");
}

TEST_F(ProtocolTest, TeardownLeavesTheFirstPageOfEachKind) {
    TProtocol p(texts_);
    for (int i = 1; i <= 3; ++i) {
        p.AddObjectPage();
        p.objectPage(i)->setEdit(5, "distributor " + std::to_string(i));
        p.AddLightningRodPage();
        p.lightningRodPage(i)->setCheck(i, true);
    }
    EXPECT_EQ(p.entry(6), (TPages{3, 3}));
    p.ClearProtocol(settings_.get());
    const auto ini = settingsFile();
    EXPECT_EQ(ini.read("OBJPAGE", "distributor"), "distributor 1");
    EXPECT_EQ(ini.read("STRELAPAGE", "check"), "1" + std::string(23, '0'));
    EXPECT_FALSE(ini.hasSection("BLOKPAGE"));

    // Without settings nothing is written; a new protocol counts from 1 again.
    p.AddObjectPage();
    EXPECT_EQ(p.entry(1), (TPages{1, 1}));
    p.ClearProtocol(nullptr);
}

TEST_F(ProtocolTest, MeasurementTablesHeadersGrowthAndEmptiness) {
    TProtocol p(texts_);
    p.AddBlockMeasurementPage();
    p.AddLightningRodMeasurementPage();
    auto& block = p.blockMeasurementPage(1)->table(0);
    EXPECT_EQ(block.rowCount(), 3);
    EXPECT_EQ(block.colCount(), 11);
    EXPECT_EQ(block.fixedRows(), 2);
    EXPECT_EQ(block.cell(0, 0), "No.");
    EXPECT_EQ(block.cell(10, 0), "Note");
    EXPECT_EQ(block.cell(0, 1), "");
    EXPECT_EQ(block.cell(1, 1), "Ohm");
    EXPECT_EQ(block.colAlignment(7), TSAlign::alsCenter);
    ASSERT_NE(block.object(4, 0), nullptr);
    EXPECT_EQ(block.object(4, 0)->font->name, "Arial");
    EXPECT_EQ(block.object(4, 0)->font->size, 9);
    EXPECT_EQ(block.object(4, 0)->subData, nullptr);
    ASSERT_NE(block.object(0, 0)->subData, nullptr);
    EXPECT_EQ(block.object(0, 0)->subData->text1, "");
    EXPECT_EQ(block.object(0, 1), nullptr);
    EXPECT_EQ(p.blockMeasurementPage(1)->table(1).colCount(), 5);

    const auto& rod1 = p.lightningRodMeasurementPage(1)->table(0);
    const auto& rod2 = p.lightningRodMeasurementPage(1)->table(1);
    EXPECT_EQ(rod1.colCount(), 5);
    EXPECT_EQ(rod1.cell(3, 1), "m");
    EXPECT_EQ(rod1.cell(4, 1), "");
    EXPECT_EQ(rod2.colCount(), 2);
    EXPECT_EQ(rod2.cell(1, 0), "R\rearth");

    EXPECT_TRUE(TProtocol::IsTableEmpty(&block));
    EXPECT_TRUE(TProtocol::IsTableEmpty(nullptr));
    TProtocol::SetTableCell(block, 2, 5, "\n\n");
    EXPECT_EQ(block.rowCount(), 6);
    EXPECT_TRUE(TProtocol::IsTableEmpty(&block)); // line feeds only
    TProtocol::SetTableCell(block, 12, 3, "x");
    EXPECT_EQ(block.colCount(), 13);
    EXPECT_FALSE(TProtocol::IsTableEmpty(&block));

    TStringGridAll2 small(4, 2);
    small.setCell(0, 1, "data");
    EXPECT_TRUE(TProtocol::IsTableEmpty(&small)); // fewer than three rows
    TProtocol::SetTableCell(small, 0, 2, "");
    EXPECT_EQ(small.fixedRows(), 2);
}

TEST(ProtLanguage, EveryKeyMustHaveAValue) {
    std::string ini = "[PROTOCOL]\r\n";
    auto add = [&](const std::string& prefix, int first, int last) {
        for (int k = first; k <= last; ++k)
            ini += prefix + std::to_string(k) + "_0=" + prefix + std::to_string(k) + "\r\n";
    };
    add("OO_Lab", 1, 21);
    add("BB_Lab", 1, 9);
    add("BB_CBox", 1, 29);
    add("SS_Lab", 1, 33);
    add("SS_CBox", 1, 9);
    add("SS_CBox", 19, 24);
    add("TT_Lab", 1, 2);
    TLStr texts;
    TProtocol p(texts);
    const auto ok = TProtLanguage::ApplyProtocolTexts(IniDocument(ini), p);
    EXPECT_TRUE(ok.ok);
    EXPECT_EQ(p.templateTexts().block.at(38), "BB_CBox29");
    EXPECT_EQ(p.templateTexts().lightningRod.at(43), "SS_CBox19");
    EXPECT_EQ(p.templateTexts().lightningRod.size(), 48u);
    p.AddBlockPage();
    EXPECT_EQ(p.blockPage(1)->labels().at(10), "BB_CBox1");

    struct {
        std::string from, to, key;
    } broken[] = {{"SS_CBox20_0=SS_CBox20", "SS_CBox20_0=", "SS_CBox20_0"},
                  {"TT_Lab2_0=TT_Lab2", "TT_Lab_2=x", "TT_Lab2_0"},
                  {"[PROTOCOL]", "[OTHER]", "OO_Lab1_0"}};
    for (const auto& b : broken) {
        std::string bad = ini;
        bad.replace(bad.find(b.from), b.from.size(), b.to);
        TProtocol q(texts);
        const auto r = TProtLanguage::ApplyProtocolTexts(IniDocument(bad), q);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.missingKey, b.key);
        EXPECT_EQ(r.message(), "Error in LANGUAGES\r" + b.key);
        EXPECT_TRUE(q.templateTexts().object.empty()); // nothing applied
    }
}
