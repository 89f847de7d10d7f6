#include "print/PagePrinter.h"

#include "core/base/UserInteraction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <system_error>

namespace zarn {

namespace {

constexpr double kMmPerInch = 25.4;
constexpr int kFallbackDpi = 300;

int inchesToPixels(double inches, int dpi) {
    return static_cast<int>(std::lround(inches * dpi));
}

} // namespace

PrinterGeometry fallbackGeometry(TMeasureUnit unit) {
    PrinterGeometry g;
    g.dpiX = kFallbackDpi;
    g.dpiY = kFallbackDpi;
    if (unit == TMeasureUnit::muMillimeters) {
        g.paperWidth = inchesToPixels(210 / kMmPerInch, kFallbackDpi);
        g.paperHeight = inchesToPixels(297 / kMmPerInch, kFallbackDpi);
        g.offsetX = inchesToPixels(6 / kMmPerInch, kFallbackDpi);
    } else {
        g.paperWidth = inchesToPixels(8.5, kFallbackDpi);
        g.paperHeight = inchesToPixels(11, kFallbackDpi);
        g.offsetX = inchesToPixels(0.25, kFallbackDpi);
    }
    g.offsetY = g.offsetX;
    g.fromPrinter = false;
    return g;
}

// --- PageRecording ------------------------------------------------------------------------

PageRecording::PageRecording(QSize sizePixels, int dpiX, int dpiY)
    : size_(sizePixels), dpiX_(dpiX), dpiY_(dpiY) {}

int PageRecording::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
        return size_.width();
    case PdmHeight:
        return size_.height();
    case PdmWidthMM:
        return static_cast<int>(std::lround(size_.width() * kMmPerInch / dpiX_));
    case PdmHeightMM:
        return static_cast<int>(std::lround(size_.height() * kMmPerInch / dpiY_));
    case PdmDpiX:
    case PdmPhysicalDpiX:
        return dpiX_;
    case PdmDpiY:
    case PdmPhysicalDpiY:
        return dpiY_;
    default:
        return QPicture::metric(metric);
    }
}

void playRecording(QPainter& painter, const PageRecording& page) {
    // A picture replays in units of the default screen resolution, scaled up to the target
    // device's; undo that, since the recording is in device pixels already.
    static const QPicture reference;
    const QPaintDevice* device = painter.device();
    const double sx = device ? double(reference.logicalDpiX()) / device->logicalDpiX() : 1.0;
    const double sy = device ? double(reference.logicalDpiY()) / device->logicalDpiY() : 1.0;
    painter.save();
    painter.scale(sx, sy);
    painter.drawPicture(0, 0, page);
    painter.restore();
}

// --- QPrinterTarget -----------------------------------------------------------------------

QPrinterTarget::QPrinterTarget(QPrinter& printer) : printer_(printer) {}

QPrinterTarget::~QPrinterTarget() {
    // A job still open here was left by an error: nothing of it is sent.
    if (jobOpen())
        abortJob();
}

int QPrinterTarget::copies() const {
    return printer_.copyCount();
}

void QPrinterTarget::setCopies(int copies) {
    printer_.setCopyCount(copies);
}

void QPrinterTarget::beginJob(const QString& title) {
    printer_.setDocName(title);
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&printer_)) {
        painter_.reset();
        throw EPagePrinter("Unable to start the print job on " +
                           printer_.printerName().toStdString());
    }
}

bool QPrinterTarget::jobOpen() const {
    return painter_ && painter_->isActive();
}

void QPrinterTarget::drawPage(const PageRecording& page) {
    playRecording(*painter_, page);
}

void QPrinterTarget::newPage() {
    if (!printer_.newPage())
        throw EPagePrinter("Unable to start a new page on the printer");
}

void QPrinterTarget::endJob() {
    const bool ended = painter_->end();
    painter_.reset();
    if (!ended || printer_.printerState() == QPrinter::Error)
        throw EPagePrinter("The printer did not accept the print job");
}

void QPrinterTarget::abortJob() {
    printer_.abort();
    if (painter_ && painter_->isActive())
        painter_->end();
    painter_.reset();
}

