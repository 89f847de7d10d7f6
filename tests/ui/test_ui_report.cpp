// The results report as composed on the page printer: table fitting, page frame and shading,
// comments, margins, the wait notice, the logo and the PDF output. Pages are checked by
// replaying them onto a recording paint engine.
#include "ReportRecorder.h"
#include "core/grid/StringGridData.h"
#include "print/PagePrinter.h"
#include "print/PdfPrintTarget.h"
#include "print/ResultsReport.h"
#include "support/ScriptedInteraction.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace zarn;
using namespace zarn::test;

namespace {

// A results view of three columns: a heading row and `rows` rows "row N".
struct View {
    StringGridData grid{3, 1};
    ReportContent content;

    explicit View(int rows, int comments = 0) {
        grid.setRowCount(rows + 1);
        grid.setCell(0, 0, "HEAD-A");
        grid.setCell(1, 0, "HEAD-B");
        grid.setCell(2, 0, "HEAD-C");
        grid.setColAlignment(0, TSAlign::alsCenter);
        for (int r = 1; r <= rows; ++r) {
            grid.setCell(0, r, "row " + std::to_string(r));
            grid.setCell(1, r, "first\rsecond");
            grid.setCell(2, r, "x");
        }
        content.grid = &grid;
        content.waitText = "Please wait";
        for (int i = 1; i <= comments; ++i)
            content.comments.setLine(i, "comment " + std::to_string(i));
    }
};

int pixelsY(const TPagePrinter& prn, double mm) {
    return prn.unitsToPixelsY(mm);
}

} // namespace

class ReportTest : public QObject {
    Q_OBJECT
private:
    TPagePrinter prn_;

private slots:
    void init() {
        prn_.setFixedGeometry(a4At(300));
        prn_.setOrientation(TPrinterOrientation::poPortrait);
    }

    void fitColumns_data() {
        QTest::addColumn<int>("width");     // each of two columns at step 0
        QTest::addColumn<int>("shrink");    // less per font step
        QTest::addColumn<int>("available"); // for the whole table
        QTest::addColumn<int>("step");
        QTest::newRow("fits at once") << 100 << 5 << 500 << 0;
        QTest::newRow("fits exactly") << 100 << 5 << 200 << 0;
        QTest::newRow("fits after five steps") << 100 << 5 << 150 << 5;
        QTest::newRow("never fits") << 1000 << 5 << 10 << ResultsReport::MaxFontStep;
    }
    void fitColumns() {
        QFETCH(int, width);
        QFETCH(int, shrink);
        QFETCH(int, available);
        QFETCH(int, step);
        const ColumnFit fit =
            ResultsReport::fitColumns(2, available, [&](int, int s) { return width - shrink * s; });
        QCOMPARE(fit.fontStep, step);
        QCOMPARE(fit.tableWidth, 2 * (width - shrink * step));
    }

    // Too wide at every step: the smallest fonts, centred on the printable width, overhanging
    // both margins alike.
    void tooWideIsCentredAtLastStep() {
        View view(2);
        view.grid.setCell(1, 1, std::string(2000, 'W'));
        ResultsReport report(prn_);
        report.compose(view.content);
        QCOMPARE(report.columns().fontStep, ResultsReport::MaxFontStep);
        const int x0 = prn_.drawOrigin().x();
        const int pw = prn_.unitsToPixelsX(prn_.printableWidth());
        const int sideGap = prn_.unitsToPixelsX(2);
        const int left = x0 + sideGap - report.tableX();
        const int right = report.tableX() + report.columns().tableWidth - (x0 + pw - sideGap);
        QVERIFY(left > 0);
        QVERIFY(qAbs(left - right) <= 1);
        QVERIFY(drawnPage(prn_, 1).has(QString(2000, QLatin1Char('W'))));
    }

