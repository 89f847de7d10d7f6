// File › Export: the export format dialog and the export it starts from the main window.
#include "UiTestSupport.h"
#include "support/ScriptedInteraction.h"
#include "support/TestDocument.h"
#include "ui/ExportDlg.h"
#include "ui/Form1.h"
#include "ui/SelectLanguage.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

using namespace zarn;

namespace {

QRadioButton* radio(QGroupBox* group, int index) {
    return group->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly).value(index);
}

// Index of the checked radio button of a group, -1 for none.
int checked(QGroupBox* group) {
    const auto radios = group->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    for (int i = 0; i < radios.size(); ++i)
        if (radios[i]->isChecked())
            return i;
    return -1;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Fixture {
    test::ProgramDir dir;
    QTemporaryDir out;
    ScriptedInteraction ui;
    std::unique_ptr<TForm1> form;

    Fixture() {
        form = std::make_unique<TForm1>(ProgramPaths::resolve("/nonexistent", dir.path()), &ui);
    }
    std::string outFile(const char* name) const { return (out.path() + "/" + name).toStdString(); }
};

} // namespace

class ExportTest : public QObject {
    Q_OBJECT
private slots:
    // The dialog starts at TAB and CR LF; OK takes what the groups show, Cancel and closing
    // the window put them back.
    void dialogKeepsWhatOkTook() {
        TExportDlg dlg;
        QCOMPARE(dlg.format(), ExportFormat{});
        QCOMPARE(checked(dlg.ColDelimiter), 0);
        QCOMPARE(checked(dlg.RowDelimiter), 0);
        test::onNextModal([&](QWidget*) {
            radio(dlg.ColDelimiter, 1)->click();
            radio(dlg.RowDelimiter, 1)->click();
            dlg.OKbtn->click();
        });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        const ExportFormat semicolonCr{ColumnDelimiter::Semicolon, RowDelimiter::Cr};
        QCOMPARE(dlg.format(), semicolonCr);

        test::onNextModal([&](QWidget*) {
            radio(dlg.ColDelimiter, 0)->click();
            radio(dlg.RowDelimiter, 2)->click();
            dlg.Cancelbtn->click();
        });
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QCOMPARE(dlg.format(), semicolonCr);
        QCOMPARE(checked(dlg.ColDelimiter), 1);
        QCOMPARE(checked(dlg.RowDelimiter), 1);

        test::onNextModal([&](QWidget* w) {
            radio(dlg.RowDelimiter, 0)->click();
            w->close();
        });
        dlg.exec();
        QCOMPARE(dlg.format(), semicolonCr);
        QCOMPARE(checked(dlg.RowDelimiter), 1);
    }

    // From the main window: the chosen delimiters reach the file, stay for the next export
    // and survive a language switch, which only changes the dialog's texts.
    void mainWindowExportAndLanguageSwitch() {
        Fixture f;
        TForm1& w = *f.form;
        QVERIFY(w.startUp());
        test::fillSample(w.workspace());
        w.document().setCurrentFileName(f.outFile("site.zrn"));

        f.ui.saveFileAnswers = {f.outFile("first")};
        test::onNextModal([&](QWidget* dlg) {
            QCOMPARE(dlg, static_cast<QWidget*>(test::named<TExportDlg>(w, "TExportDlg")));
            QCOMPARE(test::named<TExportDlg>(w, "TExportDlg")->windowTitle(),
                     QStringLiteral("Export Format"));
            radio(test::named<TExportDlg>(w, "TExportDlg")->ColDelimiter, 1)->click();
            radio(test::named<TExportDlg>(w, "TExportDlg")->RowDelimiter, 2)->click();
            test::named<TExportDlg>(w, "TExportDlg")->OKbtn->click();
        });
        w.Export1Click();
        QCOMPARE(f.ui.saveFileRequests.size(), size_t(1));
        QCOMPARE(QString::fromStdString(f.ui.saveFileRequests[0].proposedName),
                 QString::fromStdString(f.outFile("site.TXT")));
        QCOMPARE(QString::fromStdString(f.ui.saveFileRequests[0].title),
                 QStringLiteral("Export to"));
        const QByteArray first = readAll(QString::fromStdString(f.outFile("first.TXT")));
        QVERIFY(first.startsWith(";;\n;;\n;;\n"));
        QVERIFY(first.contains("\nNo.;Place;Function;Results;Parameters\n"
                               "1;Place 1.1;Insulation-resistance;Riso > 1999 M\xCE\xA9;"
                               "Um = 500 V\n"));
        QVERIFY(!first.contains('\r'));
        QVERIFY(!first.contains('\t'));

        // Cancel in the dialog exports nothing and keeps the delimiters.
        test::onNextModal([&](QWidget*) {
            QCOMPARE(checked(test::named<TExportDlg>(w, "TExportDlg")->ColDelimiter), 1);
            QCOMPARE(checked(test::named<TExportDlg>(w, "TExportDlg")->RowDelimiter), 2);
            test::named<TExportDlg>(w, "TExportDlg")->Cancelbtn->click();
        });
        w.Export1Click();
        QCOMPARE(f.ui.saveFileRequests.size(), size_t(1));

        test::onNextModal([](QWidget* dlg) {
            auto* d = qobject_cast<TSelectLanguage*>(dlg);
            d->LangGroup->findChildren<QRadioButton*>()[1]->click();
            d->OKBtn->click();
        });
        w.SelectLanguage1Click();

        f.ui.saveFileAnswers = {f.outFile("second")};
        test::onNextModal([&](QWidget*) {
            QCOMPARE(test::named<TExportDlg>(w, "TExportDlg")->windowTitle(),
                     QStringLiteral("Oblika izvoza"));
            QCOMPARE(test::named<TExportDlg>(w, "TExportDlg")->ColDelimiter->title(),
                     QString::fromUtf8("Ločilo stolpcev"));
            QCOMPARE(radio(test::named<TExportDlg>(w, "TExportDlg")->ColDelimiter, 1)->text(),
                     QString::fromUtf8("Podpičje ;"));
            QCOMPARE(checked(test::named<TExportDlg>(w, "TExportDlg")->ColDelimiter), 1);
            QCOMPARE(checked(test::named<TExportDlg>(w, "TExportDlg")->RowDelimiter), 2);
            test::named<TExportDlg>(w, "TExportDlg")->OKbtn->click();
        });
        w.Export1Click();
        const QByteArray second = readAll(QString::fromStdString(f.outFile("second.TXT")));
        QVERIFY(second.startsWith(";;\n"));
        QVERIFY(!second.contains('\r'));
    }
};

QTEST_MAIN(ExportTest)
#include "test_ui_export.moc"