// --- TPagePrinter -------------------------------------------------------------------------

TPagePrinter::TPagePrinter(QObject* parent) : QObject(parent), font_("Courier New", 10) {
    // Without a default, the first printer there is: a lone queue is the user's printer.
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull() && !QPrinterInfo::availablePrinters().isEmpty())
        info = QPrinterInfo::availablePrinters().first();
    printer_ = info.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                             : std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    font_.setStyleHint(QFont::TypeWriter);
    refreshGeometry();
    const PrinterGeometry g = geometry();
    marginLeft_ = marginRight_ = toUnits(g.offsetX, g.dpiX);
    marginTop_ = marginBottom_ = toUnits(g.offsetY, g.dpiY);
    openPage();
}

TPagePrinter::~TPagePrinter() {
    if (canvas_.isActive())
        canvas_.end();
}

QPrinter& TPagePrinter::printer() {
    return *printer_;
}

void TPagePrinter::printerChanged() {
    refreshGeometry();
    clampMargins();
    emit geometryChanged();
}

bool TPagePrinter::hasPrinter() const {
    return printer_->outputFormat() == QPrinter::NativeFormat && printer_->isValid() &&
           !printer_->printerName().isEmpty();
}

void TPagePrinter::setFixedGeometry(std::optional<PrinterGeometry> geometry) {
    fixedGeometry_ = geometry;
    refreshGeometry();
    clampMargins();
    emit geometryChanged();
}

PrinterGeometry TPagePrinter::geometry() const {
    return geometry_;
}

void TPagePrinter::refreshGeometry() {
    geometry_ = measureGeometry();
}

PrinterGeometry TPagePrinter::measureGeometry() const {
    if (fixedGeometry_)
        return *fixedGeometry_;
    if (!hasPrinter())
        return fallbackGeometry(measureUnit_);
    PrinterGeometry g;
    g.dpiX = printer_->logicalDpiX();
    g.dpiY = printer_->logicalDpiY();
    const QRectF paper = printer_->paperRect(QPrinter::DevicePixel);
    const QRectF printable = printer_->pageRect(QPrinter::DevicePixel);
    g.paperWidth = static_cast<int>(std::lround(paper.width()));
    g.paperHeight = static_cast<int>(std::lround(paper.height()));
    g.offsetX = static_cast<int>(std::lround(printable.left() - paper.left()));
    g.offsetY = static_cast<int>(std::lround(printable.top() - paper.top()));
    g.fromPrinter = true;
    if (g.dpiX <= 0 || g.dpiY <= 0 || g.paperWidth <= 0 || g.paperHeight <= 0)
        return fallbackGeometry(measureUnit_);
    return g;
}

double TPagePrinter::toUnits(int pixels, int dpi) const {
    const double inches = static_cast<double>(pixels) / dpi;
    return measureUnit_ == TMeasureUnit::muMillimeters ? inches * kMmPerInch : inches;
}

void TPagePrinter::setMeasureUnit(TMeasureUnit unit) {
    if (unit == measureUnit_)
        return;
    const double factor = unit == TMeasureUnit::muMillimeters ? kMmPerInch : 1 / kMmPerInch;
    measureUnit_ = unit;
    marginLeft_ *= factor;
    marginRight_ *= factor;
    marginTop_ *= factor;
    marginBottom_ *= factor;
    // Without a printer the stand-in paper follows the unit.
    refreshGeometry();
    clampMargins();
    emit geometryChanged();
}

namespace {

double clampMargin(double value, double offset, double paper) {
    // NaN would pass every comparison; treat it as no margin.
    if (std::isnan(value))
        return offset;
    return std::max(offset, std::min(value, paper - offset));
}

void refuseWhilePrinting(bool printing, const char* side) {
    if (printing)
        throw EPagePrinter(std::string("Unable to change ") + side + " margin while printing");
}

} // namespace

void TPagePrinter::setMarginLeft(double value) {
    refuseWhilePrinting(printing_, "left");
    marginLeft_ = clampMargin(value, offsetLeft(), paperWidth());
}

