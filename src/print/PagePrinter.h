// TPagePrinter: records the pages the report draws, in printer device pixels, keeps them as
// vector recordings and sends a range of them to a printer or a PDF file.
//
// The geometry is the printer's: its resolution, paper size and unprintable offsets. The page
// canvas has its origin at the top-left corner of the printable area, so a recording replays
// unchanged on the printer. A machine without printers gets a fixed geometry (300 dpi, A4 with
// 6 mm offsets, or Letter with 0.25 in offsets when measuring in inches), so that reports can
// still be previewed and written as PDF there.
//
// Showing the pages is the job of PagePrinterView (src/ui), which follows currentPage();
// progress and Cancel while printing go through UserInteraction, so zarnctl prints the same way.
#pragma once

#include <QFont>
#include <QObject>
#include <QPainter>
#include <QPicture>
#include <QPoint>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class QPrinter;

namespace zarn {

class UserInteraction;

// Errors of the page printer; the message is the text shown to the user.
class EPagePrinter : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Cancel was requested while pages were being sent; Print catches it.
class ECancelPrinting : public EPagePrinter {
public:
    ECancelPrinting() : EPagePrinter("Printing Cancelled") {}
};

enum class TMeasureUnit { muInches, muMillimeters };
enum class TPrinterOrientation { poPortrait, poLandscape };

// The printer as the pages see it; every length in device pixels.
struct PrinterGeometry {
    int dpiX = 300;
    int dpiY = 300;
    int paperWidth = 0;
    int paperHeight = 0;
    int offsetX = 0;          // unprintable left offset; the right one is the same
    int offsetY = 0;          // unprintable top offset; the bottom one is the same
    bool fromPrinter = false; // false: the stand-in of a machine without printers
    bool operator==(const PrinterGeometry&) const = default;
};

// The stand-in geometry: A4 with 6 mm offsets for millimetres, Letter with 0.25 in offsets
// for inches, portrait, at 300 dpi.
PrinterGeometry fallbackGeometry(TMeasureUnit unit);

// A page as recorded: a vector recording that reports the printer's resolution and the
// recorded area, so that fonts given in points are sized for the printer.
class PageRecording : public QPicture {
public:
    PageRecording(QSize sizePixels, int dpiX, int dpiY);
    QSize sizePixels() const { return size_; }
    int dpiX() const { return dpiX_; }
    int dpiY() const { return dpiY_; }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize size_;
    int dpiX_;
    int dpiY_;
};

// Replays a recording on any painter with one recorded device pixel as one unit of the
// painter's current coordinates (a plain replay would scale by the device's resolution).
void playRecording(QPainter& painter, const PageRecording& page);

// Where Print sends pages: one printer job. QPrinterTarget is the real one; tests count
// page breaks through their own.
class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    virtual int copies() const = 0;
    virtual void setCopies(int copies) = 0;
    // Starts the job; EPagePrinter when the printer refuses.
    virtual void beginJob(const QString& title) = 0;
    virtual bool jobOpen() const = 0;
    // Draws a recording at the origin of the current printer page.
    virtual void drawPage(const PageRecording& page) = 0;
    // Starts the next printer page; EPagePrinter on failure.
    virtual void newPage() = 0;
    // Ends the job normally (whatever was sent is printed).
    virtual void endJob() = 0;
    // Discards the job.
    virtual void abortJob() = 0;
};

// A job on a QPrinter, through a QPainter that lives from beginJob to endJob or abortJob.
class QPrinterTarget : public PrintTarget {
public:
    explicit QPrinterTarget(QPrinter& printer);
    ~QPrinterTarget() override;
    int copies() const override;
    void setCopies(int copies) override;
    void beginJob(const QString& title) override;
    bool jobOpen() const override;
    void drawPage(const PageRecording& page) override;
    void newPage() override;
    void endJob() override;
    void abortJob() override;

private:
    QPrinter& printer_;
    std::unique_ptr<QPainter> painter_;
};

class TPagePrinter : public QObject {
    Q_OBJECT
public:
    // Measures against the system's default printer (the first printer when none is the
    // default), or the stand-in when there is none.
    explicit TPagePrinter(QObject* parent = nullptr);
    ~TPagePrinter() override;

    // --- the printer ----------------------------------------------------------------------
    // The printer that pages are measured against and printed on. A printer set-up dialog
    // changes it in place; call printerChanged() afterwards and compose the report again.
    QPrinter& printer();
    void printerChanged();
    // Whether a real printer stands behind the geometry.
    bool hasPrinter() const;
    // A fixed geometry instead of the printer's (tests; reproducible PDF output); nullopt
    // goes back to the printer.
    void setFixedGeometry(std::optional<PrinterGeometry> geometry);
    // The geometry in effect, as measured at the last change through this class.
    PrinterGeometry geometry() const;

    // --- properties -----------------------------------------------------------------------
    TMeasureUnit measureUnit() const { return measureUnit_; }
    // Converts the margins to the new unit.
    void setMeasureUnit(TMeasureUnit unit);
    // Margins from the paper edge, in measureUnit(). Every set clamps the value between
    // the side's unprintable offset and the paper size minus that offset; EPagePrinter
    // "Unable to change left margin while printing" (top, right, bottom) while recording.
    double marginLeft() const { return marginLeft_; }
    double marginRight() const { return marginRight_; }
    double marginTop() const { return marginTop_; }
    double marginBottom() const { return marginBottom_; }
    void setMarginLeft(double value);
    void setMarginRight(double value);
    void setMarginTop(double value);
    void setMarginBottom(double value);
    // EPagePrinter "Unable to change orientation while printing" while recording; ignored
    // without a printer.
    TPrinterOrientation orientation() const;
    void setOrientation(TPrinterOrientation orientation);

