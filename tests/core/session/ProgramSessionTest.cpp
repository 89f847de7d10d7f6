// The start-up both faces run: the shipped data, and the failure rules of a broken language
// installation with ZARN.INI kept apart from the data (an installed program).
#include "core/session/ProgramSession.h"

#include "core/base/AtomicFile.h"
#include "core/base/IniFile.h"
#include "core/lang/LanguageFixture.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace zarn {
namespace {

using zarn::testing::indexFile;
using zarn::testing::languageFile;
using zarn::testing::ProgramDir;
using Failure = SessionTexts::Failure;

std::string shippedData() {
    return std::string(ZARN_DATA_DIR) + "/";
}

bool hasMenuText(const SessionTexts& loaded, const std::string& text) {
    return std::any_of(loaded.uiTexts.begin(), loaded.uiTexts.end(), [&](const UiText& t) {
        return t.role == TextRole::MenuItem && t.window == "TForm1" && t.text == text;
    });
}

TEST(ProgramSession, StartsWithTheShippedData) {
    ProgramDir config;
    config.write("ZARN.INI", "[SETUP]\r\nCOM=3\r\nBAUD=1\r\n");
    ScriptedInteraction ui;
    ProgramSession session({shippedData(), config.path() + "ZARN.INI"}, ui);
    const SessionTexts loaded = session.startUp();
    ASSERT_TRUE(loaded.ok());
    EXPECT_TRUE(ui.fatalErrors.empty());
    EXPECT_TRUE(hasMenuText(loaded, "&File"));
    const DocumentState& doc = session.workspace().document();
    // The edition texts give the extension rule its extension.
    EXPECT_EQ(doc.extension(), "zrn");
    EXPECT_EQ(doc.defaultFileName(), "untitled.zrn");
    EXPECT_EQ(doc.currentFileName(), "");
    EXPECT_TRUE(doc.saved());
    EXPECT_NE(doc.helpFileName().find("ZARN_EN.HTM"), std::string::npos);
    EXPECT_FALSE(session.workspace().namef().function(1).empty());
    EXPECT_EQ(session.portChoice(), (ComSelection{2, 0}));
}

TEST(ProgramSession, ChangingLanguageRenamesAnUntitledDocumentAndStoresTheChoice) {
    ProgramDir config;
    ScriptedInteraction ui;
    ProgramSession session({shippedData(), config.path() + "ZARN.INI"}, ui);
    ASSERT_TRUE(session.startUp().ok());
    session.workspace().document().setCurrentFileName("untitled.zrn");
    const SessionTexts loaded = session.changeLanguage(2); // Deutsch
    ASSERT_TRUE(loaded.ok());
    EXPECT_TRUE(hasMenuText(loaded, "&Datei"));
    EXPECT_EQ(session.workspace().document().currentFileName(), "unbenannt.zrn");
    EXPECT_EQ(PrivateProfile(config.path() + "ZARN.INI").read("SETUP", "Language", ""), "3");
}

struct BrokenCase {
    const char* name;
    bool index;                                   // LNG_MAIN.INI present
    std::map<std::string, std::string> overrides; // language texts ("" leaves a key out)
    std::string droppedProtocolKey;
    Failure failure;
    std::string fatalError;
    std::string storedLanguage; // SETUP Language afterwards
};

class BrokenLanguage : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenLanguage, EndsTheProgramByItsRule) {
    const BrokenCase& c = GetParam();
    ProgramDir data;
    ProgramDir config;
    config.write("ZARN.INI", "[SETUP]\r\nLanguage=2\r\n");
    if (c.index)
        data.write("LNG_MAIN.INI", indexFile({{"ONE1", "One", "ONE.LNG", "1033"},
                                              {"TWO1", "Two", "TWO.LNG", "1033"}}));
    data.write("ONE.LNG", languageFile("one "));
    std::string two = languageFile("two ", c.overrides);
    if (!c.droppedProtocolKey.empty()) {
        const size_t at = two.find("\r\n" + c.droppedProtocolKey + "=");
        ASSERT_NE(at, std::string::npos);
        two.erase(at + 2, two.find("\r\n", at + 2) - at);
    }
    data.write("TWO.LNG", two);

