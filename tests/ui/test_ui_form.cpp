// The main window: menus and toolbar of this edition, the tree and the results view, Copy,
// the language switch and closing with unsaved results.
#include "UiTestSupport.h"
#include "support/ScriptedInteraction.h"
#include "support/TestDocument.h"
#include "ui/AboutBox.h"
#include "ui/Form1.h"
#include "ui/HelpWindow.h"
#include "ui/MessageDlg.h"
#include "ui/Preview.h"
#include "ui/SelectLanguage.h"
#include "ui/StringGridAll.h"
#include "ui/TreeModel.h"

#include <QAction>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <memory>

using namespace zarn;

namespace {

struct Fixture {
    test::ProgramDir dir;
    ScriptedInteraction ui;
    std::unique_ptr<TForm1> form;

    explicit Fixture(const QByteArray& settings = {}) {
        dir.writeSettings(settings);
        form = std::make_unique<TForm1>(ProgramPaths::resolve("/nonexistent", dir.path()), &ui);
    }
    bool start() { return form->startUp(); }
    // Received-looking data with the first root selected.
    void fill(test::SampleSizes sizes = {}) {
        test::fillSample(form->workspace(), sizes);
        form->tree().setSelected(form->tree().firstNode());
    }
    NodeHandle root(int i) const { return form->tree().child(NoNode, i); }
    NodeHandle leaf(int r, int e) const { return form->tree().child(root(r), e); }
    QStringList viewColumn(int col) const {
        QStringList values;
        for (int row = 1; row < test::named<TStringGridAll>(*form, "TabelaV")->rowCount(); ++row)
            values << QString::fromStdString(
                test::named<TStringGridAll>(*form, "TabelaV")->cell(col, row));
        return values;
    }
};

QStringList visibleTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions()) {
        if (a->isVisible())
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    return texts;
}

std::string field(const std::string& cell, int n) {
    size_t start = 0;
    for (int i = 1; i < n; ++i)
        start = cell.find('\r', start) + 1;
    return cell.substr(start, cell.find('\r', start) - start);
}

// The language and how its code page shows the stored name "Ku\xe8a".
void codePageRows() {
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QString>("shown");
    QTest::newRow("english, 1252") << QByteArray("1") << QString::fromUtf8("Kuèa");
    QTest::newRow("slovene, 1250") << QByteArray("2") << QString::fromUtf8("Kuča");
}

} // namespace

class FormTest : public QObject {
    Q_OBJECT
private slots:
    void menusAndToolbar() {
        Fixture f;
        QVERIFY(f.start());
        TForm1& w = *f.form;
        QCOMPARE(visibleTexts(test::named<QMenu>(w, "File1")),
                 (QStringList{"&Open...", "&Save", "Save &As...", "-", "&Export...", "-",
                              "Print &Preview", "-", "E&xit"}));
        QCOMPARE(visibleTexts(test::named<QMenu>(w, "Instrument1")),
                 (QStringList{"Receive &Results", "-", "Instrument's &Data..."}));
        QCOMPARE(visibleTexts(test::named<QMenu>(w, "Configuration1")),
                 (QStringList{"&COM Port...", "&Select Language..."}));
        QVERIFY(!test::named<QAction>(w, "New1")->isVisible());
        QVERIFY(!test::named<QAction>(w, "SendStructure1")->isVisible());
        QVERIFY(!test::named<QAction>(w, "SetDefaultNames1")->isVisible());
        QVERIFY(!test::named<QAction>(w, "CalcLength1")->isVisible());
        QCOMPARE(w.menuBar()->actions().size(), 5);
        QCOMPARE(test::named<QMenu>(w, "File1")->title(), QStringLiteral("&File"));
        QVERIFY(test::named<QAction>(w, "Contents1")->shortcut() == QKeySequence(Qt::Key_F1));

        const std::vector<QAction*> expected = {
            test::named<QAction>(w, "IcoOpen"), test::named<QAction>(w, "IcoSave"),
            test::named<QAction>(w, "IcoReceiveR"), test::named<QAction>(w, "IcoPrint")};
        QCOMPARE(w.visibleToolButtons(), expected);
        QVERIFY(!test::named<QAction>(w, "IcoOpen")->toolTip().isEmpty());
        QVERIFY(w.isMaximized() || w.windowState().testFlag(Qt::WindowMaximized));
        QCOMPARE(w.windowTitle(), QStringLiteral("zarn: "));

        // The About box: texts of the configuration and of the language.
        QCOMPARE(test::named<TAboutBox>(w, "TAboutBox")->windowTitle(), QStringLiteral("About"));
        QCOMPARE(test::named<TAboutBox>(w, "TAboutBox")->OKBtn->text(), QStringLiteral("&OK"));
        QCOMPARE(test::named<TAboutBox>(w, "TAboutBox")->Version->text(),
                 QStringLiteral("Version 4.03"));
        QCOMPARE(test::named<TAboutBox>(w, "TAboutBox")->Version2->text(),
                 QStringLiteral("Version 4.03-QZ"));
        QVERIFY(!test::named<TAboutBox>(w, "TAboutBox")->ProgramIcon->pixmap().isNull());
    }

