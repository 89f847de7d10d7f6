// zarn-sim: a simulated instrument of family 16 on a pseudo-terminal.
//
// It prints the device path to open on its first output line, then answers the program's
// commands until killed (or, with --once, until one transfer has ended).
#include "Fixture.h"
#include "core/app/NumberArgument.h"
#include "core/base/AtomicFile.h"
#include "sim/SimulatorLink.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char* usage =
    "Usage: zarn-sim [OPTIONS]\n"
    "A simulated installation tester (family 16) on a pseudo-terminal. The first output line\n"
    "is the device to open, e.g. zarnctl receive --port /dev/pts/3 -o out.zrn\n\n"
    "Contents:\n"
    "  --fixture FILE       instrument contents from a JSON description\n"
    "  --generate N         N plausible records over several blocks (default 20)\n"
    "Line:\n"
    "  --link PATH          also create a symbolic link PATH to the device\n"
    "  --baud B             pace the output at B/11 bytes per second, as a real line\n"
    "  --slow-ms MS         pause MS milliseconds between any two bytes sent\n"
    "  --log FILE           write every command received, one a line\n"
    "  --once               exit after one transfer (MRD ... MEX)\n"
    "Faults:\n"
    "  --no-answer          never acknowledge MRD\n"
    "  --refuse             acknowledge MRD with a non-zero status\n"
    "  --stop-after K       stop answering MRE after K records\n"
    "  --corrupt-record K   send record K with a wrong header\n"
    "  --count N            report N records whatever is stored\n"
    "  --hangup-after K     close the line after K records, as an unplugged cable\n"
    "  --bad-identification answer MWH with a wrong header\n"
    "  --hangup-on-identify close the line when MWH comes\n";

struct Options {
    std::optional<std::string> fixture;
    int generate = 20;
    std::optional<std::string> link;
    std::string log;
    bool once = false;
    zarn::SimulatorPacing pacing;
    zarn::SimulatorFaults faults;
};

Options parse(int argc, char** argv) {
    Options o;
    std::vector<std::string> args(argv + 1, argv + argc);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size())
                throw std::invalid_argument(a + " needs a value");
            return args[++i];
        };
        if (a == "--help" || a == "-h") {
            std::cout << usage;
            std::exit(0);
        } else if (a == "--fixture") {
            o.fixture = value();
        } else if (a == "--generate") {
            o.generate = zarn::parseNumberArgument(a, value(), 0, 65535);
        } else if (a == "--link") {
            o.link = value();
        } else if (a == "--log") {
            o.log = value();
        } else if (a == "--once") {
            o.once = true;
        } else if (a == "--baud") {
            o.pacing.baud = zarn::parseNumberArgument(a, value(), 1, 4000000);
        } else if (a == "--slow-ms") {
            o.pacing.slowMs = zarn::parseNumberArgument(a, value(), 0, 60000);
        } else if (a == "--no-answer") {
            o.faults.noAnswer = true;
        } else if (a == "--refuse") {
            o.faults.refuse = true;
        } else if (a == "--stop-after") {
            o.faults.stopAfter = zarn::parseNumberArgument(a, value(), 0, 65535);
        } else if (a == "--corrupt-record") {
            o.faults.corruptRecord = zarn::parseNumberArgument(a, value(), 1, 65535);
        } else if (a == "--count") {
            o.faults.countOverride = zarn::parseNumberArgument(a, value(), 0, 65535);
        } else if (a == "--hangup-after") {
            o.faults.hangupAfter = zarn::parseNumberArgument(a, value(), 0, 65535);
        } else if (a == "--bad-identification") {
            o.faults.badIdentification = true;
        } else if (a == "--hangup-on-identify") {
            o.faults.hangupOnIdentify = true;
        } else {
            throw std::invalid_argument("unknown option " + a);
        }
    }
    return o;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    zarn::SimulatorData data;
    try {
        options = parse(argc, argv);
        if (options.fixture) {
            std::string json;
            if (!zarn::readWholeFile(*options.fixture, json))
                throw std::runtime_error("cannot read " + *options.fixture);
            data = zarnsim::parseFixture(json);
        } else {
            data.identification = zarn::defaultIdentificationPayload();
            data.records = zarn::generatedRecords(options.generate);
        }
    } catch (const std::exception& e) {
        std::cerr << "zarn-sim: " << e.what() << "\n" << usage;
        return 2;
    }

    // Signals are taken synchronously below; the serving thread inherits the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        zarn::SimulatorLink link(zarn::InstrumentSimulator(std::move(data), options.faults),
                                 options.pacing, options.log);
        std::cout << link.slavePath() << std::endl;
        if (options.link) {
            ::unlink(options.link->c_str());
            if (::symlink(link.slavePath().c_str(), options.link->c_str()) != 0) {
                std::cerr << "zarn-sim: cannot create the link " << *options.link << ": "
                          << std::strerror(errno) << '\n';
                return 1;
            }
        }
        int status = 0;
        while (true) {
            const timespec slice{0, 200 * 1000 * 1000};
            const int sig = sigtimedwait(&stopSignals, nullptr, &slice);
            if (sig > 0)
                break;
            if (link.hungUp()) {
                std::cerr << "zarn-sim: line closed after the records asked for\n";
                break;
            }
            if (options.once && link.waitTransferEnded(std::chrono::milliseconds(0))) {
                // Let the acknowledgement of MEX leave before the line goes away.
                const timespec drain{0, 100 * 1000 * 1000};
                nanosleep(&drain, nullptr);
                break;
            }
        }
        link.stop();
        if (options.link)
            ::unlink(options.link->c_str());
        return status;
    } catch (const std::exception& e) {
        std::cerr << "zarn-sim: " << e.what() << '\n';
        return 1;
    }
}