    ScriptedInteraction ui;
    ProgramSession session({data.path(), config.path() + "ZARN.INI"}, ui);
    const SessionTexts loaded = session.startUp();
    EXPECT_EQ(loaded.failure, c.failure);
    ASSERT_FALSE(ui.fatalErrors.empty());
    EXPECT_EQ(ui.fatalErrors.front(), c.fatalError);
    EXPECT_EQ(PrivateProfile(config.path() + "ZARN.INI").read("SETUP", "Language", ""),
              c.storedLanguage);
    // The settings stay where they are kept, never in the data directory.
    EXPECT_FALSE(std::filesystem::exists(data.path() + "ZARN.INI"));
    if (c.failure == Failure::ProtocolTexts) {
        EXPECT_EQ(loaded.missingKey, c.droppedProtocolKey);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, BrokenLanguage,
    ::testing::Values(
        BrokenCase{
            "NoLanguageIndex", false, {}, "", Failure::LanguageList, "Error in LANGUAGE.INI", "2"},
        BrokenCase{"LanguageTextMissing",
                   true,
                   {{"Noname_8", ""}},
                   "",
                   Failure::LanguageTexts,
                   "Error in LANGUAGE.INI\rNoname_8",
                   "1"},
        BrokenCase{"EditionTextMissing",
                   true,
                   {{"ExtensionMini_3", ""}},
                   "",
                   Failure::EditionTexts,
                   "Error in LANGUAGE.INI\rExtensionMini_3",
                   "1"},
        BrokenCase{"ProtocolTextMissing",
                   true,
                   {},
                   "OO_Lab1_0",
                   Failure::ProtocolTexts,
                   "Error in LANGUAGES\rOO_Lab1_0",
                   "2"}),
    [](const ::testing::TestParamInfo<BrokenCase>& info) { return std::string(info.param.name); });

TEST(ProgramSession, BrokenLanguageChosenLaterIsNotKept) {
    ProgramDir data;
    ProgramDir config;
    data.write("LNG_MAIN.INI", indexFile({{"ONE1", "One", "ONE.LNG", "1033"},
                                          {"TWO1", "Two", "MISSING.LNG", "1033"}}));
    data.write("ONE.LNG", languageFile("one "));
    ScriptedInteraction ui;
    ProgramSession session({data.path(), config.path() + "ZARN.INI"}, ui);
    ASSERT_TRUE(session.startUp().ok());
    EXPECT_EQ(session.changeLanguage(1).failure, Failure::LanguageTexts);
    EXPECT_EQ(PrivateProfile(config.path() + "ZARN.INI").read("SETUP", "Language", ""), "1");
}

// A language for one run (zarnctl demo --language) is used, and the stored choice is kept
// whatever becomes of it.
struct RunLanguageCase {
    const char* name;
    int index;
    Failure failure;
    std::string untitled; // the untitled name's text of a language that loaded
    bool errorShown;
};

class RunLanguage : public ::testing::TestWithParam<RunLanguageCase> {};

TEST_P(RunLanguage, LeavesTheStoredChoiceAlone) {
    const RunLanguageCase& c = GetParam();
    ProgramDir data;
    ProgramDir config;
    const std::string settings = "[SETUP]\r\nLanguage=2\r\n";
    config.write("ZARN.INI", settings);
    data.write("LNG_MAIN.INI", indexFile({{"ONE1", "One", "ONE.LNG", "1033"},
                                          {"TWO1", "Two", "TWO.LNG", "1033"},
                                          {"BAD1", "Bad", "MISSING.LNG", "1033"}}));
    data.write("ONE.LNG", languageFile("one "));
    data.write("TWO.LNG", languageFile("two "));
    ScriptedInteraction ui;
    ProgramSession session({data.path(), config.path() + "ZARN.INI"}, ui);
    session.useLanguageForRun(c.index);
    const SessionTexts loaded = session.startUp();
    EXPECT_EQ(loaded.failure, c.failure);
    if (!c.untitled.empty()) {
        EXPECT_EQ(session.workspace().texts().text("Noname_8"), c.untitled);
    }
    EXPECT_EQ(ui.fatalErrors.empty(), !c.errorShown);
    std::string stored;
    ASSERT_TRUE(readWholeFile(config.path() + "ZARN.INI", stored));
    EXPECT_EQ(stored, settings);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunLanguage,
    ::testing::Values(RunLanguageCase{"First", 0, Failure::None, "one Noname_8", false},
                      RunLanguageCase{"Stored", 1, Failure::None, "two Noname_8", false},
                      RunLanguageCase{"BrokenFile", 2, Failure::LanguageTexts, "", true},
                      RunLanguageCase{"NotListed", 3, Failure::NoSuchLanguage, "", false},
                      RunLanguageCase{"Negative", -1, Failure::NoSuchLanguage, "", false}),
    [](const ::testing::TestParamInfo<RunLanguageCase>& info) {
        return std::string(info.param.name);
    });

TEST(ProgramSession, DeviceForTheRunIsChosen) {
    ProgramDir config;
    ScriptedInteraction ui;
    ProgramSession session({shippedData(), config.path() + "ZARN.INI"}, ui);
    session.setPortChoice({4, 2});
    session.useDeviceForRun(0, "/tmp/zarn-sim");
    EXPECT_EQ(session.portChoice(), (ComSelection{0, 2}));
    EXPECT_EQ(session.portMap().pathOf(1), "/tmp/zarn-sim");
}

} // namespace
} // namespace zarn
