// zarn-screenshots OUTDIR [--data DIR]
//
// Takes the pictures of the user guide from the real program: the main window with a
// simulated instrument on COM1, Receive Results run for real, then each window the guide
// shows. Run it through scripts/screenshots.sh, which gives it a display of a fixed size and
// the bundled DejaVu fonts; the pictures come out the same on every run.
//
// DIR holds the language files, help and images (default: the executable's folder, where
// the build copies them). Everything the run writes, ZARN.INI included, stays in a
// temporary folder.
#include "core/comm/PortNames.h"
#include "core/session/ProgramPaths.h"
#include "sim/InstrumentSimulator.h"
#include "sim/SimulatorLink.h"
#include "ui/ConfigureCOM.h"
#include "ui/Form1.h"
#include "ui/GaugeDlg.h"
#include "ui/HelpWindow.h"
#include "ui/Preview.h"
#include "ui/TreeModel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

namespace {

using zarn::NodeHandle;

// A plausible day's work: a few boards of a small building, enough for one screen.
constexpr int RecordCount = 60;
constexpr QSize MainWindowSize(1000, 620);

// Settings of the run: English, the instrument on COM1 at 9600 baud, a filled-in printout
// heading and comments, and fonts that exist everywhere the bundled DejaVu fonts do.
const char* const Settings = "[SETUP]\r\n"
                             "Language=1\r\n"
                             "COM=1\r\n"
                             "BAUD=4\r\n"
                             "[TabFONTS]\r\n"
                             "FontName=DejaVu Sans Mono\r\n"
                             "FontSize=9\r\n"
                             "[OPERATOR]\r\n"
                             "OP1=J. Smith, electrician\r\n"
                             "OP2=Smith Electrical Services\r\n"
                             "OP3=Phone 01234 567890\r\n"
                             "FOOTER=Periodic inspection of the electrical installation\r\n"
                             "FOOTER2=Report no. 2026-117\r\n"
                             "LogoText=0\r\n"
                             "[SITE]\r\n"
                             "site1=Riverside Primary School\r\n"
                             "site2=14 Mill Lane\r\n"
                             "site3=Springfield\r\n"
                             "[COMMENTS]\r\n"
                             "checks=101\r\n"
                             "comm1=All protective conductors are continuous.\r\n"
                             "comm2=The RCD of the kitchen circuits was replaced on site.\r\n"
                             "comm3=Next inspection due in four years.\r\n";

[[noreturn]] void fail(const QString& why) {
    throw std::runtime_error(why.toStdString());
}

// Lets the windows lay themselves out and paint.
void settle(int ms = 150) {
    QElapsedTimer t;
    t.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    } while (t.elapsed() < ms);
}

bool copyTree(const QDir& from, const QDir& to) {
    for (const QString& name : from.entryList(QDir::Files))
        if (!QFile::copy(from.filePath(name), to.filePath(name)))
            return false;
    for (const QString& sub : from.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!to.mkpath(sub) || !copyTree(QDir(from.filePath(sub)), QDir(to.filePath(sub))))
            return false;
    }
    return true;
}

class Camera {
public:
    explicit Camera(QDir out) : out_(std::move(out)) {}

    void save(const QImage& image, const char* name) const {
        const QString path = out_.filePath(QString::fromLatin1(name));
        // Quality 0 is PNG's strongest compression; the pixels stay exact.
        if (!image.save(path, "PNG", 0))
            fail(QStringLiteral("cannot write %1").arg(path));
        std::printf("%s\n", qPrintable(path));
    }
    void save(QWidget* w, const char* name) const { save(w->grab().toImage(), name); }

