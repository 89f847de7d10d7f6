#include "core/app/Workspace.h"

#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zarn;
namespace fs = std::filesystem;

namespace {

class WorkspaceTest : public testing::Test {
protected:
    void SetUp() override {
        ws_ = std::make_unique<Workspace>(dir_.string());
        TLStr& t = ws_->texts();
        t.set("Object_20", "OBJECT");
        t.set("Noname_8", "untitled");
        t.set("ExtensionMini_3", "zst");
        t.set("MainCaptionMini_20", "zarn");
        t.set("SaveResults_30", "Save results");
        t.set("SaveAs_30", "Save as");
        t.set("StructFiles_13", "Structure files");
        t.set("AlreadyExists_40", "already exists.");
        t.set("ReplaceIt_40", "Replace it?");
        ws_->applyConfiguration();
        ws_->loadDefaultNames();
        ws_->document().setFileWriter([this](const std::string& path) {
            written_.push_back(path);
            return writerWorks_;
        });
    }

    // A root with two leaves and rows for both leaves and one row of another block.
    void fillStructure() {
        InstallationTree& tree = ws_->tree();
        root_ = tree.createNode(NoNode);
        tree.initialiseNode(root_, kind::Object);
        tree.setText(root_, "001");
        tree.setId(root_, 2);
        for (int e : {1, 2}) {
            const NodeHandle leaf = tree.createNode(root_);
            tree.initialiseNode(leaf, kind::Particular);
            tree.setText(leaf, "00" + std::to_string(e));
            tree.setId(leaf, e);
            leaf_ = leaf;
        }
        ResultsTable& t = ws_->results();
        for (auto [b, e] : std::vector<std::pair<int, int>>{{2, 1}, {2, 2}, {3, 2}, {2, 2}}) {
            const int r = t.addRow();
            t.setCell(col::Ids, r, "1\r" + std::to_string(b) + "\r" + std::to_string(e));
            t.setCell(col::Names, r,
                      "001\r00" + std::to_string(b) + "\r00" + std::to_string(e) + "\r6,13");
        }
    }

    test::TempDir tmp_{"zarn-workspace"};
    const fs::path dir_ = tmp_.path();
    std::unique_ptr<Workspace> ws_;
    std::vector<std::string> written_;
    bool writerWorks_ = true;
    NodeHandle root_ = NoNode;
    NodeHandle leaf_ = NoNode;
};

} // namespace

TEST_F(WorkspaceTest, RenamingARootRenamesField2OfItsBlockRows) {
    fillStructure();
    ws_->document().setSaved(true);
    ws_->renameNode(root_, "Main\tboard\n");
    EXPECT_EQ(ws_->tree().text(root_), "Main board ");
    EXPECT_FALSE(ws_->document().saved());
    const ResultsTable& t = ws_->results();
    EXPECT_EQ(t.cell(col::Names, 1), "001\rMain board \r001\r6,13");
    EXPECT_EQ(t.cell(col::Names, 2), "001\rMain board \r002\r6,13");
    EXPECT_EQ(t.cell(col::Names, 3), "001\r003\r002\r6,13"); // another block
    EXPECT_EQ(t.cell(col::Names, 4), "001\rMain board \r002\r6,13");

    ws_->renameNode(leaf_, "L2");
    EXPECT_EQ(t.cell(col::Names, 1), "001\rMain board \r001\r6,13");
    EXPECT_EQ(t.cell(col::Names, 2), "001\rMain board \rL2\r6,13");
    EXPECT_EQ(t.cell(col::Names, 3), "001\r003\r002\r6,13");
}

