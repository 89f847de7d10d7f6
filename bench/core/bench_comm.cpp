// What receiving costs: the program's own cost per record with the simulated instrument
// answering at once, and the whole transfer against the time the line itself needs.
#include "core/app/InstallationTree.h"
#include "core/app/ResultsTable.h"
#include "core/app/Workspace.h"
#include "core/comm/InstrumentDialogue.h"
#include "core/comm/InstrumentFrames.h"
#include "core/comm/VaComm.h"
#include "core/instrument/InstrumentCommands.h"
#include "core/instrument/ResultsReception.h"
#include "core/lang/LStr.h"
#include "core/lang/NamefTables.h"
#include "sim/PseudoTerminal.h"
#include "sim/SimulatorLink.h"
#include "support/ScriptedInteraction.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <poll.h>
#include <stdexcept>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace zarn;

// CPU seconds of the whole process: both ends of the line and the port's threads. On a busy
// machine this is steadier than the elapsed time, which waits for the scheduler.
double processCpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    auto secs = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return secs(u.ru_utime) + secs(u.ru_stime);
}

struct Transfer {
    double seconds = 0;
    double cpuSeconds = 0;
    uint64_t lineBytes = 0; // both directions
    int received = 0;
};

// One Receive Results from a simulator holding `records`, at `baud` (0: unpaced).
Transfer receiveFrom(const std::vector<std::string>& records, int baud) {
    SimulatorPacing pacing;
    pacing.baud = baud;
    SimulatorLink link(InstrumentSimulator(SimulatorData{defaultIdentificationPayload(), records}),
                       pacing);
    TVaComm port;
    port.setDeviceName(link.slavePath());
    if (baud > 0) {
        port.setUserBaudrate(baud);
        port.setBaudrate(TVaBaudrate::brUser);
    }
    ScriptedInteraction ui;
    Workspace workspace(std::filesystem::temp_directory_path().string() + "/");
    ResultsReception host(workspace, ui);
    DialogueTimeouts timeouts;
    timeouts.identifyPause = 0; // a fixed pause, not the program's cost
    const auto start = Clock::now();
    const double cpuBefore = processCpuSeconds();
    const auto out = receiveResults(port, ui, host, timeouts);
    Transfer t;
    t.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    t.cpuSeconds = processCpuSeconds() - cpuBefore;
    t.lineBytes = link.bytesSent() + link.bytesReceived();
    t.received = out.received;
    if (out.status != ReceiveOutcome::Status::Received || out.received != int(records.size()))
        throw std::runtime_error("transfer failed: " + out.error);
    return t;
}

const std::vector<std::string>& records(int n) {
    static std::map<int, std::vector<std::string>> cache;
    auto& r = cache[n];
    if (r.empty())
        r = generatedRecords(n);
    return r;
}

// The floor set by the pseudo-terminal and the scheduler: the same bytes as a reception's
// record loop (the next-record command out, one record frame back), with nothing between the
// two ends but write, poll and read.
struct BareRun {
    double seconds = 0;
    double cpuSeconds = 0;
};

BareRun bareRequestAnswer(const std::vector<std::string>& recs) {
    PseudoTerminal pty;
    std::vector<std::string> frames;
    for (const auto& r : recs)
        frames.push_back(frames::recordFrame(r));
    const size_t commandSize = frames::NextRecord.size();

    std::atomic<bool> failed{false};
    std::thread peer([&] {
        std::string in;
        char buffer[256];
        for (const auto& frame : frames) {
            while (in.size() < commandSize) {
                pollfd p{pty.masterFd(), POLLIN, 0};
                if (::poll(&p, 1, 2000) <= 0) {
                    failed = true;
                    return;
                }
                const ssize_t n = ::read(pty.masterFd(), buffer, sizeof buffer);
                if (n > 0)
                    in.append(buffer, static_cast<size_t>(n));
            }
            in.erase(0, commandSize);
            if (pty.write(frame) != frame.size()) {
                failed = true;
                return;
            }
        }
    });

    const int fd = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
    const auto start = Clock::now();
    const double cpuBefore = processCpuSeconds();
    uint8_t buffer[300];
    for (const auto& frame : frames) {
        if (::write(fd, frames::NextRecord.data(), commandSize) != ssize_t(commandSize))
            failed = true;
        size_t got = 0;
        while (got < frame.size() && !failed) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0) {
                failed = true;
                break;
            }
            const ssize_t n = ::read(fd, buffer, frame.size() - got);
            if (n > 0)
                got += static_cast<size_t>(n);
        }
        if (failed)
            break;
    }
    BareRun run;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    peer.join();
    run.cpuSeconds = processCpuSeconds() - cpuBefore;
    ::close(fd);
    if (failed)
        throw std::runtime_error("bare request and answer loop failed");
    return run;
}

