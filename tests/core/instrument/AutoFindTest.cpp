// Auto Find over pseudo-terminals: instruments that answer at one speed only, silent devices,
// Cancel and the numbered failures.
#include "core/instrument/AutoFind.h"

#include "core/comm/InstrumentDialogue.h"
#include "core/comm/LineTermios.h"
#include "core/comm/VaComm.h"
#include "core/lang/LStr.h"
#include "sim/InstrumentSimulator.h"
#include "sim/PseudoTerminal.h"
#include "sim/SimulatorLink.h"
#include "support/ScriptedInteraction.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace zarn;
using namespace std::chrono_literals;

namespace {

// The dialogue's two steps, reduced to what a probe needs: the command and its
// acknowledgement's result (0 accepted, 1 none or incomplete, 2 wrong header).
int commandAck(SerialPort& port, const char* command, int idleTimeoutMs) {
    const uint8_t bytes[4] = {uint8_t(command[0]), uint8_t(command[1]), uint8_t(command[2]), 0};
    port.writeBytes(bytes, 4);
    auto last = std::chrono::steady_clock::now();
    int seen = 0;
    while (port.inputCount() < 5) {
        if (port.inputCount() > seen) {
            seen = port.inputCount();
            last = std::chrono::steady_clock::now();
        }
        if (std::chrono::steady_clock::now() - last > std::chrono::milliseconds(idleTimeoutMs))
            return 1;
        port.waitForInput(20);
    }
    uint8_t ack[5];
    port.readBytes(ack, 5);
    if (ack[0] != 'S' || ack[1] != 'E' || ack[2] != 'R')
        return 2;
    return ack[4];
}

// An instrument on a pseudo-terminal that answers only at one line speed, as a real one
// does (at other speeds it sees garbage).
class PickyInstrument {
public:
    explicit PickyInstrument(long speed) : speed_(speed) {
        pty_.holdSlave();
        thread_ = std::thread([this] { serve(); });
    }
    ~PickyInstrument() {
        stop_ = true;
        thread_.join();
    }
    const std::string& path() const { return pty_.slavePath(); }
    std::atomic<int> entered{0};
    std::atomic<int> left{0};

private:
    void serve() {
        std::string in;
        while (!stop_) {
            in += pty_.readSome(20);
            while (in.size() >= 4) {
                std::string cmd = in.substr(0, 4);
                in.erase(0, 4);
                if (currentSpeed(pty_.masterFd()) != speed_)
                    continue;
                if (cmd == std::string("MRD\0", 4))
                    ++entered;
                else if (cmd == std::string("MEX\0", 4))
                    ++left;
                pty_.write(std::string("SER\0\0", 5));
            }
        }
    }
    PseudoTerminal pty_;
    long speed_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct AutoFindFixture : ::testing::Test {
    AutoFindFixture() {
        probe.enter = [this](SerialPort& port, UserInteraction&, int idleTimeoutMs) {
            timeoutsAsked.push_back(idleTimeoutMs);
            // The test's instrument answers at once or never; no need to wait 2 s.
            return commandAck(port, "MRD", std::min(idleTimeoutMs, 150));
        };
        probe.leave = [this](SerialPort& port, UserInteraction&) {
            ++leaves;
            EXPECT_TRUE(port.isOpen());
            EXPECT_EQ(commandAck(port, "MEX", 2000), 0) << "the instrument accepts MEX";
        };
        options.notFoundText = "Instrument not found";
        options.onSelect = [this](ComSelection s) { shown.push_back(s); };
        comm.setPortMap(map);
    }

    ComPortMap map;
    TVaComm comm;
    TransferModeProbe probe;
    AutoFindOptions options;
    ScriptedInteraction ui;
    std::vector<ComSelection> shown;
    std::vector<int> timeoutsAsked;
    int leaves = 0;
};

} // namespace

TEST_F(AutoFindFixture, FindsTheInstrumentOnComThreeAtNineteenThousandTwoHundred) {
    PickyInstrument instrument(19200);
    PseudoTerminal silent; // COM1: a device where nothing answers
    silent.holdSlave();
    map.set(1, silent.slavePath());
    map.set(3, instrument.path());
    comm.setPortMap(map);

    AutoFindResult r = autoFind(comm, {5, 3}, probe, ui, options);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.selection, (ComSelection{2, 2}));
    // COM1: six speeds asked; COM2: nothing there; COM3: 115200, 38400, then 19200.
    EXPECT_EQ(r.attempts, 6 + 6 + 3);
    EXPECT_EQ(r.probes, 6 + 3);
    EXPECT_EQ(timeoutsAsked, std::vector<int>(9, 2000));
    EXPECT_EQ(shown.back(), (ComSelection{2, 2}));
    EXPECT_EQ(instrument.entered, 1);
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(instrument.left, 1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(comm.isOpen());
    EXPECT_EQ(comm.portNum(), 3);
    EXPECT_EQ(comm.baudrate(), TVaBaudrate::br19200);
}

TEST_F(AutoFindFixture, NothingAttachedTriesAllCombinationsAndRestores) {
    AutoFindResult r = autoFind(comm, {4, 1}, probe, ui, options);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.attempts, 96);
    EXPECT_EQ(r.probes, 0);
    EXPECT_EQ(r.selection, (ComSelection{4, 1}));
    EXPECT_EQ(shown.size(), 97u);
    EXPECT_EQ(shown[0], (ComSelection{0, 0}));
    EXPECT_EQ(shown[95], (ComSelection{15, 5}));
    EXPECT_EQ(shown.back(), (ComSelection{4, 1}));
    EXPECT_EQ(comm.portNum(), 5);
    EXPECT_EQ(comm.baudrate(), TVaBaudrate::br38400);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Instrument not found");
    EXPECT_EQ(ui.messages[0].type, DialogType::Error);
    EXPECT_TRUE(ui.messages[0].buttons.has(DialogButton::Help));
    EXPECT_EQ(leaves, 0);
}

