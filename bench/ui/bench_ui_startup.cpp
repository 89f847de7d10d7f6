// Start-up to the first shown window with the English language: the zarn program itself,
// launched with --exit-when-shown, and the same work in-process without the process start.
#include "BenchQtMain.h"
#include "UiTestSupport.h"
#include "ui/Form1.h"

#include <QProcess>

using namespace zarn;

namespace {

void Startup_Program(benchmark::State& state) {
    test::ProgramDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QString program = QStringLiteral(ZARN_BIN_DIR "/zarn");
    const QStringList args{QStringLiteral("--program-dir"), QString::fromStdString(dir.path()),
                           QStringLiteral("--exit-when-shown")};
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, args);
        if (!p.waitForFinished(10000) || p.exitCode() != 0) {
            state.SkipWithError("zarn did not start");
            break;
        }
    }
    state.SetLabel("goal: ms<400");
}

void Startup_InProcess(benchmark::State& state) {
    test::ProgramDir dir;
    const ProgramPaths paths = ProgramPaths::resolve("/nonexistent", dir.path());
    for (auto _ : state) {
        TForm1 form(paths);
        if (!form.startUp()) {
            state.SkipWithError("start-up failed");
            break;
        }
        form.show();
        QApplication::processEvents();
    }
}

} // namespace

BENCHMARK(Startup_Program)
    ->Name("Startup/EnglishProgram")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK(Startup_InProcess)->Name("Startup/EnglishInProcess")->Unit(benchmark::kMillisecond);

ZARN_QT_BENCHMARK_MAIN()
