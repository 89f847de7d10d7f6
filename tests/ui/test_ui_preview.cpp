// The print preview: zoom box and buttons, page navigation, Select Pages, Margins, Save as PDF,
// and the main window's Print button that opens it.
#include "ReportRecorder.h"
#include "UiTestSupport.h"
#include "core/grid/StringGridData.h"
#include "core/lang/LStr.h"
#include "print/PagePrinter.h"
#include "support/ScriptedInteraction.h"
#include "support/TestDocument.h"
#include "ui/Form1.h"
#include "ui/Margins.h"
#include "ui/PagePrinterView.h"
#include "ui/Preview.h"
#include "ui/SelectPages.h"
#include "ui/StringGridAll.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace zarn;

namespace {

// A print job that notes which pages it was sent.
class PageLog : public PrintTarget {
public:
    explicit PageLog(const TPagePrinter& printer) : printer_(printer) {}
    std::vector<int> pages;
    int copies() const override { return 1; }
    void setCopies(int) override {}
    void beginJob(const QString&) override { open_ = true; }
    bool jobOpen() const override { return open_; }
    void drawPage(const PageRecording& page) override {
        for (int n = 1; n <= printer_.pageCount(); ++n)
            if (printer_.page(n) == &page)
                pages.push_back(n);
    }
    void newPage() override {}
    void endJob() override { open_ = false; }
    void abortJob() override { open_ = false; }

private:
    const TPagePrinter& printer_;
    bool open_ = false;
};

// A preview whose report has a heading row, `rows` rows and `comments` comment lines.
struct Preview {
    TLStr texts;
    ScriptedInteraction ui;
    StringGridData grid{2, 1};
    MarginTexts margins;
    int comments = 0;
    TPreview window{texts, ui};
    TSelectPages selectPages;
    PageLog log{window.Prn()};

    explicit Preview(int rows = 3, int commentLines = 0) : comments(commentLines) {
        texts.set("of_5", "of");
        texts.set("Wait_25", "Please wait");
        grid.setRowCount(rows + 1);
        grid.setCell(0, 0, "HEAD-A");
        for (int r = 1; r <= rows; ++r)
            grid.setCell(0, r, "row " + std::to_string(r));
        window.Prn().setFixedGeometry(test::a4At(300));
        window.setContentSource([this] {
            ReportContent content;
            content.grid = &grid;
            content.margins = margins;
            for (int i = 1; i <= comments; ++i)
                content.comments.setLine(i, "comment " + std::to_string(i));
            return content;
        });
        window.setDialogs(nullptr, &selectPages);
        window.setPrintTarget(&log);
    }
};

} // namespace

class PreviewTest : public QObject {
    Q_OBJECT
private slots:
    void zoomButtonItems_data() {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("inItem");
        QTest::addColumn<int>("outItem");
        QTest::newRow("150, no preset") << 150 << 6 << 4;
        QTest::newRow("preset 100") << 100 << 4 << 2;
        QTest::newRow("none (Page Width)") << 0 << 0 << 0;
        QTest::newRow("smallest") << 25 << 1 << 0;
        QTest::newRow("largest") << 400 << 11 << 10;
        QTest::newRow("beyond") << 1000 << 11 << 11;
    }
    void zoomButtonItems() {
        QFETCH(int, zoom);
        QFETCH(int, inItem);
        QFETCH(int, outItem);
        QCOMPARE(TPreview::zoomInItem(zoom), inItem);
        QCOMPARE(TPreview::zoomOutItem(zoom), outItem);
    }

    void typedZoomThenZoomIn() {
        Preview p;
        QVERIFY(p.window.ComposeReport());
        QCOMPARE(p.window.Zoom->currentIndex(), 3);
        QCOMPARE(p.window.PrnView->zoomPercent(), 100);
        p.window.Zoom->lineEdit()->clear();
        QTest::keyClicks(p.window.Zoom->lineEdit(), QStringLiteral("150"));
        QTest::keyClick(p.window.Zoom->lineEdit(), Qt::Key_Return);
        QCOMPARE(p.window.PrnView->zoomPercent(), 150);
        QCOMPARE(p.window.Zoom->count(), 14); // Enter adds no item
        QTest::mouseClick(p.window.IcoZoomIn, Qt::LeftButton);
        QCOMPARE(p.window.PrnView->zoomPercent(), 175);
        QCOMPARE(p.window.Zoom->currentIndex(), 6);
        QTest::mouseClick(p.window.IcoZoomOut, Qt::LeftButton);
        QCOMPARE(p.window.PrnView->zoomPercent(), 150);
    }