TEST_F(AutoFindFixture, FixedSpeedTriesEachPortOnce) {
    options.baudGroupEnabled = false;
    AutoFindResult r = autoFind(comm, {0, 4}, probe, ui, options);
    EXPECT_EQ(r.attempts, 16);
    for (size_t i = 0; i < 16; ++i)
        EXPECT_EQ(shown[i], (ComSelection{static_cast<int>(i), 4}));
}

TEST_F(AutoFindFixture, CancelEndsTheSearchAndRestores) {
    PickyInstrument instrument(2400); // answers only on the last speed: never reached
    map.set(1, instrument.path());
    comm.setPortMap(map);
    ui.requestCancel(); // left over from an earlier command: cleared at the start
    ui.cancelAtProcessEvents = 3;
    AutoFindResult r = autoFind(comm, {1, 3}, probe, ui, options);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.attempts, 2);
    EXPECT_EQ(r.selection, (ComSelection{1, 3}));
    EXPECT_EQ(instrument.entered, 0);
    EXPECT_FALSE(comm.isOpen());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Instrument not found");
}

TEST_F(AutoFindFixture, FailuresAreNumberedAndLeaveThePortClosed) {
    PseudoTerminal pty;
    pty.holdSlave();
    map.set(2, pty.slavePath());
    comm.setPortMap(map);
    int begun = 0, ended = 0;
    options.onBegin = [&] { ++begun; };
    options.onEnd = [&] { ++ended; };
    probe.enter = [](SerialPort&, UserInteraction&, int) -> int {
        throw EVaCommError("Write error (5), x");
    };
    AutoFindResult r = autoFind(comm, {0, 3}, probe, ui, options);
    EXPECT_FALSE(r.found);
    EXPECT_FALSE(comm.isOpen());
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "14: ERROR");
    EXPECT_EQ(ui.messages[1].text, "Instrument not found");
    EXPECT_EQ(begun, 1);
    EXPECT_EQ(ended, 1);

    ui.messages.clear();
    options.onBegin = [] { throw std::runtime_error("no panel"); };
    autoFind(comm, {0, 3}, probe, ui, options);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "13: ERROR");

    ui.messages.clear();
    options.onBegin = nullptr;
    options.onEnd = [] { throw std::runtime_error("no panel"); };
    probe.enter = [](SerialPort&, UserInteraction&, int) { return 1; };
    autoFind(comm, {0, 3}, probe, ui, options);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "15: ERROR");
}

TEST_F(AutoFindFixture, FindsTheSimulatedInstrumentThroughTheDialogue) {
    SimulatorLink simulator(InstrumentSimulator({defaultIdentificationPayload(), {}}));
    map.set(3, simulator.slavePath());
    comm.setPortMap(map);
    TLStr texts;
    TransferModeProbe dialogueProbe;
    dialogueProbe.enter = [&](SerialPort& port, UserInteraction& searchUi, int idleTimeoutMs) {
        InstrumentDialogue dialogue(port, searchUi, texts);
        dialogue.send(frames::EnterTransferMode);
        return dialogue.awaitAck(idleTimeoutMs);
    };
    dialogueProbe.leave = [&](SerialPort& port, UserInteraction& searchUi) {
        InstrumentDialogue(port, searchUi, texts).leaveTransferMode();
    };
    options.baudGroupEnabled = false; // the speed stays as chosen: 19200
    AutoFindResult r = autoFind(comm, {0, 2}, dialogueProbe, ui, options);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.selection, (ComSelection{2, 2}));
    EXPECT_EQ(r.attempts, 3);
    EXPECT_EQ(comm.baudrate(), TVaBaudrate::br19200);
    EXPECT_TRUE(simulator.waitTransferEnded(2s));
    EXPECT_EQ(simulator.commandLog(), (std::vector<std::string>{"MRD", "MEX"}));
    EXPECT_TRUE(ui.messages.empty());
}