    // Triggers `action`, whose window opens modally, and photographs that window once it is
    // on screen; `prepare` may set it up first, `finish` closes it (default: Cancel).
    void modal(QAction* action, const char* name, const std::function<void(QDialog*)>& prepare = {},
               const std::function<void(QDialog*)>& finish = {}) const {
        bool taken = false;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (taken || !dialog || !dialog->isVisible())
                return;
            taken = true;
            poll.stop();
            if (prepare)
                prepare(dialog);
            settle();
            save(dialog, name);
            if (finish)
                finish(dialog);
            else
                dialog->reject();
        });
        poll.start();
        action->trigger();
        if (!taken)
            fail(QStringLiteral("%1: no window opened").arg(action->objectName()));
    }

private:
    QDir out_;
};

template <class T>
T* named(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        fail(QStringLiteral("%1 has no %2").arg(window.objectName(), QLatin1String(name)));
    return found;
}

// The main window with one of its menus open, as one picture.
QImage withMenuOpen(zarn::TForm1& form, const char* menuName) {
    auto* menu = named<QMenu>(form, menuName);
    form.menuBar()->setActiveAction(menu->menuAction());
    settle(300);
    if (!menu->isVisible())
        fail(QStringLiteral("menu %1 did not open").arg(QLatin1String(menuName)));
    QImage image = form.grab().toImage();
    QPainter painter(&image);
    painter.drawPixmap(form.mapFromGlobal(menu->pos()), menu->grab());
    painter.end();
    menu->close();
    settle();
    return image;
}