TEST_F(WorkspaceTest, NewStructureAndDefaultNames) {
    fillStructure();
    ScriptedInteraction ui;
    ui.answers = {modal::Cancel};
    EXPECT_FALSE(ws_->newStructure(ui));
    EXPECT_EQ(ws_->tree().nodeCount(), 3u);

    ws_->settings().write("DEFNAMES", "OBJECT", "Building");
    ws_->loadDefaultNames();
    ui.answers = {modal::No};
    EXPECT_TRUE(ws_->newStructure(ui));
    EXPECT_EQ(ws_->tree().nodeCount(), 1u);
    EXPECT_EQ(ws_->results().rowCount(), 1);
    EXPECT_EQ(ws_->tree().text(ws_->tree().selected()), "Building1");
    EXPECT_TRUE(ws_->document().saved());
    EXPECT_EQ(ws_->document().currentFileName(), "untitled.zst");

    // An empty value takes the language's name; a language change resets the keys.
    ws_->settings().write("DEFNAMES", "OBJECT", "");
    ws_->settings().write("DEFNAMES", "FUSE", "F");
    ws_->loadDefaultNames();
    EXPECT_EQ(ws_->defaultNames().name(kind::Object), "OBJECT");
    EXPECT_EQ(ws_->defaultNames().name(kind::Fuse), "F");
    ws_->texts().set("FUSE_20", "Sicherung");
    ws_->resetDefaultNames();
    EXPECT_EQ(ws_->defaultNames().name(kind::Fuse), "Sicherung");
    EXPECT_EQ(ws_->settings().read("DEFNAMES", "FUSE", "x"), "");
    EXPECT_EQ(ws_->settings().read("DEFNAMES", "EATHING", "x"), "");
}

// Closing with unsaved results under the default name: Yes opens Save As; cancelling it asks
// again; No then discards.
TEST_F(WorkspaceTest, AskToKeepDataUnderDefaultName) {
    fillStructure();
    ASSERT_FALSE(ws_->document().saved());
    ScriptedInteraction ui;
    ui.answers = {modal::Yes, modal::No};
    ui.saveFileAnswers = {std::nullopt};
    EXPECT_EQ(ws_->askToKeepData(ui), modal::No);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "Save results ?");
    EXPECT_EQ(ui.messages[0].type, DialogType::Confirmation);
    EXPECT_TRUE(written_.empty());

    // Yes, then a name without a dot: the extension is appended and the file written.
    ui.answers = {modal::Yes};
    ui.saveFileAnswers = {(dir_ / "site").string()};
    EXPECT_EQ(ws_->askToKeepData(ui), modal::Yes);
    EXPECT_EQ(written_, (std::vector<std::string>{(dir_ / "site.zst").string()}));
    EXPECT_TRUE(ws_->document().saved());
    EXPECT_EQ(ws_->document().caption(), "zarn: " + (dir_ / "site.zst").string());
}

TEST_F(WorkspaceTest, AskToKeepDataWithChosenFile) {
    fillStructure();
    ws_->document().setCurrentFileName("/tmp/x/plant.zst");
    ws_->results().setCell(0, 1, "changed");
    ScriptedInteraction ui;
    writerWorks_ = false; // a failed write asks again
    ui.answers = {modal::Yes, modal::Cancel};
    EXPECT_EQ(ws_->askToKeepData(ui), modal::Cancel);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "Save results\r/tmp/x/plant.zst ?");
    EXPECT_EQ(written_.size(), 1u);

    writerWorks_ = true;
    ui.answers = {modal::Yes};
    EXPECT_EQ(ws_->askToKeepData(ui), modal::Yes);
    EXPECT_EQ(written_.back(), "/tmp/x/plant.zst");

    // Nothing to lose: no question at all.
    Workspace empty(dir_.string());
    ScriptedInteraction quiet;
    empty.document().setSaved(false);
    EXPECT_EQ(empty.askToKeepData(quiet), modal::Yes);
    EXPECT_TRUE(quiet.messages.empty());
}

TEST_F(WorkspaceTest, SaveAsAsksBeforeReplacing) {
    const std::string existing = (dir_ / "old.zst").string();
    std::ofstream(existing) << "x";
    ScriptedInteraction ui;
    // No: choose again; then Cancel on the second question stops without writing.
    ui.saveFileAnswers = {existing, existing};
    ui.answers = {modal::No, modal::Cancel};
    EXPECT_FALSE(ws_->saveAs(ui));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, existing + "\ralready exists.\rReplace it?");
    EXPECT_EQ(ui.messages[0].type, DialogType::Warning);
    EXPECT_TRUE(written_.empty());
    EXPECT_EQ(ws_->document().currentFileName(), "untitled.zst");

    ui.saveFileAnswers = {existing};
    ui.answers = {modal::Yes};
    EXPECT_TRUE(ws_->saveAs(ui));
    EXPECT_EQ(written_, (std::vector<std::string>{existing}));
    EXPECT_EQ(ws_->document().currentFileName(), existing);

    // Save to the chosen file needs no dialog.
    EXPECT_TRUE(ws_->save(ui));
    EXPECT_EQ(written_.size(), 2u);
    EXPECT_EQ(ws_->document().saveFilter(), "Structure files (*.zst)|*.zst");
}

