#include "LanguageFixture.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

using namespace zarn;
using namespace zarn::testing;

namespace {

LanguageSpec lang(const std::string& key, const std::string& file = "L.LNG",
                  const std::string& lcid = "1033") {
    return {key, "Name of " + key, file, lcid};
}

const UiText* findUi(const AppliedLanguage& applied, std::string_view window,
                     std::string_view control, TextRole role, int index = -1, int item = -1) {
    const auto it =
        std::find_if(applied.uiTexts.begin(), applied.uiTexts.end(), [&](const UiText& t) {
            return t.window == window && t.control == control && t.role == role &&
                   t.index == index && t.item == item;
        });
    return it == applied.uiTexts.end() ? nullptr : &*it;
}

} // namespace

// ---- The language list ----

struct FilterCase {
    const char* name;
    std::vector<std::string> listed;
    std::vector<std::string> kept; // empty: the list is unusable
};

class LanguageFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(LanguageFilter, RemovesRetiredKeysByExactBytes) {
    const auto& c = GetParam();
    ProgramDir dir;
    // [Languages] lists the keys; every key has its section. A lower-case key finds its
    // section case-insensitively, as [DEUTSCH2] serves "deutsch2".
    std::string bytes = "[Languages]\r\n";
    for (const auto& key : c.listed)
        bytes += key + "=\r\n";
    for (const auto& key : c.listed)
        bytes += "[" + (key == "deutsch2" ? std::string("DEUTSCH2") : key) +
                 "]\r\nDispName=Name\r\nFile=L.LNG\r\nlcid=1033\r\n";
    dir.write("LNG_MAIN.INI", bytes);