    void shadingOnlyAbove250Dpi_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("shaded");
        QTest::newRow("300 dpi") << 300 << true;
        QTest::newRow("250 dpi") << 250 << false;
        QTest::newRow("200 dpi") << 200 << false;
    }
    void shadingOnlyAbove250Dpi() {
        QFETCH(int, dpi);
        QFETCH(bool, shaded);
        prn_.setFixedGeometry(a4At(dpi));
        View view(3);
        ResultsReport(prn_).compose(view.content);
        const DrawnPage page = drawnPage(prn_, 1);
        const QColor grey(229, 229, 229);
        QCOMPARE(page.fillsOf(grey) > 0, shaded);
        // The heading row's cells are shaded like the frame.
        const int headerTop = prn_.drawOrigin().y() + pixelsY(prn_, 30);
        int headerFills = 0;
        for (const auto& [rect, colour] : page.fills)
            headerFills += colour == grey && qRound(rect.top()) == headerTop;
        QCOMPARE(headerFills, shaded ? 3 : 0);
        // Lines and texts stay either way.
        QVERIFY(page.lines > 0);
        for (const char* text : {"HEAD-A", "row 1", "row 3", "second", "Operator:"})
            QVERIFY2(page.has(QString::fromLatin1(text)), text);
    }

    void commentsSpillOntoPagesWithoutHeadingRow() {
        View view(3, PrintoutComments::LineCount);
        ResultsReport(prn_).compose(view.content);
        QVERIFY(prn_.pageCount() >= 3);
        const DrawnPage first = drawnPage(prn_, 1);
        QCOMPARE(first.count(QStringLiteral("HEAD-A")), 1);
        QCOMPARE(first.count(QStringLiteral("Operator:")), 1);
        QVERIFY(!first.has(QStringLiteral("comment 1")));
        int expected = 1;
        for (int p = 2; p <= prn_.pageCount(); ++p) {
            const DrawnPage page = drawnPage(prn_, p);
            QVERIFY(!page.has(QStringLiteral("HEAD-A")));
            // Frame and heading once per page, so a PDF holds each text once.
            QCOMPARE(page.count(QStringLiteral(" -%1- ").arg(p)), 1);
            QCOMPARE(page.count(QStringLiteral("Operator:")), 1);
            double lastY = 0;
            for (const auto& t : page.texts) {
                if (!t.text.startsWith(QLatin1String("comment ")))
                    continue;
                QCOMPARE(t.text, QStringLiteral("comment %1").arg(expected));
                QVERIFY(t.at.y() > lastY);
                lastY = t.at.y();
                ++expected;
            }
        }
        QCOMPARE(expected, PrintoutComments::LineCount + 1); // each once, in order
    }

    void fewCommentsGoBelowTheTable() {
        View view(3, 3);
        ResultsReport(prn_).compose(view.content);
        QCOMPARE(prn_.pageCount(), 1);
        const DrawnPage page = drawnPage(prn_, 1);
        QVERIFY(page.has(QStringLiteral("comment 3")));
        QVERIFY(page.find(QStringLiteral("comment 1"))->at.y() >
                page.find(QStringLiteral("row 3"))->at.y());
    }

    void emptyCommentLinesPrintNothing() {
        View off(3);
        off.content.comments.setSwitches("001");
        ResultsReport(prn_).compose(off.content);
        const QStringList withoutComments = drawnPage(prn_, 1).textList();

        View empty(3);
        for (int i = 1; i <= PrintoutComments::LineCount; ++i)
            empty.content.comments.setLine(i, "");
        empty.content.comments.setSwitches("101");
        ResultsReport(prn_).compose(empty.content);
        QCOMPARE(prn_.pageCount(), 1);
        QStringList withEmpty = drawnPage(prn_, 1).textList();
        QCOMPARE(withEmpty, withoutComments);
    }

    void pageNumbersFollowTheSwitch() {
        View view(2);
        view.content.comments.setSwitches("100");
        ResultsReport(prn_).compose(view.content);
        QVERIFY(!drawnPage(prn_, 1).has(QStringLiteral(" -1- ")));
        view.content.comments.setSwitches("101");
        ResultsReport(prn_).compose(view.content);
        QVERIFY(drawnPage(prn_, 1).has(QStringLiteral(" -1- ")));
    }

    void invalidMarginComposesNothing_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named");
        QTest::newRow("letters") << int(MarginSide::Left) << "abc"
                                 << "left margin";
        QTest::newRow("empty") << int(MarginSide::Bottom) << ""
                               << "bottom margin";
        QTest::newRow("two marks") << int(MarginSide::Top) << "1,2.3"
                                   << "top margin";
    }
    void invalidMarginComposesNothing() {
        QFETCH(int, side);
        QFETCH(QString, text);
        QFETCH(QString, named);
        View view(2);
        ResultsReport report(prn_);
        report.compose(view.content);
        QCOMPARE(prn_.pageCount(), 1);
        const PageRecording* before = prn_.page(1);

        view.content.margins.setText(static_cast<MarginSide>(side), text.toStdString());
        try {
            report.compose(view.content);
            QFAIL("no error");
        } catch (const EMarginError& e) {
            QVERIFY2(QString::fromStdString(e.what()).contains(named), e.what());
        }
        QCOMPARE(prn_.pageCount(), 1);
        QCOMPARE(prn_.page(1), before); // the previous document stays as it was
    }

    void decimalCommaOrPointGiveTheSameMargin() {
        for (const char* text : {"2,5", "2.5"}) {
            View view(1);
            view.content.margins.setText(MarginSide::Left, text);
            ResultsReport(prn_).compose(view.content);
            QCOMPARE(prn_.marginLeft(), 25.0);
        }
    }

    // A view without rows still prints the page frame and heading, comments below it.
    void emptyViewKeepsHeading() {
        View view(0, 1);
        ResultsReport(prn_).compose(view.content);
        QCOMPARE(prn_.pageCount(), 1);
        const DrawnPage page = drawnPage(prn_, 1);
        QVERIFY(page.has(QStringLiteral("Operator:")));
        QVERIFY(page.has(QStringLiteral("comment 1")));
        QVERIFY(!page.has(QStringLiteral("HEAD-A")));
        QVERIFY(page.find(QStringLiteral("comment 1"))->at.y() >
                prn_.drawOrigin().y() + pixelsY(prn_, 30));
    }

    void waitNoticeWhileComposing() {
        View view(40);
        ScriptedInteraction ui;
        ResultsReport(prn_).compose(view.content, &ui);
        QCOMPARE(ui.labels.front(), std::string("Please wait|"));
        QCOMPARE(ui.positions.back(), 100);
        QVERIFY(std::is_sorted(ui.positions.begin(), ui.positions.end()));
        QVERIFY(!ui.progressVisible);
        QVERIFY(ui.cancelButtonVisible);
        QVERIFY(ui.processEventsCalls >= 1);
    }

    void logoReplacesOperatorLines() {
        QTemporaryDir dir;
        const QString logo = dir.filePath(QStringLiteral("logo.png"));
        QImage image(80, 40, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(logo));

        View view(1);
        view.content.heading.setText(PrintoutHeading::Op1, "OPERATOR-LINE");
        view.content.heading.setText(PrintoutHeading::Logo, logo.toStdString());
        view.content.heading.setLogoMode(1);
        ResultsReport(prn_).compose(view.content);
        DrawnPage page = drawnPage(prn_, 1);
        QCOMPARE(page.images, 1);
        QVERIFY(!page.has(QStringLiteral("OPERATOR-LINE")));

        view.content.heading.setText(PrintoutHeading::Logo,
                                     (logo + QStringLiteral("x")).toStdString());
        ResultsReport(prn_).compose(view.content);
        page = drawnPage(prn_, 1);
        QCOMPARE(page.images, 0);

        view.content.heading.setLogoMode(0);
        ResultsReport(prn_).compose(view.content);
        QVERIFY(drawnPage(prn_, 1).has(QStringLiteral("OPERATOR-LINE")));
    }

    // The PDF holds the pages as composed: their texts at their places, and only the range.
    void pdfHoldsThePages() {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        if (pdftotext.isEmpty() || pdfinfo.isEmpty())
            QSKIP("poppler-utils (pdftotext, pdfinfo) are not installed");
        View view(3, PrintoutComments::LineCount);
        ResultsReport(prn_).compose(view.content);
        QTemporaryDir dir;
        const QString all = dir.filePath(QStringLiteral("all.pdf"));
        const QString second = dir.filePath(QStringLiteral("second.pdf"));
        writePdfPages(prn_, all);
        writePdfPages(prn_, second, 2, 2);
        QCOMPARE(prn_.printFromPage(), 0); // the page printer's own range is kept
        QCOMPARE(prn_.printToPage(), 0);

        const auto run = [](const QString& program, const QStringList& args) {
            QProcess p;
            p.start(program, args);
            p.waitForFinished(30000);
            return QString::fromUtf8(p.readAllStandardOutput());
        };
        QVERIFY(run(pdfinfo, {all})
                    .contains(QRegularExpression(
                        QStringLiteral("Pages:\\s+%1\\n").arg(prn_.pageCount()))));
        QVERIFY(
            run(pdfinfo, {second}).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
        const QString text = run(pdftotext, {QStringLiteral("-layout"), all, QStringLiteral("-")});
        for (const char* t : {"HEAD-A", "row 3", "comment 1", "comment 200", "Operator:", "-1-"})
            QVERIFY2(text.contains(QString::fromLatin1(t)), t);
        const QString secondText = run(pdftotext, {second, QStringLiteral("-")});
        QVERIFY(secondText.contains(QStringLiteral("-2-")));
        QVERIFY(!secondText.contains(QStringLiteral("HEAD-A")));
    }
};

QTEST_MAIN(ReportTest)
#include "test_ui_report.moc"