    // A broken installation ends the program with the exact message.
    void missingLanguageIndex() {
        Fixture f;
        QFile::remove(f.dir.file(QStringLiteral("LNG_MAIN.INI")));
        QVERIFY(!f.start());
        QCOMPARE(f.ui.fatalErrors, std::vector<std::string>{"Error in LANGUAGE.INI"});
    }

    void selectionShowsRows() {
        Fixture f;
        QVERIFY(f.start());
        f.fill();
        TForm1& w = *f.form;
        QVERIFY(!test::named<QWidget>(w, "PanelStruct")->isHidden());
        // A root shows the rows of all its places, numbered in table order.
        QCOMPARE(f.viewColumn(0), (QStringList{"1", "2", "3", "4", "5", "6"}));
        QCOMPARE(f.viewColumn(1), (QStringList{"Place 1.1", "Place 1.1", "Place 1.2", "Place 1.2",
                                               "Place 1.3", "Place 1.3"}));
        QCOMPARE(QString::fromStdString(test::named<TStringGridAll>(w, "TabelaV")->cell(2, 1)),
                 QStringLiteral("Insulation\rresistance"));
        QCOMPARE(QString::fromStdString(test::named<TStringGridAll>(w, "TabelaV")->cell(3, 2)),
                 QString::fromUtf8("U L-N = 231 V\rf = 50.0 Hz"));
        QCOMPARE(QString::fromStdString(test::named<TStringGridAll>(w, "TabelaV")->cell(0, 0)),
                 QStringLiteral("No."));

        // Selecting a leaf in the tree view shows only its rows.
        test::named<QTreeView>(w, "Tree")->setCurrentIndex(w.treeModel()->indexOf(f.leaf(1, 1)));
        QCOMPARE(w.tree().selected(), f.leaf(1, 1));
        QCOMPARE(f.viewColumn(0), (QStringList{"1", "2"}));
        QCOMPARE(f.viewColumn(1), (QStringList{"Place 2.2", "Place 2.2"}));

        // A node without rows hides the view behind the panel's caption.
        const NodeHandle empty = w.tree().createNode(f.root(0));
        w.tree().initialiseNode(empty, kind::Particular);
        w.tree().setText(empty, "Spare");
        w.tree().setId(empty, 9);
        test::named<QTreeView>(w, "Tree")->setCurrentIndex(w.treeModel()->indexOf(empty));
        QCOMPARE(w.panelCaption(), QStringLiteral("No measurements in Spare"));
        QVERIFY(!test::named<TStringGridAll>(w, "TabelaV")
                     ->isVisibleTo(test::named<QWidget>(w, "PanelTabelaV")));
    }

