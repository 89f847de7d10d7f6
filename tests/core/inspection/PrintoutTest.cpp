#include "core/base/IniFile.h"
#include "core/inspection/PrintoutComments.h"
#include "core/inspection/PrintoutHeading.h"
#include "core/inspection/ProtocolPages.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace zarn;

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void writeIni(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }

    test::TempDir dir_{"zarn-printout"};
    const std::string path_ = dir_.file("ZARN.INI");
};

} // namespace

struct SwitchCase {
    const char* stored;
    const char* effective;
    bool comments, autotest, pages;
};

class Switches : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(Switches, ShortTextBecomes101AndOnlyZeroIsOff) {
    PrintoutComments c;
    c.setSwitches(GetParam().stored);
    EXPECT_EQ(c.switches(), GetParam().effective);
    EXPECT_EQ(c.printComments(), GetParam().comments);
    EXPECT_EQ(c.printAutotestComments(), GetParam().autotest);
    EXPECT_EQ(c.numberPages(), GetParam().pages);
}

INSTANTIATE_TEST_SUITE_P(Printout, Switches,
                         ::testing::Values(SwitchCase{"", "101", true, false, true},
                                           SwitchCase{"1", "101", true, false, true},
                                           SwitchCase{"00", "101", true, false, true},
                                           SwitchCase{"000", "000", false, false, false},
                                           SwitchCase{"0x1 ", "0x1 ", false, true, true},
                                           SwitchCase{"110", "110", true, true, false}));

TEST_F(SettingsFile, CommentsDefaultAndWriteAllKeys) {
    writeIni("[COMMENTS]\r\ncomm3=third\r\nscomm5=five\r\n");
    PrivateProfile settings(path_);
    PrintoutComments c;
    c.load(settings);
    EXPECT_EQ(c.storedSwitches(), "101"); // no "checks" key
    EXPECT_EQ(c.line(3), "third");
    EXPECT_EQ(c.autotestLine(5), "five");
    EXPECT_EQ(c.line(0), "");
    EXPECT_EQ(c.line(201), "");

    c.clearLines();
    c.setLine(200, "last");
    c.setSwitches("011");
    c.save(settings);
    const auto doc = IniDocument::load(path_);
    ASSERT_TRUE(doc);
    const auto keys = doc->keys("COMMENTS");
    for (int n = 1; n <= 200; ++n) {
        const auto key = "comm" + std::to_string(n);
        ASSERT_NE(std::find(keys.begin(), keys.end(), key), keys.end()) << key;
        EXPECT_EQ(doc->read("COMMENTS", key, "?"), n == 200 ? "last" : "") << key;
    }
    EXPECT_EQ(doc->read("COMMENTS", "scomm5", "?"), "");
    EXPECT_EQ(doc->read("COMMENTS", "checks"), "011");

    PrintoutComments back;
    back.load(settings);
    EXPECT_EQ(back, c);
}

TEST_F(SettingsFile, HeadingKeysAndLogoModeFromDigits) {
    PrivateProfile settings(path_);
    struct {
        const char* stored;
        int mode;
    } modes[] = {{"1", 1}, {"x", 0}, {"", 0}, {"a1b", 1}, {"99999999999", 0}};
    for (const auto& m : modes) {
        writeIni(std::string("[OPERATOR]\r\nOP1=Ann\r\nLogoText=") + m.stored +
                 "\r\nFOOTER3=f3\r\n[SITE]\r\nsite2=Hall\r\n");
        PrintoutHeading h;
        h.load(settings);
        EXPECT_EQ(h.logoMode(), m.mode) << m.stored;
        EXPECT_EQ(h.text(PrintoutHeading::Op1), "Ann");
        EXPECT_EQ(h.text(PrintoutHeading::Footer3), "f3");
        EXPECT_EQ(h.text(PrintoutHeading::Site2), "Hall");
        EXPECT_EQ(h.text(PrintoutHeading::Logo), "");
    }

    PrintoutHeading h;
    for (int i = 0; i < PrintoutHeading::TextCount; ++i)
        h.setText(static_cast<PrintoutHeading::Text>(i), "t" + std::to_string(i));
    h.setLogoMode(1);
    h.save(settings);
    const auto doc = IniDocument::load(path_);
    EXPECT_EQ(doc->read("SITE", "site3"), "t8");
    EXPECT_EQ(doc->read("OPERATOR", "Logo"), "t9");
    EXPECT_EQ(doc->read("OPERATOR", "LogoText"), "1");
    PrintoutHeading back;
    back.load(settings);
    EXPECT_EQ(back, h);
}

TEST(FormPage, CheckLineSetsBoxesByPosition) {
    TBlokPage page({});
    page.setChecksFromText("1x01");
    EXPECT_TRUE(page.check(1));
    EXPECT_FALSE(page.check(2)); // anything but "1" clears
    EXPECT_TRUE(page.check(4));
    EXPECT_FALSE(page.check(29)); // past the text's end
    EXPECT_FALSE(page.check(30));
    page.setCheck(29, true);
    EXPECT_EQ(page.checksText(), "10010000000000000000000000001");
    page.setChecksFromText("");
    EXPECT_EQ(page.checksText(), std::string(29, '0'));
    EXPECT_EQ(TStrelaPage({}).checksText().size(), 24u);
}
