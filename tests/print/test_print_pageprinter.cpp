// TPagePrinter without a printer job: geometry, margins, the document, page ranges, copies
// and collation through a target that records what a printer would get, and PDF output.
#include "PrintTestSupport.h"
#include "support/ScriptedInteraction.h"

#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>

namespace zarn {
namespace {

// A printer job that writes down what it gets: "1" for page 1 drawn, "|" for a page break,
// "begin", "end" and "abort" for the job.
class RecordingTarget : public PrintTarget {
public:
    explicit RecordingTarget(const TPagePrinter& printer) : printer_(printer) {}

    std::vector<std::string> events;
    int copies_ = 7;
    int copiesDuringJob = 0;
    bool failBegin = false;
    int failNewPageAt = 0; // the n-th page break fails

    int copies() const override { return copies_; }
    void setCopies(int copies) override { copies_ = copies; }
    void beginJob(const QString&) override {
        if (failBegin)
            throw EPagePrinter("printer refused");
        open_ = true;
        copiesDuringJob = copies_;
        events.push_back("begin");
    }
    bool jobOpen() const override { return open_; }
    void drawPage(const PageRecording& page) override {
        for (int n = 1; n <= printer_.pageCount(); ++n)
            if (printer_.page(n) == &page)
                events.push_back(std::to_string(n));
    }
    void newPage() override {
        if (++breaks_ == failNewPageAt)
            throw EPagePrinter("paper jam");
        events.push_back("|");
    }
    void endJob() override {
        open_ = false;
        events.push_back("end");
    }
    void abortJob() override {
        open_ = false;
        events.push_back("abort");
    }

    // The pages and breaks between begin and end, e.g. "1|2|3".
    std::string pages() const {
        std::string out;
        for (const auto& e : events)
            if (e != "begin" && e != "end" && e != "abort")
                out += e;
        return out;
    }

private:
    const TPagePrinter& printer_;
    bool open_ = false;
    int breaks_ = 0;
};

class PagePrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        printer.setFixedGeometry(test::a4At300());
        printer.setMeasureUnit(TMeasureUnit::muMillimeters);
    }
    void recordPages(int count) {
        printer.beginDoc();
        for (int n = 2; n <= count; ++n)
            printer.newPage();
        printer.endDoc();
    }
    TPagePrinter printer;
};

// --- geometry and margins ---------------------------------------------------------------

TEST(PrinterGeometryTest, StandInIsA4OrLetterAt300Dpi) {
    const PrinterGeometry mm = fallbackGeometry(TMeasureUnit::muMillimeters);
    EXPECT_EQ(mm.dpiX, 300);
    EXPECT_EQ(mm.dpiY, 300);
    EXPECT_EQ(mm.paperWidth, 2480);  // 210 mm
    EXPECT_EQ(mm.paperHeight, 3508); // 297 mm
    EXPECT_EQ(mm.offsetX, 71);       // 6 mm
    EXPECT_EQ(mm.offsetY, 71);
    const PrinterGeometry in = fallbackGeometry(TMeasureUnit::muInches);
    EXPECT_EQ(in.paperWidth, 2550);  // 8.5 in
    EXPECT_EQ(in.paperHeight, 3300); // 11 in
    EXPECT_EQ(in.offsetX, 75);       // 0.25 in
}

TEST(PrinterGeometryTest, WithoutAPrinterThePreviewAndPdfStillHaveAResolution) {
    TPagePrinter printer;
    if (printer.hasPrinter()) {
        printer.printer().setOutputFormat(QPrinter::PdfFormat); // no system printer in use
        printer.printerChanged();
    }
    ASSERT_FALSE(printer.hasPrinter());
    EXPECT_EQ(printer.pixelsPerInchX(), 300);
    EXPECT_EQ(printer.pixelsPerInchY(), 300);
    EXPECT_EQ(printer.title(), QStringLiteral("<Unknown>"));
    // Orientation cannot change without a printer.
    printer.setOrientation(TPrinterOrientation::poLandscape);
    EXPECT_EQ(printer.orientation(), TPrinterOrientation::poPortrait);
    EXPECT_LT(printer.paperWidth(), printer.paperHeight());
}

