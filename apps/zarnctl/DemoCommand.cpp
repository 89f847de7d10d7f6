// zarnctl demo DIR: the program's main job in one command. A simulated instrument is started
// inside the process on a pseudo-terminal of its own, its results are received through the
// real port and dialogue (as `zarnctl receive` receives them), and the structure file, its
// text export, the report of the first block and the instrument's command log are written
// into DIR together.
#include "Command.h"
#include "DocumentLoader.h"
#include "ExportFile.h"
#include "InstrumentAccess.h"
#include "ReportFile.h"
#include "core/base/StagedFiles.h"
#include "core/instrument/ResultsReception.h"
#include "core/structfile/StructFile.h"
#include "sim/SimulatorLink.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <pthread.h>

namespace zarnctl {
namespace {

namespace fs = std::filesystem;

// A structure file holds its heading row and at most this many results.
constexpr int MaxRecords = zarn::structfile::MaxRows - 1;
constexpr int DefaultRecords = 200;
constexpr int MaxLanguageNumber = 999;

struct DemoOptions {
    fs::path dir;
    int records = DefaultRecords;
    std::optional<int> language; // from 1, in the order of LNG_MAIN.INI
    int baud = 0;                // 0: unpaced
};

DemoOptions parseOptions(const std::vector<std::string>& argv) {
    const auto args = parseArgs(argv, {}, {"--records", "--language", "--baud"});
    if (args.positional.size() != 1)
        throw UsageError("expected one DIR");
    DemoOptions o;
    o.dir = args.positional[0];
    if (o.dir.empty())
        throw UsageError("DIR must not be empty");
    if (const auto r = args.value("--records")) {
        try {
            o.records = numberOption("--records", *r, 1, MaxRecords);
        } catch (const UsageError& e) {
            throw UsageError(std::string(e.what()) + "; a structure file holds at most " +
                             std::to_string(MaxRecords) + " results");
        }
    }
    if (const auto l = args.value("--language"))
        o.language = numberOption("--language", *l, 1, MaxLanguageNumber);
    if (const auto b = args.value("--baud")) {
        o.baud = numberOption("--baud", *b, 1, MaxLineSpeed);
        // The instrument offers the speeds of the COM dialog, no others.
        if (std::find(zarn::ComBaudItems.begin(), zarn::ComBaudItems.end(), o.baud) ==
            zarn::ComBaudItems.end()) {
            auto speeds = zarn::ComBaudItems;
            std::sort(speeds.begin(), speeds.end());
            std::string list;
            for (int speed : speeds)
                list += (list.empty() ? "" : ", ") + std::to_string(speed);
            throw UsageError("--baud takes one of the instrument's speeds " + list + ", not " + *b);
        }
    }
    return o;
}

// The simulated instrument's serving thread leaves Ctrl-C to the main thread, whose handler
// asks the reception to stop.
std::unique_ptr<zarn::SimulatorLink> startInstrument(int records, int baud,
                                                     const std::string& logPath) {
    zarn::SimulatorData data{zarn::defaultIdentificationPayload(), zarn::generatedRecords(records)};
    zarn::SimulatorPacing pacing;
    pacing.baud = baud;
    sigset_t interrupt;
    sigset_t before;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    pthread_sigmask(SIG_BLOCK, &interrupt, &before);
    std::unique_ptr<zarn::SimulatorLink> link;
    try {
        link = std::make_unique<zarn::SimulatorLink>(zarn::InstrumentSimulator(std::move(data)),
                                                     pacing, logPath);
    } catch (...) {
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        throw;
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return link;
}

// 41233 -> "41,233".
std::string grouped(uintmax_t n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

// A word as a shell takes it back.
std::string shellWord(const std::string& word) {
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) ||
               std::string_view("/._-+,:=@%").find(c) != std::string_view::npos;
    });
    if (plain)
        return word;
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The desktop program beside this one, else as found on the PATH.
std::string desktopProgram() {
    const std::string beside = zarn::ProgramPaths::executableDir() + "zarn";
    std::error_code ec;
    return fs::is_regular_file(beside, ec) ? beside : "zarn";
}

int runDemo(Context& ctx) {
    const DemoOptions options = parseOptions(ctx.args);
    InstrumentInteraction ui(ctx.err, 0, InstrumentInteraction::PipedProgress::None);
    Context quiet{ctx.paths, ctx.args, ctx.out, ctx.err, ui};
    LoadedDocument loaded(quiet, options.language);

    // Made once the arguments and the language are known to be good.
    std::error_code ec;
    const fs::path dir = fs::absolute(options.dir, ec).lexically_normal();
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir))
        throw CommandError("cannot make the folder " + dir.string() + ": " +
                           (ec ? ec.message() : "a file of that name is in the way"));

    const std::string folder = dir.string();
    zarn::StagedFiles staged(folder);
    const std::string zrn = staged.stage("demo.zrn");
    const std::string txt = staged.stage("demo.txt");
    const std::string pdf = staged.stage("demo.pdf");
    const std::string log = staged.stage("demo.log");

