// The small windows: progress dialog, Select Language, About and help.
#include "UiTestSupport.h"
#include "ui/AboutBox.h"
#include "ui/GaugeDlg.h"
#include "ui/HelpWindow.h"
#include "ui/QtInteraction.h"
#include "ui/SelectLanguage.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QtTest>

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

    // The guides are translations of one another: the same headings at the same levels with
    // the same anchors, in the same order, so that none of them loses or gains a section
    // unnoticed. Each is UTF-8, says so, and links only to sections it has.
    void helpGuidesShareOneOutline_data() { helpGuides_data(); }
    void helpGuidesShareOneOutline() {
        QFETCH(QString, file);
        struct Guide {
            QString problem;     // why the file cannot be taken as a guide
            QStringList outline; // "h2 connect", in document order
            QStringList links;   // targets of the links inside the page
            QStringList anchors;
        };
        const auto read = [](const QString& name) {
            Guide g;
            QFile f(QStringLiteral(ZARN_DATA_DIR "/help/") + name);
            if (!f.open(QIODevice::ReadOnly)) {
                g.problem = name + QStringLiteral(" cannot be read");
                return g;
            }
            QStringDecoder utf8(QStringDecoder::Utf8);
            const QString html = utf8(f.readAll());
            if (utf8.hasError() || !html.contains(QStringLiteral("<meta charset=\"utf-8\">")))
                g.problem = name + QStringLiteral(" is not UTF-8 with its charset declared");
            static const QRegularExpression heading(
                QStringLiteral("<h([1-6])>\\s*(?:<a name=\"([^\"]+)\"></a>)?"));
            for (const auto& m : heading.globalMatch(html))
                g.outline << QStringLiteral("h%1 %2").arg(m.captured(1), m.captured(2));
            static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
            for (const auto& m : link.globalMatch(html))
                g.links << m.captured(1);
            static const QRegularExpression anchor(QStringLiteral("name=\"([^\"]+)\""));
            for (const auto& m : anchor.globalMatch(html))
                g.anchors << m.captured(1);
            return g;
        };
        const Guide english = read(QStringLiteral("ZARN_EN.HTM"));
        const Guide guide = read(file);
        QVERIFY2(english.problem.isEmpty(), qPrintable(english.problem));
        QVERIFY2(guide.problem.isEmpty(), qPrintable(guide.problem));
        QCOMPARE(guide.outline, english.outline);
        QCOMPARE(guide.links, english.links);
        for (const QString& target : guide.links)
            QVERIFY2(guide.anchors.contains(target), qPrintable(target));
    }
};

QTEST_MAIN(DialogsTest)
#include "test_ui_dialogs.moc"