void TPagePrinter::setMarginRight(double value) {
    refuseWhilePrinting(printing_, "right");
    marginRight_ = clampMargin(value, offsetLeft(), paperWidth());
}

void TPagePrinter::setMarginTop(double value) {
    refuseWhilePrinting(printing_, "top");
    marginTop_ = clampMargin(value, offsetTop(), paperHeight());
}

void TPagePrinter::setMarginBottom(double value) {
    refuseWhilePrinting(printing_, "bottom");
    marginBottom_ = clampMargin(value, offsetTop(), paperHeight());
}

void TPagePrinter::clampMargins() {
    marginLeft_ = clampMargin(marginLeft_, offsetLeft(), paperWidth());
    marginRight_ = clampMargin(marginRight_, offsetLeft(), paperWidth());
    marginTop_ = clampMargin(marginTop_, offsetTop(), paperHeight());
    marginBottom_ = clampMargin(marginBottom_, offsetTop(), paperHeight());
}

TPrinterOrientation TPagePrinter::orientation() const {
    if (fixedGeometry_ || !hasPrinter())
        return fixedGeometry_ && fixedGeometry_->paperWidth > fixedGeometry_->paperHeight
                   ? TPrinterOrientation::poLandscape
                   : TPrinterOrientation::poPortrait;
    return printer_->pageLayout().orientation() == QPageLayout::Landscape
               ? TPrinterOrientation::poLandscape
               : TPrinterOrientation::poPortrait;
}

void TPagePrinter::setOrientation(TPrinterOrientation orientation) {
    if (printing_)
        throw EPagePrinter("Unable to change orientation while printing");
    if (fixedGeometry_) {
        if (orientation != this->orientation()) {
            std::swap(fixedGeometry_->paperWidth, fixedGeometry_->paperHeight);
            std::swap(fixedGeometry_->offsetX, fixedGeometry_->offsetY);
            std::swap(fixedGeometry_->dpiX, fixedGeometry_->dpiY);
        }
    } else if (hasPrinter()) {
        printer_->setPageOrientation(orientation == TPrinterOrientation::poLandscape
                                         ? QPageLayout::Landscape
                                         : QPageLayout::Portrait);
    } else {
        return; // the stand-in paper stays upright
    }
    refreshGeometry();
    clampMargins();
    emit geometryChanged();
}

void TPagePrinter::setCopies(int copies) {
    copies_ = std::max(1, copies);
}

QString TPagePrinter::title() const {
    if (title_.isEmpty() && !hasPrinter())
        return QStringLiteral("<Unknown>");
    return title_;
}

void TPagePrinter::setTitle(const QString& title) {
    title_ = title;
}

void TPagePrinter::setPrintFromPage(int page) {
    printFromPage_ = page;
    if (printFromPage_ > printToPage_)
        printToPage_ = printFromPage_;
}

void TPagePrinter::setPrintToPage(int page) {
    printToPage_ = page;
    if (printToPage_ < printFromPage_)
        printFromPage_ = printToPage_;
}

// --- geometry -----------------------------------------------------------------------------

double TPagePrinter::paperWidth() const {
    const PrinterGeometry g = geometry();
    return toUnits(g.paperWidth, g.dpiX);
}

double TPagePrinter::paperHeight() const {
    const PrinterGeometry g = geometry();
    return toUnits(g.paperHeight, g.dpiY);
}

double TPagePrinter::offsetLeft() const {
    const PrinterGeometry g = geometry();
    return toUnits(g.offsetX, g.dpiX);
}

double TPagePrinter::offsetTop() const {
    const PrinterGeometry g = geometry();
    return toUnits(g.offsetY, g.dpiY);
}

double TPagePrinter::printableWidth() const {
    return paperWidth() - marginLeft_ - marginRight_;
}

double TPagePrinter::printableHeight() const {
    return paperHeight() - marginTop_ - marginBottom_;
}

int TPagePrinter::unitsToPixelsX(double value) const {
    const double inches = measureUnit_ == TMeasureUnit::muMillimeters ? value / kMmPerInch : value;
    return inchesToPixels(inches, geometry().dpiX);
}

