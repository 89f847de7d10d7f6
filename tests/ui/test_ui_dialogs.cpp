// The small windows: progress dialog, Select Language, About, help, and where the program
// finds its files.
#include "UiTestSupport.h"
#include "ui/AboutBox.h"
#include "ui/GaugeDlg.h"
#include "ui/HelpWindow.h"
#include "ui/ProgramPaths.h"
#include "ui/QtInteraction.h"
#include "ui/SelectLanguage.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>
#include <QtTest>
#include <sys/stat.h>

using namespace zarn;

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    // Cancel only raises the shared flag: the dialog stays until its caller hides it.
    void gaugeCancel() {
        QtInteraction ui;
        TGaugeDlg gauge(ui.cancelFlag());
        ui.setGauge(&gauge);
        QCOMPARE(gauge.windowTitle(), QStringLiteral("Dialog"));
        ui.progressShow("Receiving");
        ui.progressLabels("Records", "12 of 40");
        ui.progressPosition(30);
        QVERIFY(gauge.isVisible());
        // While it shows, no other window takes input: nothing can start under the operation.
        QCOMPARE(QApplication::activeModalWidget(), &gauge);
        QCOMPARE(gauge.windowTitle(), QStringLiteral("Receiving"));
        QCOMPARE(gauge.Label2->text(), QStringLiteral("12 of 40"));
        QCOMPARE(gauge.ProgressBar->value(), 30);
        ui.progressPosition(250);
        QCOMPARE(gauge.ProgressBar->value(), 100);

        QVERIFY(!ui.cancelRequested());
        gauge.CancelBtn->click();
        QVERIFY(ui.cancelRequested());
        QVERIFY(gauge.isVisible());
        ui.clearCancel();
        QTest::keyClick(&gauge, Qt::Key_Escape);
        QVERIFY(ui.cancelRequested());
        QVERIFY(gauge.isVisible());

        ui.clearCancel();
        ui.progressCancelVisible(false);
        QVERIFY(gauge.CancelBtn->isHidden());
        QTest::keyClick(&gauge, Qt::Key_Escape);
        QVERIFY(!ui.cancelRequested());
        ui.progressCancelVisible(true);
        QVERIFY(gauge.CancelBtn->isVisible());
        ui.progressHide();
        QVERIFY(!gauge.isVisible());
    }

    void selectLanguage_data() {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("expectedIndex");
        QTest::addColumn<int>("handlerIndex");
        QTest::newRow("ok") << true << 2 << 2;
        QTest::newRow("cancel") << false << 0 << -1;
    }
    void selectLanguage() {
        QFETCH(bool, ok);
        QFETCH(int, expectedIndex);
        QFETCH(int, handlerIndex);
        TSelectLanguage dlg;
        dlg.setLanguages({"English", "Sloven\xc5\xa1\xc4\x8dina", "Deutsch"});
        QCOMPARE(dlg.count(), 3);
        QCOMPARE(dlg.LangGroup->findChildren<QRadioButton*>()[1]->text(),
                 QString::fromUtf8("Slovenščina"));
        dlg.setItemIndex(0);
        int chosen = -1;
        dlg.setOkHandler([&](int index) { chosen = index; });
        test::onNextModal([ok](QWidget* w) {
            auto* d = qobject_cast<TSelectLanguage*>(w);
            d->LangGroup->findChildren<QRadioButton*>()[2]->click();
            (ok ? d->OKBtn : d->CancelBtn)->click();
        });
        dlg.exec();
        QCOMPARE(chosen, handlerIndex);
        QCOMPARE(dlg.itemIndex(), expectedIndex);

        // Closing the window after clicking another language changes nothing either.
        test::onNextModal([](QWidget* w) {
            qobject_cast<TSelectLanguage*>(w)->LangGroup->findChildren<QRadioButton*>()[1]->click();
            w->close();
        });
        dlg.exec();
        QCOMPARE(dlg.itemIndex(), expectedIndex);
        QCOMPARE(chosen, handlerIndex);
    }

    void aboutBox() {
        TAboutBox about;
        QVERIFY(about.loadPicture(QStringLiteral(ZARN_DATA_DIR "/images/PRODUCT.JPG")));
        QVERIFY(!about.ProgramIcon->pixmap().isNull());
        QVERIFY(about.ProgramIcon->pixmap().width() > 100);
        QVERIFY(!about.loadPicture(QStringLiteral(ZARN_DATA_DIR "/help/ZARN_EN.HTM")));
        about.setTexts("zarn installation tester", "Version 4.03", "Version 4.03-QZ");
        QCOMPARE(about.Version->text(), QStringLiteral("Version 4.03"));
        QCOMPARE(about.Version2->text(), QStringLiteral("Version 4.03-QZ"));
        QVERIFY(!about.Copyright->text().isEmpty());
        QVERIFY(about.Internet->text().contains(QStringLiteral("http")));
        QVERIFY(about.Email->text().contains(QLatin1Char('@')));
    }

    // Every shipped guide opens offline, has a table of contents whose links all lead to
    // sections of the same page, and covers the program's main tasks.
    void helpGuides_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("en") << "ZARN_EN.HTM";
        QTest::newRow("sl") << "ZARN_SL.HTM";
        QTest::newRow("de") << "ZARN_DE.HTM";
    }
    void helpGuides() {
        QFETCH(QString, file);
        HelpWindow help;
        const QString path = QStringLiteral(ZARN_DATA_DIR "/help/") + file;
        QVERIFY(help.showContents(path));
        QVERIFY(help.isVisible());
        const QString html = help.browser()->toHtml();
        for (const char* anchor :
             {"connect", "receive", "tree", "view", "files", "heading", "print", "export"}) {
            QVERIFY2(html.contains(QStringLiteral("#%1").arg(QLatin1String(anchor))), anchor);
            QVERIFY2(html.contains(QStringLiteral("name=\"%1\"").arg(QLatin1String(anchor))),
                     anchor);
        }
        QVERIFY(html.contains(QStringLiteral("dialout")));
        QVERIFY(html.contains(QStringLiteral(".zrn")));
        QVERIFY(!help.showContents(QStringLiteral(ZARN_DATA_DIR "/help/MISSING.HTM")));
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("error");
        QTest::newRow("none") << QStringList{} << ""
                              << "" << false;
        QTest::newRow("file") << QStringList{"a.zrn"} << ""
                              << "a.zrn" << false;
        QTest::newRow("dir and file") << QStringList{"--program-dir", "/opt/z", "b.zrn"} << "/opt/z"
                                      << "b.zrn" << false;
        QTest::newRow("file then dir=") << QStringList{"c.zrn", "--program-dir=/x"} << "/x"
                                        << "c.zrn" << false;
        QTest::newRow("dir missing") << QStringList{"--program-dir"} << ""
                                     << "" << true;
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << ""
                                        << "" << true;
        // Read before Qt starts: Qt's own options are passed over, values included.
        QTest::newRow("qt options")
            << QStringList{"-platform", "offscreen", "--style=fusion", "-reverse", "d.zrn"} << ""
            << "d.zrn" << false;
        QTest::newRow("qt option value looks like a file")
            << QStringList{"-qwindowtitle", "t.zrn", "e.zrn"} << ""
            << "e.zrn" << false;
    }
    void commandLine() {
        QFETCH(QStringList, args);
        QFETCH(QString, programDir);
        QFETCH(QString, file);
        QFETCH(bool, error);
        std::vector<std::string> a;
        for (const QString& s : args)
            a.push_back(s.toStdString());
        const CommandLine cl = parseCommandLine(a);
        QCOMPARE(!cl.error.empty(), error);
        if (error)
            return;
        QCOMPARE(QString::fromStdString(cl.programDir.value_or("")), programDir);
        QCOMPARE(QString::fromStdString(cl.file.value_or("")), file);
    }

    void commandLineHelpAndVersion() {
        QVERIFY(parseCommandLine({"--help"}).help);
        QVERIFY(parseCommandLine({"a.zrn", "-h"}).help);
        QVERIFY(parseCommandLine({"--version"}).version);
        QVERIFY(parseCommandLine({"--simulator"}).simulator);
        QVERIFY(!parseCommandLine({"--bogus", "--help"}).error.empty());
    }

    void programPaths() {
        QTemporaryDir root;
        const std::string r = root.path().toStdString();
        // Everything from --program-dir.
        ProgramPaths p = ProgramPaths::resolve(r + "/bin", std::string("/opt/zarn"));
        QCOMPARE(QString::fromStdString(p.dataDir), QStringLiteral("/opt/zarn/"));
        QCOMPARE(QString::fromStdString(p.settingsFile), QStringLiteral("/opt/zarn/ZARN.INI"));

        // Installed: no language index next to the executable -> ../share/zarn.
        QDir(root.path()).mkpath(QStringLiteral("bin"));
        QDir(root.path()).mkpath(QStringLiteral("share/zarn"));
        p = ProgramPaths::resolve(r + "/bin", std::nullopt);
        QCOMPARE(QString::fromStdString(p.dataDir), root.path() + QStringLiteral("/share/zarn/"));
        QCOMPARE(QString::fromStdString(p.settingsFile), root.path() + "/bin/ZARN.INI");

        // Portable: the index next to the executable.
        QFile index(root.path() + QStringLiteral("/bin/LNG_MAIN.INI"));
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.close();
        p = ProgramPaths::resolve(r + "/bin", std::nullopt);
        QCOMPARE(QString::fromStdString(p.dataDir), root.path() + QStringLiteral("/bin/"));

        // A read-only program directory keeps the settings in $XDG_CONFIG_HOME/zarn.
        if (::geteuid() != 0) { // root may write anywhere
            ::chmod((r + "/bin").c_str(), 0555);
            qputenv("XDG_CONFIG_HOME", (r + "/config").c_str());
            p = ProgramPaths::resolve(r + "/bin", std::nullopt);
            QCOMPARE(QString::fromStdString(p.settingsFile),
                     root.path() + QStringLiteral("/config/zarn/ZARN.INI"));
            QVERIFY(QDir(root.path() + QStringLiteral("/config/zarn")).exists());
            ::chmod((r + "/bin").c_str(), 0755);
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "test_ui_dialogs.moc"
