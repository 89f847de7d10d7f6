#include "ReportFile.h"

#include "core/app/Configuration.h"
#include "core/grid/StringGridData.h"
#include "print/PagePrinter.h"
#include "print/PdfPrintTarget.h"
#include "print/ResultsReport.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QPrinterInfo>

namespace zarnctl {
namespace {

using namespace zarn;

// The offscreen platform unless the caller chose one: no display is needed.
QGuiApplication& guiApplication() {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return *app;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zarnctl";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return app;
}

// A machine without printers cannot turn its stand-in paper, so the stand-in is turned here.
void setOrientation(TPagePrinter& prn, bool landscape) {
    const auto orientation =
        landscape ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait;
    prn.setOrientation(orientation);
    if (!landscape || prn.orientation() == orientation)
        return;
    PrinterGeometry g = prn.geometry();
    if (g.paperWidth < g.paperHeight) {
        std::swap(g.paperWidth, g.paperHeight);
        std::swap(g.offsetX, g.offsetY);
        std::swap(g.dpiX, g.dpiY);
        prn.setFixedGeometry(g);
    }
}

} // namespace

ReportDone runReportJob(LoadedDocument& doc, const ReportJob& job, UserInteraction& ui) {
    // The settings give the heading and comments a file does not carry.
    doc.document().loadPrintoutSettings();
    doc.read(job.file);
    Workspace& ws = doc.workspace();
    const NodeHandle node = nodeAtPath(ws.tree(), job.node);

    StringGridData grid;
    fillViewGrid(grid, ws.resultsView(node), ws.viewHeadings(), defaultColumnRoles());

    ReportContent content;
    content.grid = &grid;
    const ViewFont font = readViewFont(ws.settings(), ViewFont{});
    content.gridFont.name = font.name;
    content.gridFont.size = font.size;
    content.gridFont.bold = font.bold;
    content.heading = doc.document().heading();
    content.comments = doc.document().comments();
    if (const std::string t = doc.uiText("TPersonalData", "Operater"); !t.empty())
        content.operatorCaption = QString::fromStdString(doc.display(t));
    if (const std::string t = doc.uiText("TPersonalData", "PanelSite"); !t.empty())
        content.siteCaption = QString::fromStdString(doc.display(t));
    content.margins = MarginTexts::load(ws.settings());
    content.codePage = doc.codePage();
    // Margins that are no numbers are the settings' fault, not the command line's.
    try {
        marginsInMillimetres(content.margins);
    } catch (const EMarginError& e) {
        throw CommandError(std::string(e.what()) + " (ZARN.INI, section MARGINS)");
    }

    guiApplication();
    TPagePrinter prn;
    prn.setShowProgress(false);
    if (job.printer) {
        if (QPrinterInfo::printerInfo(QString::fromStdString(*job.printer)).isNull())
            throw UsageError("there is no printer queue named \"" + *job.printer + "\"");
        prn.printer().setPrinterName(QString::fromStdString(*job.printer));
        prn.printerChanged();
    }
    setOrientation(prn, job.landscape);

    ResultsReport report(prn);
    report.compose(content, &ui);
    const auto& pages = job.pages;
    ReportDone done;
    done.count = prn.pageCount();
    if (pages && pages->to > done.count)
        throw UsageError("--pages " + std::to_string(pages->from) + "-" +
                         std::to_string(pages->to) + ": the report has " +
                         std::to_string(done.count) + " pages");
    prn.setPrintFromPage(pages ? pages->from : 0);
    prn.setPrintToPage(pages ? pages->to : 0);
    done.printed = pages ? pages->to - pages->from + 1 : done.count;

    prn.setTitle(QString::fromStdString(job.title.empty() ? job.file : job.title));
    try {
        if (job.pdf) {
            writePdfPages(prn, QString::fromStdString(*job.pdf), pages ? pages->from : 0,
                          pages ? pages->to : 0);
        } else {
            prn.setCopies(job.copies);
            prn.setCollate(job.collate);
            if (!prn.print(&ui))
                throw CommandError("printing was cancelled");
        }
    } catch (const EPagePrinter& e) {
        throw CommandError(e.what());
    }
    return done;
}

} // namespace zarnctl