int TPagePrinter::unitsToPixelsY(double value) const {
    const double inches = measureUnit_ == TMeasureUnit::muMillimeters ? value / kMmPerInch : value;
    return inchesToPixels(inches, geometry().dpiY);
}

int TPagePrinter::pixelsPerInchX() const {
    return geometry().dpiX;
}

int TPagePrinter::pixelsPerInchY() const {
    return geometry().dpiY;
}

QPoint TPagePrinter::drawOrigin() const {
    return {unitsToPixelsX(marginLeft_ - offsetLeft()), unitsToPixelsY(marginTop_ - offsetTop())};
}

QSize TPagePrinter::recordingSize() const {
    const PrinterGeometry g = geometry();
    return {std::max(1, g.paperWidth - g.offsetX), std::max(1, g.paperHeight - g.offsetY)};
}

// --- the document -------------------------------------------------------------------------

void TPagePrinter::openPage() {
    const PrinterGeometry g = geometry();
    recording_ = std::make_unique<PageRecording>(recordingSize(), g.dpiX, g.dpiY);
    canvas_.begin(recording_.get());
    canvas_.setFont(font_);
    canvas_.setPen(QPen(Qt::black));
    canvas_.setBrush(Qt::NoBrush);
    canvas_.setBackgroundMode(Qt::TransparentMode);
}

void TPagePrinter::closePage() {
    canvas_.end();
    pages_.push_back(std::move(recording_));
}

void TPagePrinter::beginDoc() {
    canvas_.end(); // the scratch canvas, or a page of a document never ended
    recording_.reset();
    pages_.clear();
    printing_ = true;
    currentPage_ = 1;
    openPage();
}

int TPagePrinter::newPage() {
    if (!printing_)
        throw EPagePrinter("NewPage outside a document");
    closePage();
    openPage();
    return ++currentPage_;
}

void TPagePrinter::endDoc() {
    if (!printing_)
        return;
    closePage();
    printing_ = false;
    openPage(); // the scratch canvas
    currentPage_ = 1;
    emit pageShown(currentPage_);
}

QPainter& TPagePrinter::canvas() {
    return canvas_;
}

void TPagePrinter::showPage(int page) {
    if (page >= 1 && page <= pageCount()) {
        currentPage_ = page;
        emit pageShown(currentPage_);
        return;
    }
    if (pageCount() > 0)
        throw EPagePrinter("PageNumber must be between 1 and " + std::to_string(pageCount()));
    currentPage_ = 0;
    emit pageShown(currentPage_);
}

const PageRecording* TPagePrinter::page(int page) const {
    if (page < 1 || page > pageCount())
        return nullptr;
    return pages_[static_cast<size_t>(page - 1)].get();
}

// --- output -------------------------------------------------------------------------------

bool TPagePrinter::print(UserInteraction* interaction) {
    QPrinterTarget target(*printer_);
    return print(target, interaction);
}