    void rename_data() {
        QTest::addColumn<int>("rootIndex");
        QTest::addColumn<int>("leafIndex"); // -1: rename the root
        QTest::addColumn<int>("field");
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QByteArray>("stored");
        // Č has no byte in the English code page (1252): the name stays UTF-8.
        const QByteArray utf8("Kuhinja \xc4\x8c 1");
        QTest::newRow("root") << 1 << -1 << 2 << QByteArray("1") << utf8;
        QTest::newRow("leaf") << 0 << 2 << 3 << QByteArray("1") << utf8;
        // In Slovene (1250) it has one.
        QTest::newRow("leaf, slovene")
            << 0 << 2 << 3 << QByteArray("2") << QByteArray("Kuhinja \xc8 1");
    }
    // The in-place edit renames the node and the right field of exactly its rows; the name is
    // kept in the language's code page when it fits there (TAB becomes a space).
    void rename() {
        QFETCH(int, rootIndex);
        QFETCH(int, leafIndex);
        QFETCH(int, field);
        QFETCH(QByteArray, language);
        QFETCH(QByteArray, stored);
        Fixture f("[SETUP]\r\nLanguage=" + language + "\r\n");
        QVERIFY(f.start());
        f.fill();
        TForm1& w = *f.form;
        const NodeHandle node = leafIndex < 0 ? f.root(rootIndex) : f.leaf(rootIndex, leafIndex);
        const RowIds ids{1, rootIndex + 1, leafIndex < 0 ? 0 : leafIndex + 1};
        ResultsTable& t = w.Tabela();
        std::vector<std::string> before;
        for (int row = 0; row < t.rowCount(); ++row)
            before.push_back(t.cell(col::Names, row));

        w.document().setSaved(true);
        const QModelIndex index = w.treeModel()->indexOf(node);
        QVERIFY(w.treeModel()->flags(index).testFlag(Qt::ItemIsEditable));
        QVERIFY(w.treeModel()->setData(index, QString::fromUtf8("Kuhinja Č\t1"), Qt::EditRole));

        QCOMPARE(QByteArray::fromStdString(w.tree().text(node)), stored);
        QCOMPARE(index.data().toString(), QString::fromUtf8("Kuhinja Č 1"));
        QVERIFY(!w.document().saved());
        int renamed = 0;
        for (int row = 1; row < t.rowCount(); ++row) {
            const RowIds& r = t.ids(row);
            const bool match = r.block == ids.block && (leafIndex < 0 || r.element == ids.element);
            const std::string& names = t.cell(col::Names, row);
            for (int n = 1; n <= 4; ++n) {
                const std::string expected = match && n == field
                                                 ? stored.toStdString()
                                                 : ::field(before[static_cast<size_t>(row)], n);
                QCOMPARE(::field(names, n), expected);
            }
            renamed += match ? 1 : 0;
        }
        QCOMPARE(renamed, leafIndex < 0 ? 6 : 2);
        // The view follows: select the leaf and its rows carry the new name.
        if (leafIndex >= 0) {
            test::named<QTreeView>(w, "Tree")->setCurrentIndex(index);
            const QString cell = QString::fromStdString(stored.toStdString());
            QCOMPARE(f.viewColumn(1), (QStringList{cell, cell}));
            QCOMPARE(
                test::named<TStringGridAll>(w, "TabelaV")->model()->index(0, 1).data().toString(),
                QString::fromUtf8("Kuhinja Č 1"));
        }
    }

    // An edit left as it was keeps the name's bytes, even bytes the code page does not define.
    void renameUnchangedKeepsBytes() {
        Fixture f("[SETUP]\r\nLanguage=2\r\n");
        QVERIFY(f.start());
        f.fill();
        TForm1& w = *f.form;
        const NodeHandle leaf = f.leaf(0, 1);
        const std::string odd = "Ku\xe8"
                                "a \x98"
                                "1"; // 0x98 means nothing in 1250
        w.workspace().renameNode(leaf, odd);
        const QModelIndex index = w.treeModel()->indexOf(leaf);
        QVERIFY(w.treeModel()->setData(index, index.data(Qt::EditRole), Qt::EditRole));
        QCOMPARE(w.tree().text(leaf), odd);
        QCOMPARE(field(w.Tabela().cell(col::Names, 3), 3), odd);
    }

    // Right-click selects the node under the pointer; on empty space nothing changes.
    void rightClickSelects() {
        Fixture f;
        QVERIFY(f.start());
        f.fill();
        TForm1& w = *f.form;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        test::named<QTreeView>(w, "Tree")->expandAll();
        const QModelIndex target = w.treeModel()->indexOf(f.leaf(0, 1));
        const QRect rect = test::named<QTreeView>(w, "Tree")->visualRect(target);
        QVERIFY(rect.isValid());
        QTest::mouseClick(test::named<QTreeView>(w, "Tree")->viewport(), Qt::RightButton, {},
                          rect.center());
        QCOMPARE(w.tree().selected(), f.leaf(0, 1));
        QCOMPARE(f.viewColumn(1), (QStringList{"Place 1.2", "Place 1.2"}));
        QTest::mouseClick(test::named<QTreeView>(w, "Tree")->viewport(), Qt::RightButton, {},
                          QPoint(5, test::named<QTreeView>(w, "Tree")->viewport()->height() - 3));
        QCOMPARE(w.tree().selected(), f.leaf(0, 1));
        QCOMPARE(test::named<QTreeView>(w, "Tree")->contextMenuPolicy(), Qt::PreventContextMenu);
    }