int run(const QString& outDir, const QString& dataDir) {
    QTemporaryDir programDir;
    if (!programDir.isValid() || !copyTree(QDir(dataDir), QDir(programDir.path())))
        fail(QStringLiteral("cannot copy the program files of %1").arg(dataDir));
    {
        QFile ini(QDir(programDir.path()).filePath(QStringLiteral("ZARN.INI")));
        if (!ini.open(QIODevice::WriteOnly) || ini.write(Settings) < 0)
            fail(QStringLiteral("cannot write %1").arg(ini.fileName()));
    }
    if (!QDir().mkpath(outDir))
        fail(QStringLiteral("cannot create %1").arg(outDir));
    const Camera camera{QDir(outDir)};

    zarn::TForm1 form(zarn::ProgramPaths::resolve({}, programDir.path().toStdString()));
    if (!form.startUp())
        fail(QStringLiteral("the program did not start"));
    // The records come a little slower than the line could carry them, so that the
    // progress window can be seen at work.
    zarn::SimulatorLink instrument(zarn::InstrumentSimulator({zarn::defaultIdentificationPayload(),
                                                              zarn::generatedRecords(RecordCount)}),
                                   zarn::SimulatorPacing{0, 2});
    form.useDeviceForRun(0, instrument.slavePath());
    // startUp() maximises the window; a fixed size gives the same picture on every screen.
    form.setWindowState(Qt::WindowNoState);
    form.move(0, 0);
    form.resize(MainWindowSize);
    form.show();
    settle();

    // Receive Results, photographing the progress window half-way.
    bool progressTaken = false;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* gauge = form.findChild<zarn::TGaugeDlg*>();
        if (progressTaken || !gauge || !gauge->isVisible() || gauge->ProgressBar->value() < 40)
            return;
        progressTaken = true;
        watch.stop();
        camera.save(gauge, "receiving.png");
    });
    watch.start();
    named<QAction>(form, "ReceiveResults1")->trigger();
    watch.stop();
    if (form.Tabela().rowCount() < 2)
        fail(QStringLiteral("no results arrived"));
    if (!progressTaken)
        fail(QStringLiteral("the progress window was not seen"));

    // Places get the names an electrician gives them; the first board is shown with the
    // results of all its places.
    zarn::InstallationTree& tree = form.tree();
    const std::vector<NodeHandle> boards = tree.children(zarn::NoNode);
    const char* const boardNames[] = {"Main board, ground floor", "First floor board", "Gym board",
                                      "Outbuilding"};
    const char* const placeNames[] = {
        "Classroom 1 sockets", "Classroom 2 sockets", "Kitchen", "Corridor lighting",
        "Staff room",          "Boiler room",         "Toilets", "Outdoor lighting"};
    if (boards.empty())
        fail(QStringLiteral("the tree is empty"));
    for (size_t i = 0; i < boards.size() && i < std::size(boardNames); ++i)
        form.renameNode(boards[i], boardNames[i]);
    const NodeHandle board = boards.front();
    const std::vector<NodeHandle> places = tree.children(board);
    for (size_t i = 0; i < places.size() && i < std::size(placeNames); ++i)
        form.renameNode(places[i], placeNames[i]);
    auto* treeView = named<QTreeView>(form, "Tree");
    treeView->setCurrentIndex(form.treeModel()->indexOf(board));
    settle();
    camera.save(&form, "main-window.png");

    // Configuration > COM Port, as it looks with two adapters plugged in.
    camera.modal(named<QAction>(form, "COMPort1"), "com-port.png", [](QDialog* d) {
        auto* dialog = qobject_cast<zarn::TConfigureCOM*>(d);
        if (!dialog)
            fail(QStringLiteral("the COM Port window is not the expected one"));
        dialog->setPortMap(zarn::ComPortMap::fromDevices(
            {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3D4-if00-port0", "/dev/ttyACM0"}));
    });
    // Instrument > Instrument's Data, after Receive data.
    camera.modal(named<QAction>(form, "InstrumentsData1"), "instrument-data.png",
                 [](QDialog* d) { named<QPushButton>(*d, "ReceiveBtn")->click(); });
    camera.modal(named<QAction>(form, "OperatorTestSite1"), "heading.png");
    camera.modal(named<QAction>(form, "Comments1"), "comments.png");
    camera.modal(named<QAction>(form, "Export1"), "export.png");

    // File > Print Preview: the first page at page width.
    named<QAction>(form, "PrintPreview1")->trigger();
    auto* preview = form.findChild<zarn::TPreview*>();
    if (!preview || !preview->isVisible())
        fail(QStringLiteral("the print preview did not open"));
    preview->setWindowState(Qt::WindowNoState);
    preview->move(0, 0);
    preview->resize(900, 700);
    settle();
    preview->Zoom->setCurrentIndex(zarn::TPreview::PageWidthItem);
    preview->ZoomChange(zarn::TPreview::PageWidthItem);
    settle(300);
    camera.save(preview, "preview.png");
    preview->close();

    // Help > Contents.
    named<QAction>(form, "Contents1")->trigger();
    auto* help = form.findChild<zarn::HelpWindow*>();
    if (!help || !help->isVisible())
        fail(QStringLiteral("the help did not open"));
    help->move(0, 0);
    help->resize(760, 560);
    settle();
    camera.save(help, "help.png");
    help->close();

    // Configuration > Select Language: German, then the File menu in German.
    camera.modal(
        named<QAction>(form, "SelectLanguage1"), "language.png",
        [](QDialog* d) {
            for (QRadioButton* radio : d->findChildren<QRadioButton*>())
                if (radio->text() == QStringLiteral("Deutsch"))
                    radio->setChecked(true);
        },
        [](QDialog* d) { named<QPushButton>(*d, "OKBtn")->click(); });
    settle();
    camera.save(withMenuOpen(form, "File1"), "main-window-de.png");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString outDir;
    QString dataDir = QString::fromStdString(zarn::ProgramPaths::executableDir());
    const QStringList args = QApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--data") && i + 1 < args.size())
            dataDir = args[++i];
        else if (outDir.isEmpty() && !args[i].startsWith(QLatin1Char('-')))
            outDir = args[i];
        else {
            std::fprintf(stderr, "usage: zarn-screenshots OUTDIR [--data DIR]\n");
            return 2;
        }
    }
    if (outDir.isEmpty()) {
        std::fprintf(stderr, "usage: zarn-screenshots OUTDIR [--data DIR]\n");
        return 2;
    }
    // The same look on every machine: Qt's own style, the bundled fonts, a steady caret.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    QApplication::setCursorFlashTime(0);
    try {
        return run(outDir, dataDir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zarn-screenshots: %s\n", e.what());
        return 1;
    }
}
