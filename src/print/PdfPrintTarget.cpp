#include "print/PdfPrintTarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace zarn {

PdfPrintTarget::PdfPrintTarget(const QString& fileName, const PrinterGeometry& g)
    : fileName_(fileName), g_(g), pdf_(QPrinter::HighResolution) {
    const QFileInfo info(fileName);
    partName_ = info.absoluteDir().filePath(QStringLiteral(".%1.part").arg(info.fileName()));
    pdf_.setOutputFormat(QPrinter::PdfFormat);
    pdf_.setOutputFileName(partName_);
    pdf_.setResolution(g.dpiX);
    pdf_.setFullPage(true);
    pdf_.setCreator(QStringLiteral("zarn"));
    const double w = g.paperWidth / double(g.dpiX);
    const double h = g.paperHeight / double(g.dpiY);
    const QPageSize size(QSizeF(std::min(w, h), std::max(w, h)), QPageSize::Inch, QString(),
                         QPageSize::FuzzyMatch);
    pdf_.setPageLayout(QPageLayout(size, w > h ? QPageLayout::Landscape : QPageLayout::Portrait,
                                   QMarginsF(0, 0, 0, 0)));
}

PdfPrintTarget::~PdfPrintTarget() {
    if (painter_.isActive())
        painter_.end();
    if (!done_)
        QFile::remove(partName_);
}

void PdfPrintTarget::beginJob(const QString& title) {
    pdf_.setDocName(title);
    if (!painter_.begin(&pdf_))
        throw EPagePrinter("Unable to write " + fileName_.toStdString());
}

void PdfPrintTarget::drawPage(const PageRecording& page) {
    // The recordings start at the printable area's corner, the PDF page at the paper's.
    painter_.save();
    painter_.scale(double(pdf_.logicalDpiX()) / g_.dpiX, double(pdf_.logicalDpiY()) / g_.dpiY);
    painter_.translate(g_.offsetX, g_.offsetY);
    playRecording(painter_, page);
    painter_.restore();
}

void PdfPrintTarget::newPage() {
    if (!pdf_.newPage())
        throw EPagePrinter("Unable to write " + fileName_.toStdString());
}

void PdfPrintTarget::endJob() {
    if (!painter_.end() || pdf_.printerState() == QPrinter::Error)
        throw EPagePrinter("Unable to write " + fileName_.toStdString());
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(partName_).toStdString(),
                            QFile::encodeName(fileName_).toStdString(), ec);
    if (ec)
        throw EPagePrinter("Unable to write " + fileName_.toStdString() + ": " + ec.message());
    done_ = true;
}

void PdfPrintTarget::abortJob() {
    if (painter_.isActive())
        painter_.end();
}

void writePdfPages(TPagePrinter& printer, const QString& fileName, int from, int to) {
    const int savedFrom = printer.printFromPage();
    const int savedTo = printer.printToPage();
    const int savedCopies = printer.copies();
    const auto restore = [&] {
        printer.setPrintFromPage(0);
        printer.setPrintToPage(savedTo);
        printer.setPrintFromPage(savedFrom);
        printer.setCopies(savedCopies);
    };
    if (from > 0 && to == 0)
        to = printer.pageCount();
    printer.setPrintFromPage(0);
    printer.setPrintToPage(to);
    printer.setPrintFromPage(from);
    printer.setCopies(1);
    try {
        PdfPrintTarget pdf(fileName, printer.geometry());
        printer.print(pdf);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

} // namespace zarn