    int copies() const { return copies_; }
    void setCopies(int copies); // 0 (or less) is stored as 1
    bool collate() const { return collate_; }
    void setCollate(bool on) { collate_ = on; }
    bool abortOnCancel() const { return abortOnCancel_; }
    void setAbortOnCancel(bool on) { abortOnCancel_ = on; }
    bool showProgress() const { return showProgress_; }
    void setShowProgress(bool on) { showProgress_ = on; }
    bool showCancel() const { return showCancel_; }
    void setShowCancel(bool on) { showCancel_ = on; }
    // The job title; "<Unknown>" without a printer until one is set.
    QString title() const;
    void setTitle(const QString& title);
    // Status line of the progress display; empty gives "Sending Pages To Printer".
    QString progressMessage() const { return progressMessage_; }
    void setProgressMessage(const QString& text) { progressMessage_ = text; }
    // The font every new page canvas starts with (default Courier New, 10 points).
    const QFont& font() const { return font_; }
    void setFont(const QFont& font) { font_ = font; }

    // Page range to print; 0 means the first (last) page. Kept ordered: a to-page below the
    // from-page lowers the from-page, a from-page above the to-page raises the to-page.
    int printFromPage() const { return printFromPage_; }
    int printToPage() const { return printToPage_; }
    void setPrintFromPage(int page);
    void setPrintToPage(int page);

    // --- geometry, in measureUnit() unless said otherwise -----------------------------------
    double paperWidth() const;
    double paperHeight() const;
    double offsetLeft() const; // unprintable offsets; right equals left, bottom equals top
    double offsetTop() const;
    double printableWidth() const;  // paper width − left and right margins
    double printableHeight() const; // paper height − top and bottom margins
    int unitsToPixelsX(double value) const;
    int unitsToPixelsY(double value) const;
    // The printer's resolution; the stand-in's 300 dpi without a printer.
    int pixelsPerInchX() const;
    int pixelsPerInchY() const;
    // Device pixels of the top-left margin corner on the page canvas.
    QPoint drawOrigin() const;
    // Size of a page recording in device pixels: paper minus the left and top offsets.
    QSize recordingSize() const;

    // --- the document ---------------------------------------------------------------------
    // Discards every page and starts page 1.
    void beginDoc();
    // Closes the current page, starts the next one; returns its number. EPagePrinter outside
    // a document.
    int newPage();
    // Closes the last page and shows page 1.
    void endDoc();
    bool printing() const { return printing_; }
    // The canvas of the page being recorded; outside a document a scratch canvas, so it is
    // always active. Each new page starts with font(), a black pen and no brush.
    QPainter& canvas();
    int pageCount() const { return static_cast<int>(pages_.size()); }
    // The page being recorded or shown; 0 when none.
    int currentPage() const { return currentPage_; }
    // Shows page n; EPagePrinter "PageNumber must be between 1 and <PageCount>" when out of
    // range; with no pages, currentPage() becomes 0.
    void showPage(int page);
    // A recorded page, 1-based; nullptr when out of range.
    const PageRecording* page(int page) const;

    // --- output -------------------------------------------------------------------------
    // Sends the page range to printer(); false when cancelled. Progress and Cancel go
    // through interaction when given and showProgress() is on.
    bool print(UserInteraction* interaction = nullptr);
    // The same, to any job (tests, other printers).
    bool print(PrintTarget& target, UserInteraction* interaction = nullptr);
    // Asks a running print to stop at the next page.
    void requestCancel() { cancelRequested_ = true; }
    // Writes every page to a PDF file at the document's resolution and paper size;
    // EPagePrinter with the reason on failure.
    void writePdf(const QString& fileName);

signals:
    // The shown page changed (endDoc, showPage): the view scrolls and repaints.
    void pageShown(int page);
    // Paper size or orientation changed: the view recomputes its ranges.
    void geometryChanged();

private:
    void clampMargins();
    PrinterGeometry measureGeometry() const;
    void refreshGeometry();
    void openPage();
    void closePage();
    double toUnits(int pixels, int dpi) const;

    std::unique_ptr<QPrinter> printer_;
    std::optional<PrinterGeometry> fixedGeometry_;
    PrinterGeometry geometry_; // measured when the printer, unit or orientation change
    TMeasureUnit measureUnit_ = TMeasureUnit::muInches;
    double marginLeft_ = 0;
    double marginRight_ = 0;
    double marginTop_ = 0;
    double marginBottom_ = 0;
    int copies_ = 1;
    bool collate_ = true;
    bool abortOnCancel_ = false;
    bool showProgress_ = true;
    bool showCancel_ = true;
    QString title_;
    QString progressMessage_;
    QFont font_;
    int printFromPage_ = 0;
    int printToPage_ = 0;

    std::vector<std::unique_ptr<PageRecording>> pages_;
    std::unique_ptr<PageRecording> recording_; // page being recorded, or the scratch canvas
    QPainter canvas_;
    int currentPage_ = 0;
    bool printing_ = false;
    bool cancelRequested_ = false;
};

} // namespace zarn
