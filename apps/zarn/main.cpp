// zarn [FILE] [--program-dir DIR] [--simulator]
//
// The desktop companion of the installation testers: opens FILE (a structure file) when
// given. --program-dir takes ZARN.INI, the language files and the help from DIR.
// --simulator starts a simulated instrument for this run and points COM1 at it, so that
// Instrument > Receive Results shows real data without an instrument at hand.
#include "core/app/Configuration.h"
#include "core/session/CommandLine.h"
#include "core/session/ProgramPaths.h"
#include "sim/SimulatorLink.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    // Read before the GUI starts: --help, --version and a wrong option need no display.
    const zarn::CommandLine cl = zarn::parseCommandLine({argv + 1, argv + argc});
    if (!cl.error.empty()) {
        std::fprintf(stderr, "zarn: %s\n%s", cl.error.c_str(), zarn::CommandLineUsage);
        return 2;
    }
    if (cl.help) {
        std::fputs(zarn::CommandLineUsage, stdout);
        return 0;
    }
    if (cl.version) {
        std::printf("zarn %s\n", std::string(zarn::Configuration::Version).c_str());
        return 0;
    }

    QApplication app(argc, argv);
    // The application's title is the executable's name up to its first dot.
    app.setApplicationName(QFileInfo(app.applicationFilePath()).fileName().section('.', 0, 0));
    // Desktops match the window to zarn.desktop (its icon, its name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("zarn"));

    const zarn::ProgramPaths paths =
        zarn::ProgramPaths::resolve(zarn::ProgramPaths::executableDir(), cl.programDir);
    zarn::TForm1 form(paths);
    if (!form.startUp())
        return 1;
    std::unique_ptr<zarn::SimulatorLink> instrument;
    if (cl.simulator) {
        instrument = std::make_unique<zarn::SimulatorLink>(zarn::InstrumentSimulator(
            {zarn::defaultIdentificationPayload(), zarn::generatedRecords(200)}));
        form.useDeviceForRun(0, instrument->slavePath());
        std::fprintf(stderr, "zarn: simulated instrument on COM1 (%s)\n",
                     instrument->slavePath().c_str());
    }
    if (cl.file)
        form.openStartupFile(*cl.file);
    form.showMaximized();

    if (cl.exitWhenShown) {
        // Timing runs: leave once the first frame of the window has been handled.
        QApplication::processEvents();
        return 0;
    }
    return app.exec();
}
