// Receive Results and Instrument's Data in the desktop, against the simulated instrument on a
// pseudo-terminal.
#include "UiTestSupport.h"
#include "sim/InstrumentSimulator.h"
#include "sim/SimulatorLink.h"
#include "support/ScriptedInteraction.h"
#include "ui/Form1.h"
#include "ui/InstrumentData.h"
#include "ui/StringGridAll.h"
#include "ui/TreeModel.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>
#include <functional>
#include <memory>
#include <utility>

using namespace zarn;

namespace {

// Scripted answers, and a look at the window in the middle of a transfer.
class MidTransferInteraction : public ScriptedInteraction {
public:
    int atCall = 0;
    std::function<void()> look;
    void processEvents() override {
        ScriptedInteraction::processEvents();
        if (look && processEventsCalls == atCall)
            std::exchange(look, nullptr)();
    }
};

struct Fixture {
    test::ProgramDir dir;
    MidTransferInteraction ui;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<SimulatorLink> instrument;

    explicit Fixture(std::vector<std::string> records, uint16_t typeCode = 16) {
        dir.writeSettings("[SETUP]\r\nCOM=5\r\n");
        form = std::make_unique<TForm1>(ProgramPaths::resolve("/nonexistent", dir.path()), &ui);
        instrument = std::make_unique<SimulatorLink>(InstrumentSimulator(
            {identificationPayload(typeCode, {"name", "code", "line 3", "SN 12", "firm", "user"}),
             std::move(records)}));
    }
    // A file of the test's own in the program directory.
    std::string file(const char* name, const QByteArray& bytes = {}) const {
        const QString path = dir.file(QString::fromLatin1(name));
        if (!bytes.isEmpty()) {
            QFile f(path);
            if (f.open(QIODevice::WriteOnly))
                f.write(bytes);
        }
        return path.toStdString();
    }
    // File > Save As to the given name.
    void saveAs(const std::string& path) {
        ui.saveFileAnswers.push_back(path);
        test::named<QAction>(*form, "SaveAs1")->trigger();
    }
    static QByteArray familyLine(const std::string& path) {
        QFile f(QString::fromStdString(path));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        f.readLine();
        return f.readLine();
    }
    // As zarn --simulator does it.
    void pointComOneAtTheInstrument() { form->useDeviceForRun(0, instrument->slavePath()); }
};

std::vector<std::string> records(int blocks, int elements) {
    std::vector<std::string> r;
    for (int b = 1; b <= blocks; ++b)
        for (int e = 1; e <= elements; ++e)
            r.push_back(recordPayload(uint16_t(b), uint16_t(e), 3, {{'R', 4, 3, "> 999"}}));
    return r;
}

} // namespace

class InstrumentTest : public QObject {
    Q_OBJECT
private slots:
    void receiveResultsFillsTreeViewAndCaption() {
        Fixture f(records(3, 4));
        QVERIFY(f.form->startUp());
        f.pointComOneAtTheInstrument();
        TForm1& w = *f.form;
        w.document().setCurrentFileName("/tmp/earlier.zrn");
        test::named<QAction>(w, "ReceiveResults1")->trigger();

        QVERIFY2(f.ui.messages.empty(), f.ui.messages.empty() ? "" : f.ui.messages[0].text.c_str());
        QCOMPARE(w.tree().childCount(NoNode), 3);
        QCOMPARE(w.Tabela().resultCount(), 12);
        QVERIFY(!test::named<QWidget>(w, "PanelStruct")->isHidden());
        QCOMPARE(w.tree().selected(), w.tree().firstNode());
        QCOMPARE(test::named<QTreeView>(w, "Tree")->currentIndex(),
                 w.treeModel()->indexOf(w.tree().firstNode()));
        // The first root is opened with all below it; the others stay closed.
        QVERIFY(test::named<QTreeView>(w, "Tree")->isExpanded(
            w.treeModel()->indexOf(w.tree().firstNode())));
        QVERIFY(!test::named<QTreeView>(w, "Tree")->isExpanded(
            w.treeModel()->indexOf(w.tree().child(NoNode, 1))));
        QCOMPARE(test::named<TStringGridAll>(w, "TabelaV")->rowCount(),
                 1 + 4); // heading and the first block's rows
        QVERIFY(w.windowTitle().endsWith(QString::fromStdString(w.document().defaultFileName())));
        QVERIFY(!w.document().saved());
        QVERIFY(!w.comm().isOpen());
        QVERIFY(!f.ui.progressVisible);
    }

    // While records arrive, no command can reach into the document or the port, the tree
    // cannot be renamed, and closing the window waits until the transfer has ended.
    void commandsWaitForTheTransfer() {
        Fixture f(records(2, 20));
        QVERIFY(f.form->startUp());
        f.pointComOneAtTheInstrument();
        TForm1& w = *f.form;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        bool running = false;
        QStringList enabled;
        bool renaming = true;
        bool closed = true;
        bool portOpen = false;
        f.ui.atCall = 10;
        f.ui.look = [&] {
            running = w.instrumentCommandRunning();
            for (QAction* a : test::menuEntries(w))
                if (!a->isSeparator() && a->isEnabled())
                    enabled << a->objectName();
            for (QAction* a : w.visibleToolButtons())
                if (a->isEnabled())
                    enabled << a->objectName();
            renaming = w.treeModel()->renamingAllowed();
            closed = w.close();
            portOpen = w.comm().isOpen();
        };
        test::named<QAction>(w, "ReceiveResults1")->trigger();

        QVERIFY(f.ui.look == nullptr); // the look was taken mid-transfer
        QVERIFY(running);
        QCOMPARE(enabled, QStringList());
        QVERIFY(!renaming);
        QVERIFY(!closed);
        QVERIFY(portOpen);
        QVERIFY2(f.ui.messages.empty(), f.ui.messages.empty() ? "" : f.ui.messages[0].text.c_str());
        QCOMPARE(w.Tabela().resultCount(), 40);
        QVERIFY(!w.instrumentCommandRunning());
        QVERIFY(test::named<QAction>(w, "ReceiveResults1")->isEnabled());
        QVERIFY(w.treeModel()->renamingAllowed());
        QVERIFY(!test::named<QAction>(w, "New1")->isVisible());

        // The close asked for during the transfer happens now, with the usual question.
        f.ui.answers = {modal::No};
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(f.ui.messages.size(), size_t(1));
    }