void Throughput_BaselineBarePty(benchmark::State& state) {
    const auto& recs = records(10000);
    double seconds = 0;
    double cpu = 0;
    for (auto _ : state) {
        const auto run = bareRequestAnswer(recs);
        seconds += run.seconds;
        cpu += run.cpuSeconds;
        state.SetIterationTime(run.seconds);
    }
    state.counters["records/s"] = double(recs.size()) * state.iterations() / seconds;
    state.counters["cpu_ms"] = cpu * 1000 / state.iterations();
    state.SetLabel("10,000 record requests and answers, bare pseudo-terminal");
}
BENCHMARK(Throughput_BaselineBarePty)
    ->Name("CommThroughput/Baseline_BarePty10000")
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Decoding and ordered insertion alone: what the records cost without any line.
void Throughput_BaselineDecodeInsert(benchmark::State& state) {
    const auto& recs = records(10000);
    NamefTables namef;
    for (auto _ : state) {
        ResultsTable table;
        for (const auto& r : recs)
            insertReceivedRow(table, decodeRecord(r, namef).cells);
        benchmark::DoNotOptimize(table.rowCount());
    }
    state.counters["records/s"] =
        benchmark::Counter(double(recs.size()) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(Throughput_BaselineDecodeInsert)
    ->Name("CommThroughput/DecodeInsert10000")
    ->Unit(benchmark::kMillisecond);

void Throughput_Unpaced(benchmark::State& state) {
    const auto& recs = records(10000);
    double seconds = 0;
    double cpu = 0;
    for (auto _ : state) {
        const auto t = receiveFrom(recs, 0);
        seconds += t.seconds;
        cpu += t.cpuSeconds;
        state.SetIterationTime(t.seconds);
    }
    state.counters["records/s"] = double(recs.size()) * state.iterations() / seconds;
    state.counters["cpu_ms"] = cpu * 1000 / state.iterations();
    state.SetLabel("goal: ratio<=1.25 (10,000 records from the simulator, unpaced, at 0.8x the "
                   "bare pseudo-terminal's rate or better)");
}
BENCHMARK(Throughput_Unpaced)
    ->Name("CommThroughput/Unpaced10000")
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

constexpr int LineBaud = 115200;

// The line-time bound: every byte of the same transfer × 11 bit times.
void LineRate_Bound(benchmark::State& state) {
    const auto& recs = records(2000);
    for (auto _ : state) {
        const auto t = receiveFrom(recs, 0);
        state.SetIterationTime(double(t.lineBytes) * 11.0 / LineBaud);
        state.counters["bytes"] = double(t.lineBytes);
    }
}
BENCHMARK(LineRate_Bound)
    ->Name("CommLineRate/Baseline_LineTime2000")
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void LineRate_Paced(benchmark::State& state) {
    const auto& recs = records(2000);
    for (auto _ : state) {
        const auto t = receiveFrom(recs, LineBaud);
        state.SetIterationTime(t.seconds);
        const double bound = double(t.lineBytes) * 11.0 / LineBaud;
        state.counters["bytes"] = double(t.lineBytes);
        state.counters["ratio"] = t.seconds / bound;
    }
    state.SetLabel("goal: ratio<=1.05 (2,000 records at 115200 against the line time)");
}
BENCHMARK(LineRate_Paced)
    ->Name("CommLineRate/Paced2000At115200")
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The dialogue's own acknowledgement wait on an instrument that never answers.
void IdleCpu_DialogueAckWait(benchmark::State& state) {
    SimulatorFaults silent;
    silent.noAnswer = true;
    SimulatorLink link(
        InstrumentSimulator(SimulatorData{defaultIdentificationPayload(), {}}, silent));
    TVaComm port;
    port.setDeviceName(link.slavePath());
    port.open();
    ScriptedInteraction ui;
    TLStr texts;
    InstrumentDialogue dialogue(port, ui, texts);
    for (auto _ : state) {
        const double before = processCpuSeconds();
        dialogue.send(frames::EnterTransferMode);
        benchmark::DoNotOptimize(dialogue.awaitAck(3000));
        const double cpu = processCpuSeconds() - before;
        state.SetIterationTime(cpu);
        state.counters["cpu_s"] = cpu;
    }
    state.SetLabel("goal: ms<150 (CPU during the 3 s wait for the MRD acknowledgement)");
}
BENCHMARK(IdleCpu_DialogueAckWait)
    ->Name("IdleCpu/DialogueAckWait3s")
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