bool TPagePrinter::print(PrintTarget& target, UserInteraction* interaction) {
    if (printing_)
        endDoc();
    if (pageCount() == 0)
        return true;
    const int first = printFromPage_ != 0 ? std::min(printFromPage_, pageCount()) : 1;
    const int last = printToPage_ != 0 ? std::min(printToPage_, pageCount()) : pageCount();
    if (first < 1 || last < first)
        return true; // a negative range names no page

    const int rangeLength = last - first + 1;
    const int64_t total = int64_t(copies_) * rangeLength;
    UserInteraction* progress = showProgress_ ? interaction : nullptr;

    // Whatever happens: the progress display goes, and the printer gets its copies back
    // unless a job is still open.
    struct Restore {
        PrintTarget& target;
        UserInteraction* progress;
        int copies;
        bool progressShown = false;
        ~Restore() {
            if (progressShown)
                progress->progressHide();
            if (!target.jobOpen())
                target.setCopies(copies);
        }
    } restore{target, progress, target.copies()};

    target.setCopies(1);
    cancelRequested_ = false;
    if (progress)
        progress->clearCancel();

    int64_t sent = 0;
    auto send = [&](int pageNumber) {
        if (progress && showCancel_) {
            progress->processEvents();
            if (progress->cancelRequested())
                cancelRequested_ = true;
        }
        if (cancelRequested_)
            throw ECancelPrinting();
        if (progress) {
            if (!restore.progressShown) {
                progress->progressShow(title().toStdString());
                progress->progressCancelVisible(showCancel_);
                restore.progressShown = true;
            }
            std::string pageText = "Page " + std::to_string(pageNumber);
            if (first == 1) {
                pageText += " of " + std::to_string(rangeLength);
                if (copies_ > 1)
                    pageText += " x " + std::to_string(copies_) + " Copies";
            }
            const QString status = progressMessage_.isEmpty()
                                       ? QStringLiteral("Sending Pages To Printer")
                                       : progressMessage_;
            progress->progressLabels(status.toStdString(), pageText);
        }
        target.drawPage(*pages_[static_cast<size_t>(pageNumber - 1)]);
        ++sent;
        if (progress)
            progress->progressPosition(static_cast<int>(sent * 100 / total));
        if (sent < total)
            target.newPage();
    };

    try {
        target.beginJob(title_);
        if (collate_) {
            for (int copy = 1; copy <= copies_; ++copy)
                for (int p = first; p <= last; ++p)
                    send(p);
        } else {
            for (int p = first; p <= last; ++p)
                for (int copy = 1; copy <= copies_; ++copy)
                    send(p);
        }
        target.endJob();
    } catch (const ECancelPrinting&) {
        if (target.jobOpen()) {
            if (abortOnCancel_)
                target.abortJob();
            else
                target.endJob();
        }
        return false;
    } catch (...) {
        // Half a job is worse than none: drop what was sent, then report.
        if (target.jobOpen())
            target.abortJob();
        throw;
    }
    return true;
}

void TPagePrinter::writePdf(const QString& fileName) {
    if (printing_)
        endDoc();
    const PrinterGeometry g = geometry();
    const QFileInfo info(fileName);
    // Written beside the target and renamed over it, so a failed write keeps the old file.
    const QString partName =
        info.absoluteDir().filePath(QStringLiteral(".%1.part").arg(info.fileName()));

    {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(partName);
        pdf.setResolution(g.dpiX);
        pdf.setFullPage(true);
        pdf.setCreator(QStringLiteral("zarn"));
        pdf.setDocName(title_);
        const bool landscape = g.paperWidth > g.paperHeight;
        const double shortSide =
            std::min(g.paperWidth / double(g.dpiX), g.paperHeight / double(g.dpiY));
        const double longSide =
            std::max(g.paperWidth / double(g.dpiX), g.paperHeight / double(g.dpiY));
        const QPageSize size(QSizeF(shortSide, longSide), QPageSize::Inch, QString(),
                             QPageSize::FuzzyMatch);
        pdf.setPageLayout(QPageLayout(size,
                                      landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&pdf))
            throw EPagePrinter("Unable to write " + fileName.toStdString());
        // The recordings start at the printable area's corner.
        const double scaleX = double(pdf.logicalDpiX()) / g.dpiX;
        const double scaleY = double(pdf.logicalDpiY()) / g.dpiY;
        for (int p = 1; p <= pageCount(); ++p) {
            if (p > 1 && !pdf.newPage()) {
                painter.end();
                QFile::remove(partName);
                throw EPagePrinter("Unable to write " + fileName.toStdString());
            }
            painter.save();
            painter.scale(scaleX, scaleY);
            painter.translate(g.offsetX, g.offsetY);
            playRecording(painter, *pages_[static_cast<size_t>(p - 1)]);
            painter.restore();
        }
        if (!painter.end() || pdf.printerState() == QPrinter::Error) {
            QFile::remove(partName);
            throw EPagePrinter("Unable to write " + fileName.toStdString());
        }
    }
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(partName).toStdString(),
                            QFile::encodeName(fileName).toStdString(), ec);
    if (ec) {
        QFile::remove(partName);
        throw EPagePrinter("Unable to write " + fileName.toStdString() + ": " + ec.message());
    }
}

} // namespace zarn