    // A file of another family hides the structure; received results of this product show
    // it again and are saved with this product's family, so that they read back whole.
    void receivedAfterAForeignFileAreSavedWhole() {
        Fixture f(records(2, 3));
        QVERIFY(f.form->startUp());
        f.pointComOneAtTheInstrument();
        TForm1& w = *f.form;
        w.openStartupFile(f.file("foreign.zrn", "*** INSTAL STRUCTURE v11\r\n4\r\n"));
        QVERIFY(test::named<QWidget>(w, "PanelStruct")->isHidden());

        test::named<QAction>(w, "ReceiveResults1")->trigger();
        QVERIFY(!test::named<QWidget>(w, "PanelStruct")->isHidden());
        QCOMPARE(w.Tabela().resultCount(), 6);
        const std::string saved = f.file("received.zrn");
        f.saveAs(saved);
        QCOMPARE(Fixture::familyLine(saved), QByteArray("16\r\n"));

        w.openStartupFile(f.file("hello.zrn", "hello\r\n"));
        QVERIFY2(!test::named<QWidget>(w, "PanelStruct")->isHidden(),
                 "no structure file: the family stays");
        w.openStartupFile(saved);
        QVERIFY(!test::named<QWidget>(w, "PanelStruct")->isHidden());
        QCOMPARE(w.Tabela().resultCount(), 6);
        QCOMPARE(w.tree().childCount(NoNode), 2);
        QCOMPARE(w.tree().childCount(w.tree().firstNode()), 3);
    }

    void typeCodeOneHundredAndFourIsSavedAsFamilyFour() {
        Fixture f(records(1, 2), 104);
        QVERIFY(f.form->startUp());
        f.pointComOneAtTheInstrument();
        TForm1& w = *f.form;
        w.openStartupFile(f.file("hello.zrn", "hello\r\n")); // shows the (empty) structure
        test::named<QAction>(w, "ReceiveResults1")->trigger();
        QVERIFY2(f.ui.messages.empty(), f.ui.messages.empty() ? "" : f.ui.messages[0].text.c_str());
        QCOMPARE(w.Tabela().resultCount(), 0);
        const std::string saved = f.file("family4.zrn");
        f.saveAs(saved);
        QCOMPARE(Fixture::familyLine(saved), QByteArray("4\r\n"));
        w.openStartupFile(saved);
        QVERIFY(test::named<QWidget>(w, "PanelStruct")->isHidden());
    }

    void portThatDoesNotOpenSaysCommError() {
        Fixture f(records(1, 1));
        QVERIFY(f.form->startUp());
        f.form->session().setPortChoice({15, 3}); // COM16: no device on a test machine
        test::named<QAction>(*f.form, "ReceiveResults1")->trigger();
        QCOMPARE(f.ui.messages.size(), size_t(1));
        QVERIFY(f.ui.messages[0].text.rfind("11: COMM ERROR", 0) == 0);
        QCOMPARE(f.form->Tabela().resultCount(), 0);
    }

    void instrumentDataShowsRowZeroThenWhatTheInstrumentSays() {
        Fixture f({});
        QVERIFY(f.form->startUp());
        f.pointComOneAtTheInstrument();
        TForm1& w = *f.form;
        w.Tabela().setCell(1, 0, "A\rB\rC\rSN 1\rE\rF\rG\rH");
        w.Tabela().setCell(3, 0, "u1\ru2");
        TInstrumentData& d = *test::named<TInstrumentData>(w, "TInstrumentData");
        d.show();
        QCOMPARE(d.InstrBox->toPlainText(), QStringLiteral("A\nB\nC\nE"));
        QCOMPARE(d.NumBox->text(), QStringLiteral("SN 1"));
        QCOMPARE(d.UserBox->toPlainText(), QStringLiteral("u1\nu2"));

        bool buttonsEnabled = true;
        f.ui.atCall = 3;
        f.ui.look = [&] {
            buttonsEnabled = d.ReceiveBtn->isEnabled() || d.OKbtn->isEnabled();
            d.reject(); // waits for the instrument
        };
        d.ReceiveBtnClick();
        QVERIFY(f.ui.look == nullptr);
        QVERIFY(!buttonsEnabled);
        QVERIFY(d.isVisible());
        QVERIFY(d.ReceiveBtn->isEnabled());
        QCOMPARE(d.InstrBox->toPlainText(), QStringLiteral("KAVOX 5\nK204B\nline 3\n\n\n\n"));
        QCOMPARE(d.NumBox->text(), QStringLiteral("SN 12"));
        QCOMPARE(d.FirmBox->toPlainText(), QStringLiteral("Fanrik Osterlamp"));
        QCOMPARE(d.UserBox->toPlainText(), QStringLiteral("user"));
        QCOMPARE(w.Tabela().cell(1, 0), std::string("A\rB\rC\rSN 1\rE\rF\rG\rH"));
        d.hide();
    }
};

QTEST_MAIN(InstrumentTest)
#include "test_ui_instrument.moc"
