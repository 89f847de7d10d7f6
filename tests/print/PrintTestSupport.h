// Helpers shared by the page printer tests.
#pragma once

#include "print/PagePrinter.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace zarn::test {

// A4 at 300 dpi with 6 mm offsets, whatever printer the machine has.
inline PrinterGeometry a4At300() {
    return fallbackGeometry(TMeasureUnit::muMillimeters);
}

// The texts that stand for a report's heading, table and footer on page n of count.
inline QStringList pageTexts(int page, int count) {
    return {QStringLiteral("Installation report heading %1").arg(page),
            QStringLiteral("Table row %1.1 RCD 30 mA OK").arg(page),
            QStringLiteral("Table row %1.2 Loop 0.42 Ohm OK").arg(page),
            QStringLiteral("Footer page %1 of %2").arg(page).arg(count)};
}

// Records `count` pages, each with the texts of pageTexts at the margins.
inline void drawTextPages(TPagePrinter& printer, int count) {
    printer.beginDoc();
    for (int page = 1; page <= count; ++page) {
        if (page > 1)
            printer.newPage();
        QPainter& canvas = printer.canvas();
        canvas.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        const QPoint origin = printer.drawOrigin();
        int y = origin.y() + printer.unitsToPixelsY(10);
        for (const QString& line : pageTexts(page, count)) {
            canvas.drawText(origin.x(), y, line);
            y += printer.unitsToPixelsY(8);
        }
        canvas.drawRect(origin.x(), origin.y(), printer.unitsToPixelsX(printer.printableWidth()),
                        printer.unitsToPixelsY(printer.printableHeight()));
    }
    printer.endDoc();
}

// Runs a tool; its standard output, or nullopt-like empty with ok = false.
struct ToolRun {
    bool ok = false;
    QString output;
    QString error;
};

inline ToolRun runTool(const QString& program, const QStringList& arguments,
                       int timeoutMs = 30000) {
    QProcess process;
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.error = program + QStringLiteral(" did not finish: ") + process.errorString();
        return run;
    }
    run.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.error = QString::fromLocal8Bit(process.readAllStandardError());
    run.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return run;
}

// pdfinfo and pdftotext as CMake found them, else from PATH.
inline QString popplerTool(const char* variable, const char* name) {
    const QString found = qEnvironmentVariable(variable);
    return found.isEmpty() || found.endsWith(QStringLiteral("NOTFOUND")) ? QString::fromLatin1(name)
                                                                         : found;
}

inline int pdfPageCount(const QString& path, QString* error = nullptr) {
    const ToolRun run = runTool(popplerTool("ZARN_PDFINFO", "pdfinfo"), {path});
    if (!run.ok) {
        if (error)
            *error = run.error;
        return -1;
    }
    for (const QString& line : run.output.split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

inline QString pdfText(const QString& path) {
    const ToolRun run = runTool(popplerTool("ZARN_PDFTOTEXT", "pdftotext"),
                                {QStringLiteral("-layout"), path, QStringLiteral("-")});
    return run.output;
}

} // namespace zarn::test
