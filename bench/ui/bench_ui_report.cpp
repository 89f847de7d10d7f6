// The report of a results view of 9,999 rows written as PDF by `zarnctl report`, as a user runs
// it: a separate process, timed from start to exit, with its peak memory. When LibreOffice is
// installed, the same results as delimited text converted to PDF by `soffice --headless` are the
// baseline.
#include "BenchQtMain.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// The rows come from the simulated instrument: 9,999 results of one place (the most the results
// table holds besides its identification row), received with `zarnctl receive`.
constexpr int Rows = 9999;

struct ReportFixture {
    QTemporaryDir dir;
    QString structure;
    QString text;
    ReportFixture() {
        QJsonArray records;
        for (int i = 0; i < Rows; ++i) {
            QJsonObject item{{"letter", "R"},
                             {"quantity", 1},
                             {"unit", 5},
                             {"text", QStringLiteral("%1.%2").arg(i % 500).arg(i % 100)}};
            records.append(QJsonObject{
                {"block", 1}, {"element", 1}, {"function", 7}, {"items", QJsonArray{item}}});
        }
        const QString json = dir.filePath(QStringLiteral("fixture.json"));
        QFile f(json);
        if (f.open(QIODevice::WriteOnly))
            f.write(QJsonDocument(QJsonObject{{"type_code", 16}, {"records", records}}).toJson());
        f.close();

        QProcess sim;
        sim.start(QStringLiteral(ZARN_BIN_DIR "/zarn-sim"),
                  {QStringLiteral("--fixture"), json, QStringLiteral("--once")});
        sim.waitForReadyRead(10000);
        const QString device = QString::fromUtf8(sim.readLine()).trimmed();
        structure = dir.filePath(QStringLiteral("site.zrn"));
        QProcess receive;
        receive.start(QStringLiteral(ZARN_BIN_DIR "/zarnctl"),
                      {QStringLiteral("receive"), QStringLiteral("--port"), device,
                       QStringLiteral("-o"), structure});
        receive.waitForFinished(300000);
        sim.waitForFinished(10000);

        // The same results as TAB-delimited text, as the text export writes them for
        // spreadsheets (multi-line cells joined by spaces).
        QProcess view;
        view.start(QStringLiteral(ZARN_BIN_DIR "/zarnctl"),
                   {QStringLiteral("view"), structure, QStringLiteral("--node"),
                    QStringLiteral("1.1"), QStringLiteral("--json")});
        view.waitForFinished(60000);
        const QJsonObject shown = QJsonDocument::fromJson(view.readAllStandardOutput()).object();
        QStringList lines;
        QJsonArray rows = shown.value(QStringLiteral("rows")).toArray();
        rows.prepend(shown.value(QStringLiteral("headings")));
        for (const QJsonValue& row : rows) {
            QStringList cells;
            for (const QJsonValue& cell : row.toArray())
                cells << cell.toString().replace(QLatin1Char('\r'), QLatin1Char(' '));
            lines << cells.join(QLatin1Char('\t'));
        }
        text = dir.filePath(QStringLiteral("site.csv"));
        QFile t(text);
        if (t.open(QIODevice::WriteOnly))
            t.write(lines.join(QStringLiteral("\r\n")).toUtf8());
    }
};

ReportFixture& fixture() {
    static ReportFixture f;
    return f;
}

struct Run {
    bool ok = false;
    long peakKb = 0;
};

// Runs a program to its end; the peak resident memory comes from the kernel's accounting.
Run runProgram(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    Run run;
    if (spawned != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) == pid) {
        run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        run.peakKb = usage.ru_maxrss;
    }
    return run;
}

int pdfPages(const QString& pdf) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(30000);
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(out);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

void ReportPdf_BaselineLibreOfficeText(benchmark::State& state) {
    ReportFixture& f = fixture();
    const std::string soffice =
        QStandardPaths::findExecutable(QStringLiteral("soffice")).toStdString();
    const std::string outDir = f.dir.filePath(QStringLiteral("office")).toStdString();
    const std::string profile =
        "-env:UserInstallation=file://" + f.dir.filePath(QStringLiteral("profile")).toStdString();
    for (auto _ : state) {
        if (!runProgram({soffice, profile, "--headless", "--infilter=CSV:9,34,76", "--convert-to",
                         "pdf", "--outdir", outDir, f.text.toStdString()})
                 .ok) {
            state.SkipWithError("soffice failed");
            break;
        }
    }
    state.counters["pages"] =
        pdfPages(QString::fromStdString(outDir) + QStringLiteral("/site.pdf"));
}

void ReportPdf_Zarnctl10000Rows(benchmark::State& state) {
    ReportFixture& f = fixture();
    const std::string pdf = f.dir.filePath(QStringLiteral("site.pdf")).toStdString();
    long peak = 0;
    double totalMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const Run run = runProgram({ZARN_BIN_DIR "/zarnctl", "report", f.structure.toStdString(),
                                    "--node", "1.1", "-o", pdf});
        if (!run.ok) {
            state.SkipWithError("zarnctl report failed");
            break;
        }
        totalMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        peak = std::max(peak, run.peakKb);
    }
    const int pages = pdfPages(QString::fromStdString(pdf));
    state.counters["pages"] = pages;
    state.counters["peak_MB"] = double(peak) / 1024.0;
    if (pages > 0 && state.iterations() > 0)
        state.counters["ms_per_page"] = totalMs / double(state.iterations()) / pages;
    state.SetLabel("goal: ms<5000 (also: ratio<=0.33 to LibreOffice, peak_MB<300)");
}

const bool registered = [] {
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        std::fprintf(stderr, "bench_ui_report: LibreOffice (soffice) is not installed; the "
                             "comparison with it is skipped\n");
    else
        benchmark::RegisterBenchmark("ReportPdf/BaselineLibreOfficeText",
                                     ReportPdf_BaselineLibreOfficeText)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(2);
    benchmark::RegisterBenchmark("ReportPdf/Zarnctl10000Rows", ReportPdf_Zarnctl10000Rows)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
    return true;
}();

} // namespace

ZARN_QT_BENCHMARK_MAIN()