    std::unique_ptr<zarn::SimulatorLink> link;
    try {
        link = startInstrument(options.records, options.baud, log);
    } catch (const std::exception& e) {
        throw CommandError(std::string("cannot start the simulated instrument: ") + e.what());
    }
    zarn::TVaComm port;
    zarn::PortRequest request;
    request.port = link->slavePath();
    if (options.baud > 0)
        request.speed = options.baud;
    loaded.session().setPortRequest(request);
    loaded.session().preparePort(port);

    zarn::ResultsReception host(loaded.workspace(), ui);
    const auto out = zarn::receiveResults(port, ui, host);
    link->stop();
    const size_t commands = link->commandLog().size();
    link.reset(); // the log is complete and closed
    const int status = receptionStatus(out, ui.interrupted());
    if (status == InterruptedStatus) {
        ctx.err << "zarnctl demo: interrupted; nothing was written\n";
        return status;
    }
    if (status != 0) {
        ctx.err << "zarnctl demo: " << out.received << " of " << out.count
                << " records arrived; nothing was written\n";
        return status;
    }

    // The file is written under its staged name, which is nothing to show.
    loaded.document().setInteraction(&ctx.ui);
    if (!loaded.document().writeTo(zrn))
        throw CommandError("cannot write " + staged.target("demo.zrn"));
    // The export and the report come from the file as written, as `zarnctl export` and
    // `zarnctl report` make them.
    if (!ui.interrupted()) {
        LoadedDocument doc(ctx, options.language);
        exportStructureFile(doc, zrn, {zarn::ColumnDelimiter::Tab, zarn::RowDelimiter::CrLf}, txt,
                            ctx.err, "zarnctl demo");
    }
    int pages = 0;
    if (!ui.interrupted()) {
        LoadedDocument doc(ctx, options.language);
        ReportJob job;
        job.file = zrn;
        job.pdf = pdf;
        job.title = staged.target("demo.zrn");
        pages = runReportJob(doc, job, ctx.ui).count;
    }
    if (ui.interrupted()) {
        ctx.err << "zarnctl demo: interrupted; nothing was written\n";
        return InterruptedStatus;
    }
    if (const auto done = staged.commit(); !done.ok)
        throw CommandError("cannot write into " + folder + ": " + done.message);

    auto line = [&](const std::string& name, const std::string& what) {
        const auto size = fs::file_size(dir / name, ec);
        std::string shown = ec ? std::string("?") : grouped(size);
        ctx.out << "  " << name << std::string(13 - name.size(), ' ')
                << std::string(shown.size() < 10 ? 10 - shown.size() : 0, ' ') << shown
                << " bytes  " << what << '\n';
    };
    ctx.out << "Received " << out.received << " results from the simulated instrument into "
            << folder << ":\n";
    line("demo.zrn", "structure file (" + std::to_string(out.received) + " results)");
    line("demo.txt", "text export (columns separated by TAB, lines ending in CR LF)");
    line("demo.pdf", "report of the first block (" + std::to_string(pages) +
                         (pages == 1 ? " page)" : " pages)"));
    line("demo.log",
         "commands the instrument received (" + std::to_string(commands) + ", one a line)");
    ctx.out << "Open it in the desktop program: " << shellWord(desktopProgram()) << ' '
            << shellWord(staged.target("demo.zrn")) << '\n';
    return 0;
}

const RegisterCommand reg{
    {"demo", "DIR [--records N] [--language N] [--baud N]",
     "Runs the main job against a simulated instrument and writes its files into DIR.\n"
     "The instrument runs inside zarnctl on a pseudo-terminal of its own; its results are\n"
     "received through the port and the instrument dialogue as `receive` receives them,\n"
     "and DIR (made when missing) gets:\n"
     "  demo.zrn  the structure file\n"
     "  demo.txt  its text export, as `export` writes it (TAB, CR LF)\n"
     "  demo.pdf  the report of the first block, as `report` composes it\n"
     "  demo.log  the commands the instrument received, one a line\n"
     "The four files replace earlier ones of these names together, once all are complete;\n"
     "other files in DIR are left alone. Then it prints each file with its size, and how to\n"
     "open the structure file in zarn.\n"
     "  --records N   results the instrument holds, 1 to 65535 (default 200)\n"
     "  --language N  the language the files are written in, numbered from 1 as in the\n"
     "                Select Language dialog (LNG_MAIN.INI); the language stored in\n"
     "                ZARN.INI stays as it is (default: the stored one)\n"
     "  --baud N      line speed: 2400, 4800, 9600, 19200, 38400 or 115200; the instrument\n"
     "                sends no faster than a real line at that speed (default: as fast as\n"
     "                the pseudo-terminal carries it)\n"
     "On a terminal a progress line shows the records received; elsewhere nothing is shown\n"
     "until the files are written.\n"
     "Exit status: 0 written; 130 interrupted by Ctrl-C (nothing is written, earlier files\n"
     "stay as they were); 2 wrong arguments; 3, 4 or 5 the reception failed, as for\n"
     "`receive` (nothing is written); 1 other failures (DIR cannot be made or written).",
     runDemo}};

} // namespace
} // namespace zarnctl
