// zarnctl report: the results report of one node, composed exactly as the print preview does,
// written as PDF or sent to a printer queue. Runs without a display.
#include "Command.h"
#include "DocumentLoader.h"
#include "core/app/Configuration.h"
#include "core/app/PrintMargins.h"
#include "core/grid/StringGridData.h"
#include "print/PagePrinter.h"
#include "print/PdfPrintTarget.h"
#include "print/ResultsReport.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <charconv>
#include <memory>

namespace zarnctl {
namespace {

using namespace zarn;

// A whole number from 1 to `max`, all of the text; nothing otherwise.
std::optional<int> positiveNumber(std::string_view text, int max) {
    int value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || ptr != last || value < 1 || value > max)
        return std::nullopt;
    return value;
}

// "A-B" or "A": pages from 1.
PageRange parsePages(const std::string& text) {
    const size_t dash = text.find('-');
    const std::string from = text.substr(0, dash);
    const std::string to = dash == std::string::npos ? from : text.substr(dash + 1);
    const auto a = positiveNumber(from, 1'000'000);
    const auto b = positiveNumber(to, 1'000'000);
    if (!a || !b || *b < *a)
        throw UsageError("--pages takes a page range like 2-5 (pages from 1, A not above B), "
                         "not \"" +
                         text + "\"");
    return {*a, *b};
}

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

int runReport(Context& ctx) {
    const auto args = parseArgs(ctx.args, {"--landscape", "--no-collate"},
                                {"-o", "--output", "--node", "--pages", "--printer", "--copies"});
    if (args.positional.size() != 1)
        throw UsageError("expected one FILE");
    auto output = args.value("-o");
    if (!output)
        output = args.value("--output");
    const auto printerName = args.value("--printer");
    if (output.has_value() == printerName.has_value())
        throw UsageError("give either -o OUT.pdf or --printer NAME");
    if (output && output->empty())
        throw UsageError("-o needs a file name");
    if (output && (args.value("--copies") || args.has("--no-collate")))
        throw UsageError("--copies and --no-collate are for --printer");
    std::optional<PageRange> pages;
    if (const auto p = args.value("--pages"))
        pages = parsePages(*p);
    int copies = 1;
    if (const auto c = args.value("--copies")) {
        const auto n = positiveNumber(*c, 999);
        if (!n)
            throw UsageError("--copies takes a number from 1 to 999, not \"" + *c + "\"");
        copies = *n;
    }

    LoadedDocument doc(ctx);
    // The settings give the heading and comments a file does not carry.
    doc.document().loadPrintoutSettings();
    doc.read(args.positional[0]);
    Workspace& ws = doc.workspace();
    const NodeHandle node = nodeAtPath(ws.tree(), args.value("--node").value_or("1"));

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
    if (printerName) {
        if (QPrinterInfo::printerInfo(QString::fromStdString(*printerName)).isNull())
            throw UsageError("there is no printer queue named \"" + *printerName + "\"");
        prn.printer().setPrinterName(QString::fromStdString(*printerName));
        prn.printerChanged();
    }
    setOrientation(prn, args.has("--landscape"));

    ResultsReport report(prn);
    report.compose(content, &ctx.ui);
    const int count = prn.pageCount();
    if (pages && pages->to > count)
        throw UsageError("--pages " + std::to_string(pages->from) + "-" +
                         std::to_string(pages->to) + ": the report has " + std::to_string(count) +
                         " pages");
    prn.setPrintFromPage(pages ? pages->from : 0);
    prn.setPrintToPage(pages ? pages->to : 0);
    const int printed = pages ? pages->to - pages->from + 1 : count;

    try {
        if (output) {
            prn.setTitle(QString::fromStdString(args.positional[0]));
            writePdfPages(prn, QString::fromStdString(*output), pages ? pages->from : 0,
                          pages ? pages->to : 0);
            ctx.out << "wrote " << *output << ": " << printed << " of " << count << " pages\n";
        } else {
            prn.setCopies(copies);
            prn.setCollate(!args.has("--no-collate"));
            prn.setTitle(QString::fromStdString(args.positional[0]));
            if (!prn.print(&ctx.ui))
                throw CommandError("printing was cancelled");
            ctx.out << "sent " << printed << " of " << count << " pages to " << *printerName
                    << (copies > 1 ? ", " + std::to_string(copies) + " copies" : "") << '\n';
        }
    } catch (const EPagePrinter& e) {
        throw CommandError(e.what());
    }
    return 0;
}

const RegisterCommand reg{
    {"report",
     "FILE (-o OUT.pdf | --printer NAME) [--node PATH] [--pages A-B] [--landscape] "
     "[--copies N] [--no-collate]",
     "Composes the results report of one node as the print preview does (heading, table,\n"
     "comments, the margins of ZARN.INI) and writes it as PDF (-o) or prints it on a printer\n"
     "queue (--printer, with --copies N from 1 to 999 and --no-collate). PATH picks the node\n"
     "as in `view`; the default is the first root. --pages A-B keeps pages A to B (from 1).\n"
     "Runs without a display (QT_QPA_PLATFORM=offscreen unless set).",
     runReport}};

} // namespace
} // namespace zarnctl
