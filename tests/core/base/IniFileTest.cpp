#include "core/base/IniFile.h"

#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

using zarn::IniDocument;

TEST(IniDocument, PrivateProfileLookup) {
    IniDocument doc("\xEF\xBB\xBF[Setup]\r\nCOM = 3 \r\ncom=9\r\n; BAUD=1\r\nnoequals\r\n"
                    "[setup]\r\nBAUD=2\r\n[Other]\nA=1\nB=\nC= x y \n");
    EXPECT_EQ(doc.read("SETUP", "com", "-1"), "3");   // first match wins, trimmed
    EXPECT_EQ(doc.read("SETUP", "BAUD", "-1"), "-1"); // comment and second section ignored
    EXPECT_EQ(doc.read("other", "b", "dflt"), "");    // present but empty
    EXPECT_EQ(doc.read("other", "missing", "dflt"), "dflt");
    EXPECT_EQ(doc.read("nosection", "A", "d"), "d");
    EXPECT_EQ(doc.read("Other", "C"), "x y");
    EXPECT_EQ(doc.keys("OTHER"), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(doc.keys("setup"), (std::vector<std::string>{"COM", "com"}));
}

TEST(IniDocument, WriteKeepsEveryOtherLineByteForByte) {
    const std::string original = "; head\r\n[A]\r\nx = 1 \r\n\r\n[B]\r\ny=\xE8\x9A\r\n";
    IniDocument doc(original);
    doc.write("a", "X", "2");
    EXPECT_EQ(doc.bytes(), "; head\r\n[A]\r\nX=2\r\n\r\n[B]\r\ny=\xE8\x9A\r\n");
    doc.write("A", "new", "v");
    EXPECT_EQ(doc.bytes(), "; head\r\n[A]\r\nX=2\r\nnew=v\r\n\r\n[B]\r\ny=\xE8\x9A\r\n");
    doc.write("C", "k", "z");
    EXPECT_EQ(doc.bytes(),
              "; head\r\n[A]\r\nX=2\r\nnew=v\r\n\r\n[B]\r\ny=\xE8\x9A\r\n[C]\r\nk=z\r\n");

    IniDocument unterminated("[S]\nk=1");
    unterminated.write("S", "j", "2");
    EXPECT_EQ(unterminated.bytes(), "[S]\nk=1\nj=2\n");

    IniDocument empty;
    empty.write("SETUP", "COM", "3");
    EXPECT_EQ(empty.bytes(), "[SETUP]\nCOM=3\n");
}

TEST(PrivateProfile, CreatesFileAndIgnoresFailedWrites) {
    const zarn::test::TempDir dir("zarn-ini");
    zarn::PrivateProfile profile(dir.file("ZARN.INI"));
    EXPECT_EQ(profile.read("SETUP", "COM", "-1"), "-1");
    profile.write("SETUP", "COM", "3");
    profile.write("SETUP", "BAUD", "4");
    EXPECT_EQ(profile.read("setup", "com", "-1"), "3");
    EXPECT_EQ(profile.read("SETUP", "BAUD", "-1"), "4");

    zarn::PrivateProfile nowhere(dir.file("missing/ZARN.INI"));
    nowhere.write("SETUP", "COM", "1"); // must not throw
    EXPECT_EQ(nowhere.read("SETUP", "COM", "-1"), "-1");
}