    LanguageRig rig(dir);
    const bool ok = rig.language.LoadLanguageList();
    EXPECT_EQ(rig.language.languages(), c.kept);
    if (c.kept.empty()) {
        EXPECT_FALSE(ok);
        EXPECT_TRUE(rig.language.terminateRequested());
        EXPECT_EQ(rig.messages(), std::vector<std::string>{"Error in LANGUAGE.INI"});
    } else {
        EXPECT_TRUE(ok);
        EXPECT_TRUE(rig.messages().empty());
        EXPECT_EQ(rig.language.displayNames().size(), c.kept.size());
        EXPECT_EQ(rig.language.itemIndex(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LanguageFilter,
    ::testing::Values(
        FilterCase{"OnlyRetired", {"DEUTSCH2", "ROMANIAN1"}, {}},
        FilterCase{"AllTenRetired",
                   {"ITALIANO2", "ITALIANO_QUELD", "ESPA\xD1OL2", "HUNGARIAN1", "SVENSKA2",
                    "DEUTSCH2", "MAKEDONSKI1", "PORTUGUES1", "NEDERLANDS1", "ROMANIAN1"},
                   {}},
        FilterCase{
            "RetiredFirst", {"ITALIANO2", "ENGLISH1", "SLOVENSKI1"}, {"ENGLISH1", "SLOVENSKI1"}},
        FilterCase{
            "CaseSensitive", {"ITALIANO2", "deutsch2", "Romanian1"}, {"deutsch2", "Romanian1"}},
        // The retired Spanish key is the single byte 0xD1; its UTF-8 spelling is another key.
        FilterCase{"ByteD1",
                   {"ESPA\xD1OL2", "ESPA\xC3\x91OL2", "ENGLISH1"},
                   {"ESPA\xC3\x91OL2", "ENGLISH1"}},
        FilterCase{"OrderKept",
                   {"ZULU1", "DEUTSCH1", "ROMANIAN1", "ALBANIAN1"},
                   {"ZULU1", "DEUTSCH1", "ALBANIAN1"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LanguageList, MissingIndexFileEndsTheProgram) {
    ProgramDir dir;
    LanguageRig rig(dir);
    EXPECT_FALSE(rig.language.LoadLanguageList());
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Error in LANGUAGE.INI"});
    EXPECT_EQ(dir.setting("SETUP", "Language"), "<none>");
}

struct StoredCase {
    const char* name;
    const char* stored; // nullptr: no key
    int expectedIndex;
};

class StoredLanguage : public ::testing::TestWithParam<StoredCase> {};

TEST_P(StoredLanguage, SelectsByDigitsOfTheStoredNumber) {
    const auto& c = GetParam();
    ProgramDir dir;
    dir.write("LNG_MAIN.INI", indexFile({lang("ENGLISH1"), lang("SLOVENSKI1")}));
    if (c.stored)
        dir.write("ZARN.INI", std::string("[SETUP]\r\nLANGUAGE=") + c.stored + "\r\n");
    LanguageRig rig(dir);
    ASSERT_TRUE(rig.language.LoadLanguageList());
    EXPECT_EQ(rig.language.itemIndex(), c.expectedIndex);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredLanguage,
    ::testing::Values(StoredCase{"Missing", nullptr, 0}, StoredCase{"Zero", "0", 0},
                      StoredCase{"One", "1", 0}, StoredCase{"Two", "2", 1},
                      StoredCase{"BeyondList", "3", 0}, StoredCase{"NoDigits", "abc", 0},
                      StoredCase{"TrailingLetter", "2a", 1},
                      StoredCase{"DigitsAmongText", "x2y", 1}, StoredCase{"Negative", "-2", 1},
                      StoredCase{"Beyond32Bits", "4294967298", 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct EntryCase {
    const char* name;
    LanguageSpec second; // the broken language, listed second
    const char* message;
};

class BrokenIndexEntry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(BrokenIndexEntry, ReportsTheNameAndResetsTheLanguage) {
    const auto& c = GetParam();
    ProgramDir dir;
    dir.write("LNG_MAIN.INI", indexFile({lang("ENGLISH1"), c.second}));
    dir.write("ZARN.INI", "[SETUP]\r\nLanguage=2\r\n");
    dir.write("X.LNG", languageFile("x:"));
    LanguageRig rig(dir);
    rig.language.setStartupBegun();
    // The list checks names and lcids; the file name is read when the language is opened.
    if (rig.language.LoadLanguageList()) {
        EXPECT_TRUE(rig.language.ApplyLanguage().terminate);
    }
    EXPECT_TRUE(rig.language.terminateRequested());
    EXPECT_EQ(rig.messages(), std::vector<std::string>{c.message});
    EXPECT_EQ(dir.setting("SETUP", "Language"), "1");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenIndexEntry,
    ::testing::Values(
        EntryCase{"NoDispName", {"X1", "", "X.LNG", "1033"}, "Error in LNG_MAIN.INI\rDispName"},
        EntryCase{"NoFile", {"X1", "X", "", "1033"}, "Error in LNG_MAIN.INI\rFile"},
        EntryCase{"NoLcid", {"X1", "X", "X.LNG", ""}, "Error in LNG_MAIN.INI\rlcid"},
        // A broken lcid stops start-up cleanly instead of leaving the program
        // half set up.
        EntryCase{"LcidNotANumber", {"X1", "X", "X.LNG", "10x"}, "Error in LNG_MAIN.INI\rlcid"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Applying a language ----

class ApplyLanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("LNG_MAIN.INI", indexFile({lang("ENGLISH1", "EN.LNG", "1033"),
                                             lang("SLOVENSKI1", "SL.LNG", "1060"),
                                             lang("MAK1", "MK.LNG", "1071")}));
        dir.write("EN.LNG", languageFile("en:"));
        dir.write("SL.LNG", languageFile("sl:", {{"Noname_8", "neimenovano"}}));
        dir.write("MK.LNG", languageFile("mk:"));
    }
    AppliedLanguage start(LanguageRig& rig, std::string_view currentFileName = {}) {
        rig.language.setStartupBegun();
        EXPECT_TRUE(rig.language.LoadLanguageList());
        return rig.language.ApplyLanguage(currentFileName);
    }

    ProgramDir dir;
};

TEST_F(ApplyLanguageTest, FillsTextTableWindowsDialogsAndNamef) {
    LanguageRig rig(dir);
    const auto applied = start(rig);
    ASSERT_FALSE(applied.terminate);
    EXPECT_TRUE(rig.messages().empty());
    EXPECT_EQ(rig.language.currentKey(), "ENGLISH1");
    EXPECT_EQ(rig.language.languageFilePath(), dir.path() + "EN.LNG");

    EXPECT_EQ(rig.texts.text("CommError_40"), "en:CommError_40");
    EXPECT_EQ(rig.texts.text("&DeleteRow_30"), "en:&DeleteRow_30");
    EXPECT_EQ(rig.texts.text("Error_30"), "en:Error_30");
    EXPECT_EQ(rig.texts.text("HintNew_30"), ""); // a hint, not a table text
    EXPECT_EQ(rig.texts.defaultFileName(), "en:Noname_8.en:ExtensionVEKO_3");
    EXPECT_EQ(rig.texts.buttonCaption(0), "en:&Yes_11");
    EXPECT_EQ(rig.texts.buttonCaption(12), "en:&Custom_11");
    EXPECT_EQ(rig.texts.dialogTitle(4), "en:Custom_30");
    EXPECT_EQ(rig.namef.function(1), "Continuity");
    EXPECT_EQ(rig.namef.unit(1), "Ohm");

    struct Expect {
        const char* window;
        const char* control;
        TextRole role;
        int index;
        int item;
        std::string text;
    };
    const Expect expected[] = {
        {"TForm1", "MainMenu1", TextRole::MenuItem, 0, -1, "en:&File_30"},
        {"TForm1", "MainMenu1", TextRole::MenuItem, 0, 1, "en:&Open_30"},
        {"TForm1", "MainMenu1", TextRole::MenuItem, 4, 4, "en:&About_30"},
        {"TForm1", "Popup1", TextRole::MenuItem, 5, -1, "en:&DeleteRow_30"},
        {"TForm1", "IcoReceiveR", TextRole::Hint, -1, -1, "en:HintReceiveR_30"},
        {"TProtocol", "IcoLoad", TextRole::Hint, -1, -1, "en:HintLoadImage_30"},
        {"TConfigureCOM", "OKBtn", TextRole::Caption, -1, -1, "en:&OK_11"},
        {"TConfigureCOM", "Cancel2Btn", TextRole::Caption, -1, -1, "en:&Cancel_11"},
        {"TConfigureCOM", "", TextRole::Caption, -1, -1, "en:ConfigureCOMPort_30"},
        {"TSelectLanguage", "LangGroup", TextRole::Caption, -1, -1, "en:Language_25"},
        {"TExportDlg", "RowDelimiter", TextRole::ListItem, 2, -1, "en:LF_15"},
        {"TPreview", "Zoom", TextRole::ListItem, 13, -1, "en:WholePage_12"},
        {"TPersonalData", "Picture", TextRole::WindowText, -1, -1, "en:Picture_11"},
        {"TDefaultNames", "labConnection2", TextRole::Caption, -1, -1, "en:POVEZAVA_20:"},
        {"MessageDialog", "", TextRole::DialogButton, 2, -1, "en:&OK_11"},
        {"MessageDialog", "", TextRole::DialogTitle, 1, -1, "en:Error_30"},
    };
    for (const auto& e : expected) {
        const UiText* t = findUi(applied, e.window, e.control, e.role, e.index, e.item);
        ASSERT_NE(t, nullptr) << e.window << "." << e.control;
        EXPECT_EQ(t->text, e.text) << e.window << "." << e.control;
    }
    EXPECT_EQ(std::count_if(applied.uiTexts.begin(), applied.uiTexts.end(),
                            [](const UiText& t) { return t.role == TextRole::DialogButton; }),
              13);
    // The graph window's stop caption and the About box's three lines are only required.
    EXPECT_EQ(findUi(applied, "TGraphForm", "IcoExit", TextRole::Caption), nullptr);
    EXPECT_EQ(std::count_if(
                  applied.uiTexts.begin(), applied.uiTexts.end(),
                  [](const UiText& t) { return t.text.find("Internet_30") != std::string::npos; }),
              0);
}

TEST_F(ApplyLanguageTest, DollarBecomesLineBreakOnlyInProtocolHeadings) {
    dir.write("EN.LNG", languageFile("en:", {{"Glava5_0", "Riso$MΩ"},
                                             {"GlavaFE2_0", "m$A"},
                                             {"VGlava3_0", "Results$R"},
                                             {"CommError_40", "a$b"},
                                             {"&OK_11", "O$K"}}));
    LanguageRig rig(dir);
    const auto applied = start(rig);
    ASSERT_FALSE(applied.terminate);
    EXPECT_EQ(rig.texts.text("Glava5_0"), "Riso\rMΩ");
    EXPECT_EQ(rig.texts.text("GlavaFE2_0"), "m\rA");
    EXPECT_EQ(rig.texts.text("VGlava3_0"), "Results$R");
    EXPECT_EQ(rig.texts.text("CommError_40"), "a$b");
    EXPECT_EQ(findUi(applied, "TConfigureCOM", "OKBtn", TextRole::Caption)->text, "O$K");
}

TEST_F(ApplyLanguageTest, OnlyTheTextTableCutsToCapacity) {
    const std::string long150(150, 'w');
    const std::string unit25 = "abcdefghijklmnopqrstuvwxy";
    dir.write("EN.LNG", languageFile("en:", {{"Wait_25", long150},
                                             {"&File_30", long150},
                                             {"GlavaE3_0", unit25},
                                             {"GlavaS2E1_0", unit25},
                                             {"Glava3_0", unit25}}));
    LanguageRig rig(dir);
    const auto applied = start(rig);
    ASSERT_FALSE(applied.terminate);
    EXPECT_EQ(rig.texts.text("Wait_25"), std::string(100, 'w'));
    EXPECT_EQ(findUi(applied, "TConfigureCOM", "WaitLab", TextRole::Caption)->text, long150);
    EXPECT_EQ(findUi(applied, "TForm1", "MainMenu1", TextRole::MenuItem, 0)->text, long150);
    EXPECT_EQ(rig.texts.text("GlavaE3_0"), unit25.substr(0, 20));
    EXPECT_EQ(rig.texts.text("GlavaS2E1_0"), unit25.substr(0, 20));
    EXPECT_EQ(rig.texts.text("Glava3_0"), unit25); // a heading, not a unit
}

TEST_F(ApplyLanguageTest, EmptyHeadingEntriesAreClearedOnEveryLoad) {
    LanguageRig rig(dir);
    for (const char* key : {"GlavaE0_0", "GlavaFE0_0", "GlavaS1E0_0", "GlavaS1E4_0", "GlavaS2E0_0"})
        rig.texts.set(key, "stale");
    dir.write("EN.LNG", languageFile("en:", {{"GlavaS1E4_0", "from file"}}));
    ASSERT_FALSE(start(rig).terminate);
    for (const char* key : {"GlavaE0_0", "GlavaFE0_0", "GlavaS1E0_0", "GlavaS1E4_0", "GlavaS2E0_0"})
        EXPECT_EQ(rig.texts.text(key), "") << key;
}

struct MissingCase {
    const char* name;
    const char* key;
    const char* tableKeyAfter; // a text-table key read later, or nullptr
};

class MissingLanguageKey : public ::testing::TestWithParam<MissingCase> {};

TEST_P(MissingLanguageKey, EndsTheProgramAfterStartupBegan) {
    ProgramDir dir;
    dir.write("LNG_MAIN.INI",
              indexFile({lang("ENGLISH1", "EN.LNG"), lang("SLOVENSKI1", "SL.LNG")}));
    dir.write("ZARN.INI", "[SETUP]\r\nLanguage=2\r\n");
    dir.write("SL.LNG", languageFile("sl:", {{GetParam().key, ""}}));
    LanguageRig rig(dir);
    rig.language.setStartupBegun();
    ASSERT_TRUE(rig.language.LoadLanguageList());
    ASSERT_EQ(rig.language.itemIndex(), 1);
    const auto applied = rig.language.ApplyLanguage();
    EXPECT_TRUE(applied.terminate);
    EXPECT_TRUE(rig.language.terminateRequested());
    EXPECT_EQ(rig.messages(),
              std::vector<std::string>{std::string("Error in LANGUAGE.INI\r") + GetParam().key});
    EXPECT_EQ(dir.setting("SETUP", "Language"), "1");
    // Nothing after the failing key is applied, NAMEF included.
    if (GetParam().tableKeyAfter) {
        EXPECT_EQ(rig.texts.text(GetParam().tableKeyAfter), "");
    }
    EXPECT_EQ(rig.namef.function(1), "");
}

INSTANTIATE_TEST_SUITE_P(Keys, MissingLanguageKey,
                         ::testing::Values(MissingCase{"First", "ExtensionVEKO_3", "CommError_40"},
                                           MissingCase{"Hint", "HintNew_30", "Glava0_0"},
                                           MissingCase{"OnlyRequired", "Email_30", "NoResult_20"},
                                           MissingCase{"Last", "WholePage_12", nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ApplyLanguageTest, MissingFileReportsTheFirstKey) {
    dir.write("ZARN.INI", "[SETUP]\r\nLanguage=2\r\n");
    std::filesystem::remove(dir.path() + "SL.LNG");
    LanguageRig rig(dir);
    EXPECT_TRUE(start(rig).terminate);
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Error in LANGUAGE.INI\rExtensionVEKO_3"});
    EXPECT_EQ(dir.setting("SETUP", "Language"), "1");
}

TEST_F(ApplyLanguageTest, BeforeStartupMissingTextsStayEmptyAndLoadingGoesOn) {
    dir.write("EN.LNG", languageFile("en:", {{"CommError_40", ""}, {"&OK_11", ""}}));
    LanguageRig rig(dir);
    ASSERT_TRUE(rig.language.LoadLanguageList());
    rig.texts.set("CommError_40", "old");
    const auto applied = rig.language.ApplyLanguage();
    EXPECT_FALSE(applied.terminate);
    EXPECT_FALSE(rig.language.terminateRequested());
    // &OK_11 is read in nine places; each read reports it.
    const auto messages = rig.messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.front(), "Error in LANGUAGE.INI\rCommError_40");
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "Error in LANGUAGE.INI\r&OK_11"), 9);
    EXPECT_EQ(rig.texts.text("CommError_40"), "");
    EXPECT_EQ(rig.texts.buttonCaption(2), "");
    EXPECT_EQ(rig.texts.text("TextFiles_12"), "en:TextFiles_12");
    EXPECT_EQ(rig.namef.function(1), "Continuity");
    EXPECT_EQ(dir.setting("SETUP", "Language"), "1");
}

TEST_F(ApplyLanguageTest, EmptyNamefSectionEndsTheProgram) {
    dir.write("EN.LNG", languageFile("en:", {}, "; no entries\r\n"));
    LanguageRig rig(dir);
    EXPECT_TRUE(start(rig).terminate);
    EXPECT_EQ(rig.messages(), std::vector<std::string>{"Error in NAMEF"});
}

TEST_F(ApplyLanguageTest, UntitledStructureTakesTheNewLanguagesName) {
    LanguageRig rig(dir);
    auto applied = start(rig, "");
    ASSERT_FALSE(applied.terminate);
    const std::string englishUntitled = rig.texts.defaultFileName();
    EXPECT_EQ(applied.currentFileName, ""); // no structure yet: stays empty

    LanguageSelection dialog(rig.language);
    dialog.activate();
    dialog.choose(1);
    applied = dialog.ok(englishUntitled);
    ASSERT_FALSE(applied.terminate);
    EXPECT_EQ(applied.currentFileName, "neimenovano.sl:ExtensionVEKO_3");

    dialog.activate();
    dialog.choose(0);
    applied = dialog.ok("/home/user/plant.zrn");
    EXPECT_EQ(applied.currentFileName, "/home/user/plant.zrn");
}

TEST_F(ApplyLanguageTest, SelectLanguageOkStoresThenAppliesAndCancelChangesNothing) {
    LanguageRig rig(dir);
    ASSERT_FALSE(start(rig).terminate);
    LanguageSelection dialog(rig.language);

    dialog.activate();
    dialog.choose(2);
    dialog.closeQuery(); // Cancel
    EXPECT_EQ(rig.language.itemIndex(), 0);
    EXPECT_EQ(dir.setting("SETUP", "Language"), "<none>");
    EXPECT_EQ(rig.texts.text("CommError_40"), "en:CommError_40");

    dialog.activate();
    dialog.choose(1);
    const auto applied = dialog.ok("");
    dialog.closeQuery();
    EXPECT_FALSE(applied.terminate);
    EXPECT_EQ(rig.language.itemIndex(), 1);
    EXPECT_EQ(dir.setting("SETUP", "Language"), "2");
    EXPECT_EQ(rig.texts.text("CommError_40"), "sl:CommError_40");
    EXPECT_EQ(rig.language.currentKey(), "SLOVENSKI1");
}

TEST_F(ApplyLanguageTest, BrokenChoiceIsNotStored) {
    dir.write("MK.LNG", languageFile("mk:", {{"Low_15", ""}}));
    LanguageRig rig(dir);
    ASSERT_FALSE(start(rig).terminate);
    LanguageSelection dialog(rig.language);
    dialog.activate();
    dialog.choose(2);
    EXPECT_TRUE(dialog.ok("").terminate);
    EXPECT_EQ(dir.setting("SETUP", "Language"), "1");
}

TEST_F(ApplyLanguageTest, CharsetFollowsTheLcid) {
    dir.write("ZARN.INI", "[SETUP]\r\nLanguage=3\r\n");
    LanguageRig rig(dir);
    const auto applied = start(rig);
    ASSERT_FALSE(applied.terminate);
    EXPECT_EQ(applied.charset, 204);
    EXPECT_EQ(rig.language.lcid(), 1071);

    for (auto [lcid, charset] : {std::pair{1071, 204}, {1049, 1}, {1060, 1}, {1033, 1}, {0, 1}})
        EXPECT_EQ(TLanguage::CharsetForLcid(lcid), charset) << lcid;
}

TEST(LanguageKeys, PlanCoversEveryKeyWithValidTargets) {
    const auto& required = requiredLanguageKeys();
    EXPECT_EQ(required.size(), std::set<std::string>(required.begin(), required.end()).size());
    EXPECT_EQ(required.front(), "ExtensionVEKO_3");
    EXPECT_EQ(required.back(), "ExtensionINSTAL_3");
    for (const auto& step : languageKeyPlan()) {
        EXPECT_FALSE(step.key.empty());
        if (step.toUi) {
            EXPECT_FALSE(step.window.empty()) << step.key;
        }
    }
    EXPECT_EQ(protocolTextKeys().size(), 21u + 9 + 29 + 33 + 9 + 6 + 2);
}