    void typedZoomGarbage_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("zoom");
        QTest::newRow("no digits keep the zoom") << "abc" << 100;
        QTest::newRow("zero keeps the zoom") << "0%" << 100;
        QTest::newRow("huge is the largest") << "99999999999" << 100; // no number that fits
        QTest::newRow("beyond 400") << "5000" << 400;
        QTest::newRow("digits among letters") << "x6y0" << 60;
    }
    void typedZoomGarbage() {
        QFETCH(QString, typed);
        QFETCH(int, zoom);
        Preview p;
        QVERIFY(p.window.ComposeReport());
        p.window.Zoom->setEditText(typed);
        p.window.ZoomEntered();
        QCOMPARE(p.window.PrnView->zoomPercent(), zoom);
        QCOMPARE(p.window.IcoZoomIn->isEnabled(), zoom < 400);
    }

    void navigationAndPageLabel() {
        Preview p(3, PrintoutComments::LineCount);
        QVERIFY(p.window.ComposeReport());
        const int count = p.window.Prn().pageCount();
        QVERIFY(count >= 3);
        QCOMPARE(p.window.Page->text(), QStringLiteral("1 of %1").arg(count));
        QVERIFY(!p.window.IcoLeftK->isEnabled());
        QVERIFY(!p.window.IcoLeft->isEnabled());
        QVERIFY(p.window.IcoRight->isEnabled());
        QTest::mouseClick(p.window.IcoRight, Qt::LeftButton);
        QCOMPARE(p.window.Page->text(), QStringLiteral("2 of %1").arg(count));
        QVERIFY(p.window.IcoLeft->isEnabled());
        QTest::mouseClick(p.window.IcoRightK, Qt::LeftButton);
        QCOMPARE(p.window.Prn().currentPage(), count);
        QVERIFY(!p.window.IcoRight->isEnabled());
        QVERIFY(!p.window.IcoRightK->isEnabled());
        QTest::mouseClick(p.window.IcoLeftK, Qt::LeftButton);
        QCOMPARE(p.window.Prn().currentPage(), 1);
    }

    void selectPages_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QList<int>>("printed");
        QTest::newRow("3 to 2 prints page 2") << "3"
                                              << "2" << QList<int>{2};
        QTest::newRow("2 to 3") << "2"
                                << "3" << QList<int>{2, 3};
        QTest::newRow("empty from") << ""
                                    << "2" << QList<int>{};
        QTest::newRow("beyond the last") << "1"
                                         << "99" << QList<int>{};
        QTest::newRow("letters") << "a"
                                 << "b" << QList<int>{};
    }
    void selectPages() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QList<int>, printed);
        Preview p(3, PrintoutComments::LineCount);
        QVERIFY(p.window.ComposeReport());
        QVERIFY(p.window.Prn().pageCount() >= 3);
        test::onNextModal([&](QWidget*) {
            QCOMPARE(p.selectPages.FromPage->text(), QStringLiteral("1"));
            QCOMPARE(p.selectPages.ToPage->text(), QString::number(p.window.Prn().pageCount()));
            p.selectPages.FromPage->setText(from);
            p.selectPages.ToPage->setText(to);
            QTest::mouseClick(p.selectPages.PrnBtn, Qt::LeftButton);
        });
        QTest::mouseClick(p.window.IcoPrint, Qt::LeftButton);
        QVERIFY(!p.selectPages.isVisible());
        QCOMPARE(QList<int>(p.log.pages.begin(), p.log.pages.end()), printed);
    }

    void marginsAreKeptAsTypedAndRecompose() {
        QTemporaryDir dir;
        const PrivateProfile settings(dir.filePath(QStringLiteral("ZARN.INI")).toStdString());
        TMargins margins(settings);
        margins.load();
        Preview p;
        p.window.setDialogs(&margins, &p.selectPages);
        p.window.setContentSource([&] {
            ReportContent content;
            content.grid = &p.grid;
            content.margins = margins.texts();
            return content;
        });
        QVERIFY(p.window.ComposeReport());
        QCOMPARE(p.window.Prn().marginLeft(), 25.4);
        test::onNextModal([&](QWidget*) {
            QCOMPARE(margins.MarLeft->text(), QStringLiteral("2.54"));
            margins.MarLeft->setText(QStringLiteral("3,5"));
            QTest::mouseClick(margins.SaveBtn, Qt::LeftButton);
        });
        QTest::mouseClick(p.window.IcoMargins, Qt::LeftButton);
        QVERIFY(margins.saved());
        QCOMPARE(settings.read("MARGINS", "MarginLeft"), std::string("3,5"));
        QCOMPARE(p.window.Prn().marginLeft(), 35.0);

        // Cancel changes nothing.
        test::onNextModal([&](QWidget*) {
            margins.MarLeft->setText(QStringLiteral("9"));
            QTest::mouseClick(margins.CancelBtn, Qt::LeftButton);
        });
        QTest::mouseClick(p.window.IcoMargins, Qt::LeftButton);
        QVERIFY(!margins.saved());
        QCOMPARE(settings.read("MARGINS", "MarginLeft"), std::string("3,5"));
    }

    void invalidMarginIsReportedAndNothingComposed() {
        Preview p;
        QVERIFY(p.window.ComposeReport());
        const PageRecording* before = p.window.Prn().page(1);
        p.margins.setText(MarginSide::Right, "wide");
        QVERIFY(!p.window.ComposeReport());
        QCOMPARE(p.ui.messages.size(), size_t(1));
        QVERIFY(p.ui.messages[0].text.find("right margin") != std::string::npos);
        QCOMPARE(p.window.Prn().page(1), before);
    }

    void saveAsPdf() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("report.pdf"));
        Preview p;
        QVERIFY(p.window.ComposeReport());
        p.ui.saveFileAnswers.push_back(file.toStdString());
        QTest::mouseClick(p.window.IcoSavePdf, Qt::LeftButton);
        QFile pdf(file);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        QVERIFY(p.ui.messages.empty());

        // Cancelled: nothing written.
        QVERIFY(QFile::remove(file));
        p.ui.saveFileAnswers.push_back(std::nullopt);
        QTest::mouseClick(p.window.IcoSavePdf, Qt::LeftButton);
        QVERIFY(!QFile::exists(file));
    }

    // The main window's Print button composes the selected node's view in portrait.
    void printButtonOpensThePreview() {
        test::ProgramDir dir;
        ScriptedInteraction ui;
        TForm1 form(ProgramPaths::resolve("/nonexistent", dir.path()), &ui);
        QVERIFY(form.startUp());
        auto* preview = test::named<TPreview>(form, "TPreview");
        // The language's texts reach the preview's buttons and zoom list.
        QVERIFY(!preview->IcoZoomIn->toolTip().isEmpty());
        QVERIFY(!preview->IcoLeftK->toolTip().isEmpty());
        QVERIFY(!preview->Zoom->itemText(TPreview::PageWidthItem).isEmpty());
        test::fillSample(form.workspace());
        form.tree().setSelected(form.tree().firstNode());
        form.refreshView();
        preview->Prn().setFixedGeometry(test::a4At(300));
        preview->Prn().setOrientation(TPrinterOrientation::poLandscape);
        test::named<QAction>(form, "IcoPrint")->trigger();
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->Prn().orientation(), TPrinterOrientation::poPortrait);
        QCOMPARE(preview->Prn().pageCount(), 1);
        const test::DrawnPage page = test::drawnPage(preview->Prn(), 1);
        QVERIFY(page.has(QString::fromStdString(
            test::named<TStringGridAll>(form, "TabelaV")->cells().cell(1, 1))));
        QVERIFY(ui.messages.empty());
        QVERIFY(preview->Page->text().startsWith(QStringLiteral("1 of 1")));
        preview->close();
        test::named<QAction>(form, "PrintPreview1")->trigger();
        QVERIFY(preview->isVisible());
    }
};

QTEST_MAIN(PreviewTest)
#include "test_ui_preview.moc"
