// Printing through a real CUPS queue: TPagePrinter::print → QPrinter → cupsd → cups-pdf.
//
// The queue (scripts/cups-test-queue.sh) keeps every job's document in the spool and writes
// what it printed to /var/spool/cups-pdf/<queue>/. The printed PDF went through Ghostscript
// and lost its text, so the page count is read from it and the texts from the job document.
#include "PrintTestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QSet>
#include <QThread>
#include <gtest/gtest.h>

namespace zarn {
namespace {

QString queueName() {
    const QString name = qEnvironmentVariable("ZARN_TEST_QUEUE");
    return name.isEmpty() ? QStringLiteral("zarn-test") : name;
}

// Job ids of the queue: not completed, completed, or all.
QSet<int> jobIds(const QString& which) {
    const test::ToolRun run = test::runTool(
        QStringLiteral("lpstat"), {QStringLiteral("-W"), which, QStringLiteral("-o"), queueName()});
    QSet<int> ids;
    const QRegularExpression id(
        QStringLiteral("^%1-(\\d+)\\s").arg(QRegularExpression::escape(queueName())));
    for (const QString& line : run.output.split(QLatin1Char('\n'))) {
        const auto match = id.match(line);
        if (match.hasMatch())
            ids.insert(match.captured(1).toInt());
    }
    return ids;
}

// Waits, letting events run, until `done` holds or the time is up.
template <typename Done>
bool waitFor(Done done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(200);
    }
    return true;
}

TEST(CupsPrinting, ThreePagesReachTheQueueWithTheirTexts) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(queueName());
    ASSERT_FALSE(info.isNull()) << "no CUPS queue " << queueName().toStdString()
                                << "; run scripts/cups-test-queue.sh start as root";

    TPagePrinter printer;
    printer.printer().setPrinterName(queueName());
    printer.printerChanged();
    ASSERT_TRUE(printer.hasPrinter());
    EXPECT_TRUE(printer.geometry().fromPrinter);
    printer.setMeasureUnit(TMeasureUnit::muMillimeters);
    printer.setMarginLeft(20);
    printer.setMarginTop(20);
    printer.setMarginRight(20);
    printer.setMarginBottom(20);
    printer.setTitle(QStringLiteral("zarn print test %1").arg(QCoreApplication::applicationPid()));
    printer.setShowProgress(false);
    test::drawTextPages(printer, 3);
    ASSERT_EQ(printer.pageCount(), 3);

    const QSet<int> before = jobIds(QStringLiteral("all"));
    ASSERT_TRUE(printer.print());

    int job = 0;
    ASSERT_TRUE(waitFor(
        [&] {
            const QSet<int> fresh = jobIds(QStringLiteral("all")) - before;
            if (!fresh.isEmpty())
                job = *std::max_element(fresh.begin(), fresh.end());
            return job != 0;
        },
        30000))
        << "the queue never listed the job";
    ASSERT_TRUE(waitFor([&] { return jobIds(QStringLiteral("completed")).contains(job); }, 60000))
        << "job " << job << " did not complete";

    // What the printer produced: a PDF with one page per recorded page.
    const QDir out(QStringLiteral("/var/spool/cups-pdf/") + queueName());
    QString printed;
    ASSERT_TRUE(waitFor(
        [&] {
            const QStringList found =
                out.entryList({QStringLiteral("*job_%1.pdf").arg(job)}, QDir::Files);
            if (!found.isEmpty())
                printed = out.filePath(found.first());
            return !printed.isEmpty() && test::pdfPageCount(printed) > 0;
        },
        30000))
        << "cups-pdf wrote no output for job " << job << " in " << out.path().toStdString();
    EXPECT_EQ(test::pdfPageCount(printed), 3);
    QFile::remove(printed); // the spool keeps the job; the queue's output would only pile up

    // What the queue received: the job document, with the texts of every page.
    const QString spooled =
        QStringLiteral("/var/spool/cups/d%1-001").arg(job, 5, 10, QLatin1Char('0'));
    ASSERT_TRUE(QFile::exists(spooled))
        << spooled.toStdString() << " is missing (PreserveJobFiles off, or not readable)";
    EXPECT_EQ(test::pdfPageCount(spooled), 3);
    const QString text = test::pdfText(spooled);
    for (int page = 1; page <= 3; ++page)
        for (const QString& line : test::pageTexts(page, 3))
            EXPECT_TRUE(text.contains(line)) << "missing in the job: " << line.toStdString();
    // The pages arrive in order.
    EXPECT_LT(text.indexOf(QStringLiteral("Footer page 1 of 3")),
              text.indexOf(QStringLiteral("Installation report heading 2")));
    EXPECT_LT(text.indexOf(QStringLiteral("Footer page 2 of 3")),
              text.indexOf(QStringLiteral("Installation report heading 3")));
}

} // namespace
} // namespace zarn