struct MarginCase {
    const char* name;
    void (TPagePrinter::*set)(double);
    double (TPagePrinter::*get)() const;
    double value;
    double expected; // mm; NAN: the paper size minus the offset on that axis
    bool horizontal;
};
void PrintTo(const MarginCase& c, std::ostream* os) {
    *os << c.name;
}

class MarginClampTest : public PagePrinterTest, public ::testing::WithParamInterface<MarginCase> {};

TEST_P(MarginClampTest, ClampsBetweenOffsetAndPaperMinusOffset) {
    const MarginCase& c = GetParam();
    const double offset = 71 * 25.4 / 300; // 6.011 mm
    (printer.*c.set)(c.value);
    double expected = c.expected;
    if (std::isnan(expected))
        expected = (c.horizontal ? printer.paperWidth() : printer.paperHeight()) - offset;
    else if (expected == 0)
        expected = offset;
    EXPECT_NEAR((printer.*c.get)(), expected, 1e-9);
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Margins, MarginClampTest,
                         ::testing::Values(
                             // expected 0 stands for the offset, NaN for paper minus offset
                             MarginCase{"LeftZeroIsOffset", &TPagePrinter::setMarginLeft,
                                        &TPagePrinter::marginLeft, 0, 0, true},
                             MarginCase{"TopNegativeIsOffset", &TPagePrinter::setMarginTop,
                                        &TPagePrinter::marginTop, -3, 0, false},
                             MarginCase{"RightInsideKept", &TPagePrinter::setMarginRight,
                                        &TPagePrinter::marginRight, 25.4, 25.4, true},
                             MarginCase{"BottomInsideKept", &TPagePrinter::setMarginBottom,
                                        &TPagePrinter::marginBottom, 20, 20, false},
                             MarginCase{"LeftBeyondPaper", &TPagePrinter::setMarginLeft,
                                        &TPagePrinter::marginLeft, 500, kNaN, true},
                             MarginCase{"BottomBeyondPaper", &TPagePrinter::setMarginBottom,
                                        &TPagePrinter::marginBottom, 1e9, kNaN, false},
                             MarginCase{"RightInfinite", &TPagePrinter::setMarginRight,
                                        &TPagePrinter::marginRight, kInf, kNaN, true},
                             MarginCase{"TopNotANumber", &TPagePrinter::setMarginTop,
                                        &TPagePrinter::marginTop, kNaN, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PagePrinterTest, UnitsAndOriginInDevicePixels) {
    EXPECT_EQ(printer.unitsToPixelsX(25.4), 300);
    EXPECT_EQ(printer.unitsToPixelsY(2), 24); // 23.6 rounds up
    printer.setMarginLeft(25.4);
    printer.setMarginTop(30);
    printer.setMarginRight(20);
    printer.setMarginBottom(15);
    const double offset = 71 * 25.4 / 300;
    EXPECT_EQ(printer.drawOrigin(),
              QPoint(printer.unitsToPixelsX(25.4 - offset), printer.unitsToPixelsY(30 - offset)));
    EXPECT_EQ(printer.drawOrigin(), QPoint(229, 283));
    EXPECT_NEAR(printer.printableWidth(), printer.paperWidth() - 45.4, 1e-9);
    EXPECT_NEAR(printer.printableHeight(), printer.paperHeight() - 45, 1e-9);
    EXPECT_EQ(printer.recordingSize(), QSize(2480 - 71, 3508 - 71));

    // Inches turn the margins with them.
    printer.setMeasureUnit(TMeasureUnit::muInches);
    EXPECT_NEAR(printer.marginLeft(), 1.0, 1e-9);
    EXPECT_EQ(printer.unitsToPixelsX(1.0), 300);
    EXPECT_EQ(printer.drawOrigin(), QPoint(229, 283));
}

struct RefusalCase {
    const char* name;
    std::function<void(TPagePrinter&)> change;
    const char* message;
};
void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

class RefusedWhileRecording : public PagePrinterTest,
                              public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusedWhileRecording, WithTheExactMessage) {
    printer.setMarginLeft(20);
    printer.beginDoc();
    try {
        GetParam().change(printer);
        FAIL() << "no error";
    } catch (const EPagePrinter& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
    EXPECT_NEAR(printer.marginLeft(), 20, 1e-9);
    printer.endDoc();
    EXPECT_NO_THROW(GetParam().change(printer));
}

INSTANTIATE_TEST_SUITE_P(
    Document, RefusedWhileRecording,
    ::testing::Values(RefusalCase{"Left", [](TPagePrinter& p) { p.setMarginLeft(30); },
                                  "Unable to change left margin while printing"},
                      RefusalCase{"Right", [](TPagePrinter& p) { p.setMarginRight(30); },
                                  "Unable to change right margin while printing"},
                      RefusalCase{"Top", [](TPagePrinter& p) { p.setMarginTop(30); },
                                  "Unable to change top margin while printing"},
                      RefusalCase{"Bottom", [](TPagePrinter& p) { p.setMarginBottom(30); },
                                  "Unable to change bottom margin while printing"},
                      RefusalCase{"Orientation",
                                  [](TPagePrinter& p) {
                                      p.setOrientation(TPrinterOrientation::poLandscape);
                                  },
                                  "Unable to change orientation while printing"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- the document -------------------------------------------------------------------------

TEST_F(PagePrinterTest, DocumentPagesAndCanvas) {
    EXPECT_EQ(printer.pageCount(), 0);
    EXPECT_EQ(printer.currentPage(), 0);
    EXPECT_TRUE(printer.canvas().isActive()); // the scratch canvas

    printer.beginDoc();
    EXPECT_TRUE(printer.printing());
    EXPECT_EQ(printer.currentPage(), 1);
    printer.canvas().setFont(QFont(QStringLiteral("DejaVu Sans"), 20, QFont::Bold));
    EXPECT_EQ(printer.newPage(), 2);
    // Every page starts with the component's font, not the previous page's.
    EXPECT_EQ(printer.canvas().font().pointSize(), printer.font().pointSize());
    EXPECT_FALSE(printer.canvas().font().bold());
    EXPECT_EQ(printer.canvas().brush().style(), Qt::NoBrush);
    EXPECT_EQ(printer.newPage(), 3);
    printer.endDoc();
    EXPECT_FALSE(printer.printing());
    EXPECT_EQ(printer.pageCount(), 3);
    EXPECT_EQ(printer.currentPage(), 1);
    EXPECT_TRUE(printer.canvas().isActive());

    printer.beginDoc(); // discards the previous document
    printer.endDoc();
    EXPECT_EQ(printer.pageCount(), 1);
}

TEST_F(PagePrinterTest, FontsAreSizedForThePrinter) {
    printer.beginDoc();
    printer.canvas().setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    // 12 points at 300 dpi are 50 pixels; at a screen's 96 dpi they would be 16.
    const QFontMetrics metrics(printer.canvas().font(), printer.canvas().device());
    EXPECT_GT(metrics.height(), 45);
    EXPECT_LT(metrics.height(), 80);
    printer.endDoc();
}

TEST_F(PagePrinterTest, RecordingReplaysInDevicePixels) {
    printer.setMarginLeft(25.4);
    printer.setMarginTop(25.4);
    printer.beginDoc();
    const QPoint origin = printer.drawOrigin();
    printer.canvas().fillRect(QRect(origin, QSize(100, 50)), Qt::black);
    printer.endDoc();

    QImage image(printer.recordingSize(), QImage::Format_RGB32);
    image.setDotsPerMeterX(std::lround(300 / 0.0254));
    image.setDotsPerMeterY(std::lround(300 / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        playRecording(painter, *printer.page(1));
    }
    EXPECT_EQ(image.pixel(origin + QPoint(1, 1)), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(origin + QPoint(98, 48)), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(origin + QPoint(102, 25)), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(origin + QPoint(50, 52)), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(origin - QPoint(2, 2)), qRgb(255, 255, 255));
}

TEST_F(PagePrinterTest, ShowPageOutOfRange) {
    recordPages(3);
    for (int page : {0, 4, -1}) {
        try {
            printer.showPage(page);
            FAIL() << "page " << page << " accepted";
        } catch (const EPagePrinter& e) {
            EXPECT_STREQ(e.what(), "PageNumber must be between 1 and 3");
        }
    }
    printer.showPage(3);
    EXPECT_EQ(printer.currentPage(), 3);

    TPagePrinter empty;
    EXPECT_NO_THROW(empty.showPage(1));
    EXPECT_EQ(empty.currentPage(), 0);
}

// --- page range, copies and collation -------------------------------------------------------

TEST(PrintRangeOrder, ToBelowFromLowersFromAndFromAboveToRaisesTo) {
    TPagePrinter printer;
    printer.setPrintToPage(5);
    printer.setPrintFromPage(3);
    printer.setPrintToPage(2);
    EXPECT_EQ(printer.printFromPage(), 2);
    EXPECT_EQ(printer.printToPage(), 2);
    printer.setPrintFromPage(4);
    EXPECT_EQ(printer.printFromPage(), 4);
    EXPECT_EQ(printer.printToPage(), 4);
}

struct PrintCase {
    const char* name;
    int from;
    int to;
    int copies;
    bool collate;
    const char* pages; // what the printer gets, "|" being a page break
};
void PrintTo(const PrintCase& c, std::ostream* os) {
    *os << c.name;
}

class PrintOrderTest : public PagePrinterTest, public ::testing::WithParamInterface<PrintCase> {};

TEST_P(PrintOrderTest, PagesAndBreaks) {
    const PrintCase& c = GetParam();
    recordPages(3);
    printer.setPrintFromPage(c.from);
    printer.setPrintToPage(c.to);
    printer.setCopies(c.copies);
    printer.setCollate(c.collate);
    RecordingTarget target(printer);
    EXPECT_TRUE(printer.print(target));
    EXPECT_EQ(target.pages(), c.pages);
    EXPECT_EQ(target.events.front(), "begin");
    EXPECT_EQ(target.events.back(), "end");
    // Copies are made by sending pages again: the printer prints each page once.
    EXPECT_EQ(target.copiesDuringJob, 1);
    EXPECT_EQ(target.copies(), 7);
}

INSTANTIATE_TEST_SUITE_P(
    Print, PrintOrderTest,
    ::testing::Values(PrintCase{"AllByZeroes", 0, 0, 1, true, "1|2|3"},
                      PrintCase{"ToBeyondCount", 1, 9, 1, true, "1|2|3"},
                      PrintCase{"FromBeyondCount", 7, 9, 1, true, "3"},
                      PrintCase{"FromAndToPast", 2, 5, 1, true, "2|3"},
                      // Setting 0 as the to-page lowers the from-page to 0 as well.
                      PrintCase{"ToZeroAfterFrom", 2, 0, 1, true, "1|2|3"},
                      PrintCase{"OnePage", 2, 2, 1, true, "2"},
                      PrintCase{"Collated", 0, 0, 2, true, "1|2|3|1|2|3"},
                      PrintCase{"NotCollated", 0, 0, 2, false, "1|1|2|2|3|3"},
                      PrintCase{"ZeroCopiesIsOne", 0, 0, 0, false, "1|2|3"},
                      PrintCase{"RangeNotCollated", 2, 3, 3, false, "2|2|2|3|3|3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PagePrinterTest, PrintWithoutPagesSendsNothing) {
    RecordingTarget target(printer);
    EXPECT_TRUE(printer.print(target));
    EXPECT_TRUE(target.events.empty());
}

TEST_F(PagePrinterTest, PrintEndsAnOpenDocumentFirst) {
    printer.beginDoc();
    printer.newPage();
    RecordingTarget target(printer);
    EXPECT_TRUE(printer.print(target));
    EXPECT_FALSE(printer.printing());
    EXPECT_EQ(target.pages(), "1|2");
}

struct CancelCase {
    const char* name;
    bool abortOnCancel;
    const char* events;
};
void PrintTo(const CancelCase& c, std::ostream* os) {
    *os << c.name;
}

class CancelTest : public PagePrinterTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelTest, StopsAtTheNextPage) {
    recordPages(3);
    printer.setCopies(2);
    printer.setAbortOnCancel(GetParam().abortOnCancel);
    printer.setTitle(QStringLiteral("Report"));
    ScriptedInteraction ui;
    ui.requestCancel(); // a Cancel left over from earlier work does not count
    ui.cancelAtProcessEvents = 2;
    RecordingTarget target(printer);
    EXPECT_FALSE(printer.print(target, &ui));
    std::string events;
    for (const auto& e : target.events)
        events += e + " ";
    EXPECT_EQ(events, GetParam().events);
    EXPECT_EQ(target.copies(), 7);
    EXPECT_EQ(ui.caption, "Report");
    EXPECT_FALSE(ui.progressVisible);
    ASSERT_FALSE(ui.labels.empty());
    EXPECT_EQ(ui.labels.back(), "Sending Pages To Printer|Page 1 of 3 x 2 Copies");
}

INSTANTIATE_TEST_SUITE_P(Print, CancelTest,
                         ::testing::Values(CancelCase{"EndsTheJob", false, "begin 1 | end "},
                                           CancelCase{"AbortsTheJob", true, "begin 1 | abort "}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PagePrinterTest, ProgressCountsPagesSent) {
    recordPages(3);
    printer.setPrintFromPage(2);
    printer.setPrintToPage(3);
    ScriptedInteraction ui;
    RecordingTarget target(printer);
    EXPECT_TRUE(printer.print(target, &ui));
    EXPECT_EQ(ui.positions, (std::vector<int>{50, 100}));
    // No total when the range does not start at page 1.
    EXPECT_EQ(ui.labels, (std::vector<std::string>{"Sending Pages To Printer|Page 2",
                                                   "Sending Pages To Printer|Page 3"}));
    EXPECT_FALSE(ui.progressVisible);

    // Without the progress display nothing is shown and Cancel is not looked at.
    printer.setShowProgress(false);
    ScriptedInteraction quiet;
    quiet.cancelAtProcessEvents = 1;
    RecordingTarget again(printer);
    EXPECT_TRUE(printer.print(again, &quiet));
    EXPECT_EQ(quiet.processEventsCalls, 0);
    EXPECT_TRUE(quiet.positions.empty());
}

TEST_F(PagePrinterTest, PrinterErrorsPassOnAndNothingHalfPrintedGoesOut) {
    recordPages(3);
    RecordingTarget refusing(printer);
    refusing.failBegin = true;
    try {
        printer.print(refusing);
        FAIL() << "no error";
    } catch (const EPagePrinter& e) {
        EXPECT_STREQ(e.what(), "printer refused");
    }
    EXPECT_EQ(refusing.copies(), 7);

    RecordingTarget jamming(printer);
    jamming.failNewPageAt = 2;
    ScriptedInteraction ui;
    EXPECT_THROW(printer.print(jamming, &ui), EPagePrinter);
    EXPECT_EQ(jamming.events.back(), "abort");
    EXPECT_FALSE(jamming.jobOpen());
    EXPECT_EQ(jamming.copies(), 7);
    EXPECT_FALSE(ui.progressVisible);
}

// --- PDF ------------------------------------------------------------------------------------

TEST_F(PagePrinterTest, PdfHasEveryPageWithItsTexts) {
    printer.setMarginLeft(20);
    printer.setMarginTop(20);
    test::drawTextPages(printer, 3);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    printer.writePdf(path);
    QString error;
    EXPECT_EQ(test::pdfPageCount(path, &error), 3) << error.toStdString();
    const test::ToolRun info = test::runTool(test::popplerTool("ZARN_PDFINFO", "pdfinfo"), {path});
    EXPECT_TRUE(info.output.contains(QStringLiteral("(A4)"))) << info.output.toStdString();
    const QString text = test::pdfText(path);
    for (int page = 1; page <= 3; ++page)
        for (const QString& line : test::pageTexts(page, 3))
            EXPECT_TRUE(text.contains(line)) << line.toStdString();
    // No leftovers beside the file.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(PagePrinterTest, PdfToAnUnwritablePlaceFailsAndKeepsTheOldFile) {
    recordPages(1);
    EXPECT_THROW(printer.writePdf(QStringLiteral("/nonexistent-dir/report.pdf")), EPagePrinter);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old report");
    old.close();
    // A folder where the temporary file would go makes the write fail.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral(".report.pdf.part")));
    EXPECT_THROW(printer.writePdf(path), EPagePrinter);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old report"));
}

} // namespace
} // namespace zarn
