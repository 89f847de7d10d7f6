// zarn [FILE] [--program-dir DIR]
//
// The desktop companion of the installation testers: opens FILE (a structure file) when
// given. --program-dir takes ZARN.INI, the language files and the help from DIR.
#include "ui/Form1.h"
#include "ui/ProgramPaths.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The application's title is the executable's name up to its first dot.
    app.setApplicationName(QFileInfo(app.applicationFilePath()).fileName().section('.', 0, 0));

    std::vector<std::string> args;
    const QStringList qargs = app.arguments();
    for (qsizetype i = 1; i < qargs.size(); ++i)
        args.push_back(QFile::encodeName(qargs[i]).toStdString());
    const zarn::CommandLine cl = zarn::parseCommandLine(args);
    if (!cl.error.empty()) {
        std::fprintf(stderr, "zarn: %s\nusage: zarn [FILE] [--program-dir DIR]\n",
                     cl.error.c_str());
        return 2;
    }

    const zarn::ProgramPaths paths = zarn::ProgramPaths::resolve(
        QFile::encodeName(app.applicationDirPath()).toStdString(), cl.programDir);
    zarn::TForm1 form(paths);
    if (!form.startUp())
        return 1;
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
