// The desktop's structure-file flows: the start-up file, Open, Save and the close flow.
#include "UiTestSupport.h"
#include "core/base/AtomicFile.h"
#include "support/ScriptedInteraction.h"
#include "ui/Form1.h"

#include <QTreeView>
#include <QtTest>

using namespace zarn;

namespace {

const QString kRich = QStringLiteral(ZARN_SOURCE_DIR "/tests/data/structfile/rich.zrn");

std::string bytesOf(const std::string& path) {
    std::string bytes;
    readWholeFile(path, bytes);
    return bytes;
}

} // namespace

class StructureFileTest : public QObject {
    Q_OBJECT
private slots:
    void startupFileOpensAndSaveWritesItBack() {
        test::ProgramDir dir;
        ScriptedInteraction ui;
        TForm1 form(ProgramPaths::resolve("/nonexistent", dir.path()), &ui);
        QVERIFY(form.startUp());
        const std::string copy = dir.file(QStringLiteral("plan.zrn")).toStdString();
        QVERIFY(QFile::copy(kRich, QString::fromStdString(copy)));
        form.openStartupFile(copy);
        QCOMPARE(form.tree().nodeCount(), size_t(6));
        QVERIFY(form.document().saved());
        QCOMPARE(form.document().currentFileName(), copy);
        QVERIFY(!test::named<QWidget>(form, "PanelStruct")->isHidden());
        QCOMPARE(form.tree().selected(), form.tree().firstNode());
        QCOMPARE(form.structure().protocol().pageCount(), 7);
        QVERIFY(form.windowTitle().endsWith(QStringLiteral("plan.zrn")));

        // Save after a change that leaves the content as it was: the same bytes again.
        form.document().setSaved(false);
        QVERIFY(!form.document().saved());
        form.Save1Click();
        QVERIFY(form.document().saved());
        QCOMPARE(bytesOf(copy), bytesOf(kRich.toStdString()));
    }

    void failedSaveKeepsOldFileAndFlagClear() {
        test::ProgramDir dir;
        ScriptedInteraction ui;
        TForm1 form(ProgramPaths::resolve("/nonexistent", dir.path()), &ui);
        QVERIFY(form.startUp());
        form.openStartupFile(kRich.toStdString());
        form.renameNode(form.tree().firstNode(), "Renamed");
        QVERIFY(!form.document().saved());
        // Save As into a folder that does not exist: nothing is written.
        ui.saveFileAnswers.push_back(dir.file(QStringLiteral("missing/x.zrn")).toStdString());
        form.SaveAs1Click();
        QVERIFY(!form.document().saved());
        QVERIFY(!ui.messages.empty());
        QCOMPARE(ui.messages.back().type, DialogType::Error);
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("missing/x.zrn"))));
    }

    void openAsksFirstAndMissingFileShowsMessage() {
        test::ProgramDir dir;
        ScriptedInteraction ui;
        TForm1 form(ProgramPaths::resolve("/nonexistent", dir.path()), &ui);
        QVERIFY(form.startUp());
        form.openStartupFile(kRich.toStdString());
        form.renameNode(form.tree().firstNode(), "Changed");
        ui.answers.push_back(modal::No); // discard the change
        ui.openFileAnswers.push_back(dir.file(QStringLiteral("none.zrn")).toStdString());
        form.Open1Click();
        QCOMPARE(ui.messages.size(), size_t(2));
        QCOMPARE(ui.messages[1].text, form.texts().text("FileNotExist_40"));
        // The tree stays as it was; only the file name changed.
        QCOMPARE(form.tree().nodeCount(), size_t(6));
    }
};

QTEST_MAIN(StructureFileTest)
#include "test_ui_structurefile.moc"