TEST(DocumentState, ApplyingTheConfigurationFollowsTheLanguage) {
    DocumentState doc("/opt/zarn");
    TLStr t;
    t.set("Noname_8", "untitled");
    t.set("ExtensionMini_3", "zst");
    t.set("HelpFileMini_12", "zarn.hlp");
    t.set("Version_20", "Version");
    doc.applyConfiguration(t);
    EXPECT_EQ(doc.defaultFileName(), "untitled.zst");
    EXPECT_EQ(doc.currentFileName(), "untitled.zst"); // it was the old (empty) default
    EXPECT_EQ(doc.helpFileName(), "/opt/zarn/ZARN.CHM");
    EXPECT_EQ(doc.versionLine2(), "Version 4.03-QZ");

    t.set("Noname_8", "neu");
    t.set("ExtensionMini_3", "zsd");
    doc.applyConfiguration(t);
    EXPECT_EQ(doc.currentFileName(), "neu.zsd");
    doc.setCurrentFileName("/home/a.b/site.zsd");
    t.set("ExtensionMini_3", "zs1");
    doc.applyConfiguration(t);
    EXPECT_EQ(doc.currentFileName(), "/home/a.b/site.zs1");
    doc.setCurrentFileName("/home/a.b/site");
    doc.applyConfiguration(t);
    EXPECT_EQ(doc.currentFileName(), "/home/a.b/site");
}

// The extension is compared without regard to case: a name whose extension already matches
// keeps its own spelling, so Save writes the file that was opened and not one beside it.
TEST_F(WorkspaceTest, OpenedNameWithUpperCaseExtensionIsSavedToItself) {
    struct {
        const char* name;
        const char* current;
    } cases[] = {{"PLAN.ZST", "PLAN.ZST"},        {"plan.Zst", "plan.Zst"},
                 {"plan.zst", "plan.zst"},        {"plan.txt", "plan.zst"},
                 {"a.ZST.bak", "a.ZST.zst"},      {"plan.ZS", "plan.zst"},
                 {"dir.ZST/plan", "dir.ZST/plan"}};
    ScriptedInteraction ui;
    for (const auto& c : cases) {
        const std::string path = (dir_ / c.name).string();
        ws_->document().setCurrentFileName(path);
        ws_->applyConfiguration(); // as after reading the file
        EXPECT_EQ(ws_->document().currentFileName(), (dir_ / c.current).string()) << c.name;
        written_.clear();
        EXPECT_TRUE(ws_->save(ui));
        EXPECT_EQ(written_, std::vector<std::string>{(dir_ / c.current).string()}) << c.name;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(WorkspaceTest, ViewFontAndMenus) {
    const ViewFont current{"Courier New", 10, false};
    EXPECT_EQ(readViewFont(ws_->settings(), current), current);
    ws_->settings().write("TabFONTS", "FontName", "DejaVu Sans Mono");
    ws_->settings().write("TabFONTS", "FontSize", "12");
    ws_->settings().write("TabFONTS", "FontBold", "1");
    EXPECT_EQ(readViewFont(ws_->settings(), current), (ViewFont{"DejaVu Sans Mono", 12, true}));
    ws_->settings().write("TabFONTS", "FontSize", "big");
    ws_->settings().write("TabFONTS", "FontBold", "yes");
    EXPECT_EQ(readViewFont(ws_->settings(), current), (ViewFont{"DejaVu Sans Mono", 10, false}));

    const MenuVisibility v = menuVisibility();
    ASSERT_EQ(v.toolbar.size(), 4u);
    EXPECT_EQ(v.toolbar[2].button, ToolButton::ReceiveResults);
    EXPECT_EQ(v.toolbar[3].x, 116);
    EXPECT_EQ(v.hiddenToolButtons.size(), 3u);
    EXPECT_FALSE(v.structureEditingVisible);
}
