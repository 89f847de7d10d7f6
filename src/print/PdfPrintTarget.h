// A PDF file as a print job: the page printer's Print sends its page range to it, at the
// document's resolution and paper size. The file is written beside the target and renamed over
// it at the end, so a failed write keeps the old file.
#pragma once

#include "print/PagePrinter.h"

#include <QPainter>
#include <QPrinter>
#include <string>

namespace zarn {

class PdfPrintTarget : public PrintTarget {
public:
    PdfPrintTarget(const QString& fileName, const PrinterGeometry& geometry);
    ~PdfPrintTarget() override;

    int copies() const override { return 1; }
    void setCopies(int) override {}
    void beginJob(const QString& title) override;
    bool jobOpen() const override { return painter_.isActive(); }
    void drawPage(const PageRecording& page) override;
    void newPage() override;
    void endJob() override;
    void abortJob() override;

private:
    QString fileName_;
    QString partName_;
    PrinterGeometry g_;
    QPrinter pdf_;
    QPainter painter_;
    bool done_ = false;
};

// Writes pages `from` … `to` of the document (0: the first, the last) as a PDF file; the page
// printer's own range is left as it was. EPagePrinter with the reason on failure.
void writePdfPages(TPagePrinter& printer, const QString& fileName, int from = 0, int to = 0);

} // namespace zarn