    // Copy of two rows and two columns, one cell with two lines: three clipboard lines,
    // TAB between cells, CR LF between lines and none at the end.
    void copySelection() {
        Fixture f;
        QVERIFY(f.start());
        f.fill();
        TForm1& w = *f.form;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        StringGridData& cells = test::named<TStringGridAll>(w, "TabelaV")->cells();
        cells.setCell(1, 1, "a");
        cells.setCell(2, 1, "b1\rb2");
        cells.setCell(1, 2, "c");
        cells.setCell(2, 2, "d\n");
        test::named<TStringGridAll>(w, "TabelaV")->reload();
        test::named<TStringGridAll>(w, "TabelaV")->selectRect({1, 1, 2, 2});

        test::named<QTreeView>(w, "Tree")->setFocus();
        w.Copy1Click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());

        test::named<TStringGridAll>(w, "TabelaV")->setFocus();
        test::named<QAction>(w, "Copy1")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\tb1\r\n\tb2\r\nc\td"));

        w.Popup1Popup();
        QStringList shown;
        for (QAction* a : test::named<QMenu>(w, "Popup1")->actions())
            if (a->isVisible())
                shown << a->objectName();
        QCOMPARE(shown, QStringList{"Copy1"});
        QCOMPARE(test::named<QAction>(w, "Copy1")->text(), QStringLiteral("&Copy"));
    }

    // Copy decodes cell by cell, as the view shows them: a name in the code page does not
    // garble the UTF-8 text beside it.
    void copyMixedEncodings_data() { codePageRows(); }
    void copyMixedEncodings() {
        QFETCH(QByteArray, language);
        QFETCH(QString, shown);
        Fixture f("[SETUP]\r\nLanguage=" + language + "\r\n");
        QVERIFY(f.start());
        f.fill();
        TForm1& w = *f.form;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        StringGridData& cells = test::named<TStringGridAll>(w, "TabelaV")->cells();
        cells.setCell(1, 1,
                      "Ku\xe8"
                      "a");
        cells.setCell(2, 1, "Riso > 1999 M\xe2\x84\xa6\rNi\xc5\xa1");
        test::named<TStringGridAll>(w, "TabelaV")->reload();
        test::named<TStringGridAll>(w, "TabelaV")->selectRect({1, 1, 2, 1});
        test::named<TStringGridAll>(w, "TabelaV")->setFocus();
        test::named<QAction>(w, "Copy1")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 shown + QString::fromUtf8("\tRiso > 1999 M\u2126\r\n\tNi\u0161"));
    }

    // Switching to Slovene renames the untitled structure, retranslates the menus, the
    // headings and the message dialog, and is stored for the next start.
    void languageSwitch() {
        Fixture f;
        QVERIFY(f.start());
        TForm1& w = *f.form;
        w.New1Click();
        QCOMPARE(w.windowTitle(), QStringLiteral("zarn: untitled.zrn"));
        test::fillSample(w.workspace());
        w.tree().setSelected(w.tree().firstNode());
        w.document().setCurrentFileName(w.document().defaultFileName());

        test::onNextModal([](QWidget* dlg) {
            auto* d = qobject_cast<TSelectLanguage*>(dlg);
            d->LangGroup->findChildren<QRadioButton*>()[1]->click();
            d->OKBtn->click();
        });
        w.SelectLanguage1Click();
        QCOMPARE(w.windowTitle(), QStringLiteral("zarn: neimenovano.zrn"));
        QCOMPARE(test::named<QMenu>(w, "File1")->title(), QStringLiteral("&Datoteka"));
        QCOMPARE(test::named<QAction>(w, "Copy1")->text(), QStringLiteral("&Kopiraj"));
        QCOMPARE(QString::fromStdString(test::named<TStringGridAll>(w, "TabelaV")->cell(0, 0)),
                 QString::fromUtf8("Št."));
        QCOMPARE(QString::fromStdString(messageDlgTexts().buttonCaptions[0]),
                 QStringLiteral("&Da"));
        QCOMPARE(test::named<TSelectLanguage>(w, "TSelectLanguage")->itemIndex(), 1);
        QCOMPARE(w.readSetting("SETUP", "Language"), std::string("2"));

        // With a saved file the name stays.
        w.document().setCurrentFileName("/data/site.zrn");
        test::onNextModal([](QWidget* dlg) {
            auto* d = qobject_cast<TSelectLanguage*>(dlg);
            d->LangGroup->findChildren<QRadioButton*>()[2]->click();
            d->OKBtn->click();
        });
        w.SelectLanguage1Click();
        QCOMPARE(w.windowTitle(), QStringLiteral("zarn: /data/site.zrn"));
        QCOMPARE(test::named<QMenu>(w, "File1")->title(), QStringLiteral("&Datei"));
    }

    // Names from older files are bytes of the language's code page; new names are UTF-8.
    void displayEncoding_data() { codePageRows(); }
    void displayEncoding() {
        QFETCH(QByteArray, language);
        QFETCH(QString, shown);
        Fixture f("[SETUP]\r\nLanguage=" + language + "\r\n");
        QVERIFY(f.start());
        f.fill();
        TForm1& w = *f.form;
        const NodeHandle leaf = f.leaf(0, 0);
        w.workspace().renameNode(leaf, "Ku\xe8"
                                       "a");
        QCOMPARE(w.treeModel()->indexOf(leaf).data().toString(), shown);
        w.tree().setSelected(leaf);
        QCOMPARE(test::named<TStringGridAll>(w, "TabelaV")->model()->index(0, 1).data().toString(),
                 shown);
        QCOMPARE(test::named<TStringGridAll>(w, "TabelaV")->model()->index(0, 3).data().toString(),
                 QString::fromUtf8("Riso > 1999 MΩ"));
    }

    // Every command a user can see answers: a window, a question, a message or a file dialog.
    void everyVisibleCommandReacts() {
        Fixture f;
        QVERIFY(f.start());
        TForm1& w = *f.form;
        w.New1Click();
        test::fillSample(w.workspace());
        w.tree().setSelected(w.tree().firstNode());
        w.document().setSaved(true);
        w.session().setPortChoice({15, 3}); // COM16: no device, so Receive Results says so
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        std::vector<QAction*> commands;
        for (QAction* a : test::menuEntries(w))
            if (a->isVisible() && !a->isSeparator())
                commands.push_back(a);
        for (QAction* a : w.visibleToolButtons())
            commands.push_back(a);
        QVERIFY(commands.size() > 10);
        // Exit last: closing tears the document down.
        std::erase(commands, test::named<QAction>(w, "Exit1"));
        commands.push_back(test::named<QAction>(w, "Exit1"));

        for (QAction* a : commands) {
            const QString name = a->objectName();
            QVERIFY2(a->isEnabled(), qPrintable(name));
            // Whatever opens is closed again at once.
            QStringList opened;
            QTimer closer;
            connect(&closer, &QTimer::timeout, [&] {
                if (QWidget* modal = QApplication::activeModalWidget()) {
                    opened << modal->metaObject()->className();
                    QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
                }
            });
            closer.start(10);
            const size_t messages = f.ui.messages.size();
            f.ui.openFileAnswers = {std::nullopt};
            f.ui.saveFileAnswers = {std::nullopt};
            const bool helpShown = test::named<HelpWindow>(w, "HelpWindow")->isVisible();
            auto* preview = test::named<TPreview>(w, "TPreview");
            const bool previewShown = preview->isVisible();
            a->trigger();
            closer.stop();
            const bool reacted =
                !opened.isEmpty() || f.ui.messages.size() > messages ||
                f.ui.openFileAnswers.empty() || f.ui.saveFileAnswers.empty() ||
                (!helpShown && test::named<HelpWindow>(w, "HelpWindow")->isVisible()) ||
                (!previewShown && preview->isVisible()) || !w.isVisible();
            QVERIFY2(reacted, qPrintable(name + QStringLiteral(" did nothing")));
            test::named<HelpWindow>(w, "HelpWindow")->hide();
            preview->hide();
            if (!w.isVisible())
                w.show();
        }
    }

    // Help > Contents without the help file says which file is missing.
    void missingHelpFileIsNamed() {
        Fixture f;
        QVERIFY(f.start());
        TForm1& w = *f.form;
        QVERIFY(QFile::remove(f.dir.file(QStringLiteral("help/ZARN_EN.HTM"))));
        test::named<QAction>(w, "Contents1")->trigger();
        QVERIFY(!test::named<HelpWindow>(w, "HelpWindow")->isVisible());
        QCOMPARE(f.ui.messages.size(), size_t(1));
        QCOMPARE(f.ui.messages[0].type, DialogType::Error);
        QVERIFY2(QString::fromStdString(f.ui.messages[0].text).contains(QStringLiteral("missing")),
                 f.ui.messages[0].text.c_str());
        QVERIFY(f.ui.messages[0].text.find("ZARN_EN.HTM") != std::string::npos);
    }

    // ZARN.INI may live apart from the language files (a read-only installation).
    void settingsElsewhere() {
        test::ProgramDir dir;
        QTemporaryDir config;
        ScriptedInteraction ui;
        ProgramPaths paths{dir.path(), config.filePath(QStringLiteral("ZARN.INI")).toStdString()};
        TForm1 w(paths, &ui);
        QVERIFY(w.startUp());
        test::onNextModal([](QWidget* dlg) {
            auto* d = qobject_cast<TSelectLanguage*>(dlg);
            d->LangGroup->findChildren<QRadioButton*>()[2]->click();
            d->OKBtn->click();
        });
        w.SelectLanguage1Click();
        QFile settings(config.filePath(QStringLiteral("ZARN.INI")));
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QVERIFY(settings.readAll().contains("Language=3"));
        QVERIFY(!QFile::exists(dir.file(QStringLiteral("ZARN.INI"))) ||
                !QFile(dir.file(QStringLiteral("ZARN.INI"))).size());
    }

    // Closing with unsaved results and the default name asks; Yes opens Save As; cancelling
    // Save As asks again; Cancel keeps the window open, No lets it close.
    void closeFlow() {
        Fixture f;
        QVERIFY(f.start());
        TForm1& w = *f.form;
        w.New1Click();
        test::fillSample(w.workspace());
        w.tree().setSelected(w.tree().firstNode());
        w.document().setCurrentFileName(w.document().defaultFileName());
        QVERIFY(!w.document().saved());
        w.show();

        f.ui.answers = {modal::Yes, modal::Cancel};
        f.ui.saveFileAnswers = {std::nullopt};
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(f.ui.messages.size(), size_t(2));
        QCOMPARE(f.ui.messages[0].text, std::string("Save results ?"));
        QVERIFY(f.ui.messages[0].buttons.has(DialogButton::Cancel));
        QCOMPARE(f.ui.messages[1].text, std::string("Save results ?"));
        QVERIFY(f.ui.saveFileAnswers.empty());

        f.ui.answers = {modal::No};
        QVERIFY(w.close());
        QCOMPARE(f.ui.messages.size(), size_t(3));
    }

    // The same flow through the program's own dialogs.
    void closeFlowWithDialogs() {
        test::ProgramDir dir;
        TForm1 w(ProgramPaths::resolve("/nonexistent", dir.path()));
        QVERIFY(w.startUp());
        w.New1Click();
        test::fillSample(w.workspace());
        w.tree().setSelected(w.tree().firstNode());
        w.show();
        QStringList seen;
        // Yes -> the save dialog -> cancel it -> asked again -> Cancel.
        test::onNextModal([&](QWidget* q1) {
            seen << q1->metaObject()->className();
            qobject_cast<TMessageForm*>(q1)->button(DialogButton::Yes)->click();
            test::onNextModal([&](QWidget* save) {
                seen << save->metaObject()->className();
                QMetaObject::invokeMethod(save, "reject", Qt::QueuedConnection);
                test::onNextModal([&](QWidget* q2) {
                    seen << q2->metaObject()->className();
                    qobject_cast<TMessageForm*>(q2)->button(DialogButton::Cancel)->click();
                });
            });
        });
        QVERIFY(!w.close());
        QCOMPARE(seen, (QStringList{"zarn::TMessageForm", "QFileDialog", "zarn::TMessageForm"}));
        QVERIFY(w.isVisible());
        w.document().setSaved(true);
        QVERIFY(w.close());
    }
};

QTEST_MAIN(FormTest)
#include "test_ui_form.moc"
