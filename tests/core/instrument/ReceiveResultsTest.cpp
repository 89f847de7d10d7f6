// Receive Results and Receive Data against the simulated instrument on a real pseudo-terminal.
#include "core/app/InstallationTree.h"
#include "core/app/ResultsTable.h"
#include "core/app/Workspace.h"
#include "core/base/TextRoutines.h"
#include "core/comm/ComConfiguration.h"
#include "core/comm/VaComm.h"
#include "core/instrument/AutoFind.h"
#include "core/instrument/InstrumentCommands.h"
#include "core/instrument/ResultsReception.h"
#include "core/lang/LStr.h"
#include "core/lang/NamefTables.h"
#include "core/structfile/StructureDocument.h"
#include "sim/PseudoTerminal.h"
#include "sim/SimulatorLink.h"
#include "support/ScriptedInteraction.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <thread>
#include <unistd.h>

using namespace zarn;
using namespace std::string_literals;
using Status = ReceiveOutcome::Status;
using Clock = std::chrono::steady_clock;

namespace {

// Raises the cancel flag once the instrument has seen a given command a given number of times.
class CancellingInteraction : public ScriptedInteraction {
public:
    std::function<bool()> cancelWhen;
    void processEvents() override {
        ScriptedInteraction::processEvents();
        if (cancelWhen && cancelWhen())
            requestCancel();
    }
};

DialogueTimeouts fastTimeouts() {
    DialogueTimeouts t;
    t.enterAck = 300;
    t.ack = 300;
    t.identification = 300;
    t.count = 500;
    t.recordUnit = 300;
    t.recordPayload = 300;
    t.identifyPause = 10;
    t.identifyStale = 100;
    t.staleInput = 50;
    t.retryPause = 10;
    return t;
}

std::vector<std::string> blockRecords(int blocks, int elements) {
    std::vector<std::string> r;
    for (int b = 1; b <= blocks; ++b)
        for (int e = 1; e <= elements; ++e)
            r.push_back(recordPayload(static_cast<uint16_t>(b), static_cast<uint16_t>(e), 3,
                                      {{'R', 4, 3, "> 999"}, {'T', 0, 0, "PASS"}}));
    return r;
}

class Reception : public testing::Test {
protected:
    Reception() {
        for (const char* key :
             {"CommError_40", "TerminateComm_40", "MeasuresMissing_30", "ReceiveResults_30",
              "Searching_30", "ReceivingResults_30", "Receiving_30", "Wait_25"})
            texts.set(key, std::string(key) + " text");
        namef.load({"funkcija3=Insulation$resistance"});
    }

    void start(SimulatorData data, SimulatorFaults faults = {}, SimulatorPacing pacing = {}) {
        link =
            std::make_unique<SimulatorLink>(InstrumentSimulator(std::move(data), faults), pacing);
        port.setDeviceName(link->slavePath());
    }
    void start(std::vector<std::string> records, SimulatorFaults faults = {}) {
        start(SimulatorData{defaultIdentificationPayload(), std::move(records)}, faults);
    }

    // Each reception starts as after a save: nothing unsaved to ask about.
    ReceiveOutcome receive() {
        ws.document().setSaved(true);
        const auto start = Clock::now();
        auto out = receiveResults(port, ui, host, timeouts);
        elapsed = Clock::now() - start;
        return out;
    }
    // The instrument's log, once it has taken the last command sent (MEX may still travel
    // when the command returns).
    std::vector<std::string> commands() const {
        const auto deadline = Clock::now() + std::chrono::milliseconds(500);
        auto log = link->commandLog();
        while (Clock::now() < deadline && (log.empty() || log.back() != "MEX")) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            log = link->commandLog();
        }
        return log;
    }
    int count(const std::string& command, bool now = false) const {
        const auto log = now ? link->commandLog() : commands();
        return static_cast<int>(std::count(log.begin(), log.end(), command));
    }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> t;
        for (const auto& m : ui.messages)
            t.push_back(m.text);
        return t;
    }
    std::vector<std::string> rowIds() const {
        std::vector<std::string> ids;
        for (int r = 1; r < table.rowCount(); ++r)
            ids.push_back(table.cell(col::Ids, r));
        return ids;
    }

    std::unique_ptr<SimulatorLink> link;
    TVaComm port;
    CancellingInteraction ui;
    Workspace ws{ZARN_BIN_DIR + std::string("/")};
    TLStr& texts = ws.texts();
    NamefTables& namef = ws.namef();
    ResultsTable& table = ws.results();
    InstallationTree& tree = ws.tree();
    ResultsReception host{ws, ui};
    DialogueTimeouts timeouts = fastTimeouts();
    Clock::duration elapsed{};
};

TEST_F(Reception, ThousandRecordsInIdOrderAndShuffledGiveTheSameTable) {
    auto records = blockRecords(10, 100);
    start(records);
    auto out = receive();
    ASSERT_EQ(out.status, Status::Received) << out.error;
    EXPECT_EQ(out.count, 1000);
    EXPECT_EQ(out.received, 1000);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(table.resultCount(), 1000);
    EXPECT_TRUE(table.isSorted());
    EXPECT_EQ(table.cell(1, 0),
              "KAVOX 5\rK204B\rFirmware 2.07\r09341122\rCalibrated 2026-03-01\r\r\r");
    EXPECT_EQ(table.cell(2, 0), "Fanrik Osterlamp");
    EXPECT_EQ(table.cell(3, 0), "Training unit");
    EXPECT_EQ(tree.childCount(NoNode), 10);
    EXPECT_EQ(tree.childCount(tree.firstNode()), 100);
    EXPECT_EQ(tree.selected(), tree.firstNode());
    EXPECT_EQ(ui.positions.back(), 100);
    const auto inOrder = rowIds();
    EXPECT_EQ(commands().back(), "MEX");

    std::shuffle(records.begin(), records.end(), std::mt19937(7));
    start(records);
    out = receive();
    ASSERT_EQ(out.status, Status::Received) << out.error;
    EXPECT_EQ(rowIds(), inOrder);
    EXPECT_EQ(tree.childCount(NoNode), 10);
}

TEST_F(Reception, CountZeroStillAsksForRecordsUntilLengthZero) {
    SimulatorFaults f;
    f.countOverride = 0;
    start(blockRecords(1, 3), f);
    const auto out = receive();
    EXPECT_EQ(out.status, Status::Received);
    EXPECT_EQ(out.received, 3);
    EXPECT_EQ(count("MRE"), 4);
    EXPECT_EQ(ui.positions.back(), 100);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Reception, TypeCodeDecidesWhetherRecordsAreAsked) {
    const struct {
        uint16_t typeCode;
        int rows;
        bool asked;
    } cases[] = {{116, 2, true}, {16, 2, true}, {4, 0, false}};
    for (const auto& c : cases) {
        start(SimulatorData{defaultIdentificationPayload(c.typeCode), blockRecords(1, 2)});
        const auto out = receive();
        EXPECT_EQ(out.status, Status::Received) << c.typeCode;
        EXPECT_EQ(out.familyMatches, c.asked) << c.typeCode;
        EXPECT_EQ(table.resultCount(), c.rows) << c.typeCode;
        EXPECT_EQ(count("MRE") > 0, c.asked) << c.typeCode;
        EXPECT_EQ(table.cell(2, 0), "Fanrik Osterlamp") << "header row filled";
        EXPECT_EQ(tree.empty(), !c.asked) << "no new structure for another family";
    }
}

TEST_F(Reception, RetryDialogWaitsThreeSecondsAndYesSendsLeave) {
    timeouts.enterAck = DialogueTimeouts{}.enterAck;
    SimulatorFaults f;
    f.noAnswer = true;
    start(blockRecords(1, 2), f);
    ui.answers = {modal::Yes};
    const auto out = receive();
    EXPECT_EQ(out.status, Status::NotEntered);
    EXPECT_GE(elapsed, std::chrono::milliseconds(3000));
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"CommError_40 text\rTerminateComm_40 text"});
    EXPECT_EQ(commands(), (std::vector<std::string>{"MRD", "MEX"}));
    EXPECT_EQ(table.resultCount(), 0);
    EXPECT_FALSE(ui.progressVisible);
}

TEST_F(Reception, RetryDialogNoRepeatsTheEntry) {
    for (bool refuse : {false, true}) {
        SimulatorFaults f;
        f.noAnswer = !refuse;
        f.refuse = refuse;
        start(blockRecords(1, 2), f);
        ui.messages.clear();
        ui.answers = {modal::No, modal::No, modal::Yes};
        EXPECT_EQ(receive().status, Status::NotEntered);
        EXPECT_EQ(ui.messages.size(), 3u);
        EXPECT_EQ(commands(), (std::vector<std::string>{"MRD", "MRD", "MRD", "MEX"}));
    }
}

// The question whether to go on trying comes by name with its text, so that a terminal needs
// not guess it from a dialog's buttons.
TEST_F(Reception, RetryQuestionComesByName) {
    class Asked : public ScriptedInteraction {
    public:
        bool askRetryTransfer(std::string_view question) override {
            questions.emplace_back(question);
            return questions.size() < 3;
        }
        std::vector<std::string> questions;
    } asked;
    SimulatorFaults f;
    f.noAnswer = true;
    start(blockRecords(1, 2), f);
    EXPECT_EQ(receiveResults(port, asked, host, timeouts).status, Status::NotEntered);
    EXPECT_EQ(asked.questions,
              std::vector<std::string>(3, "CommError_40 text\rTerminateComm_40 text"));
    EXPECT_TRUE(asked.messages.empty());
    EXPECT_EQ(commands(), (std::vector<std::string>{"MRD", "MRD", "MRD", "MEX"}));
}

TEST_F(Reception, SlowBytesKeepTheIdleTimeOutAlive) {
    // Every frame takes longer than the time-outs, but no gap between bytes does.
    timeouts = fastTimeouts();
    timeouts.enterAck = timeouts.ack = timeouts.identification = timeouts.count =
        timeouts.recordUnit = timeouts.recordPayload = 120;
    SimulatorData data{identificationPayload(16, {"a"}), blockRecords(1, 1)};
    start(data, {}, SimulatorPacing{0, 40});
    const auto out = receive();
    EXPECT_EQ(out.status, Status::Received) << out.error;
    EXPECT_EQ(table.resultCount(), 1);
}

struct FaultCase {
    const char* name;
    std::vector<std::string> records;
    SimulatorFaults faults;
    Status status;
    std::vector<std::string> ids; // ids cells of the rows kept
    std::string missing;          // "received/count" of the missing-records message
};

SimulatorFaults stopAfter(int k) {
    SimulatorFaults f;
    f.stopAfter = k;
    return f;
}
SimulatorFaults corrupt(int k) {
    SimulatorFaults f;
    f.corruptRecord = k;
    return f;
}

class RecordFaults : public Reception, public testing::WithParamInterface<FaultCase> {};

TEST_P(RecordFaults, KeepWhatArrivedAndSayWhatIsMissing) {
    const auto& c = GetParam();
    start(c.records, c.faults);
    const auto out = receive();
    EXPECT_EQ(out.status, c.status) << out.error;
    EXPECT_EQ(rowIds(), c.ids);
    if (c.missing.empty())
        EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
    else
        EXPECT_EQ(messageTexts(),
                  std::vector<std::string>{"MeasuresMissing_30 text\r" + c.missing});
    EXPECT_EQ(commands().back(), "MEX");
    EXPECT_EQ(tree.empty(), c.ids.empty());
    // The figures beside the gauge end at the rows kept of the records counted.
    EXPECT_EQ(ui.progressCounted,
              std::make_pair(static_cast<int>(c.ids.size()), static_cast<int>(c.records.size())));
}

std::vector<std::string> ids(int from, int to) {
    std::vector<std::string> v;
    for (int e = from; e <= to; ++e)
        v.push_back("1\r1\r" + std::to_string(e));
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordFaults,
    testing::Values(FaultCase{"StopAfterFiveOfTen", blockRecords(1, 10), stopAfter(5),
                              Status::RecordsMissing, ids(1, 5), "5/10"},
                    FaultCase{"CorruptRecord", blockRecords(1, 5), corrupt(3),
                              Status::RecordsMissing, ids(1, 2), "2/5"},
                    FaultCase{
                        "PayloadShorterThanFive",
                        {recordPayload(1, 1, 3, {}), "\x00\x01\x00"s, recordPayload(1, 3, 3, {})},
                        {},
                        Status::RecordsMissing,
                        {"1\r1\r1", "1\r1\r3"},
                        "2/3"},
                    FaultCase{"LastTextWithoutZeroByte",
                              {recordPayload(1, 1, 3, {}) + "TPA SS", recordPayload(1, 2, 3, {})},
                              {},
                              Status::Received,
                              ids(1, 2),
                              ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Reception, LastTextWithoutZeroByteEndsAtThePayload) {
    start({recordPayload(1, 1, 3, {}) + "TPA SS", recordPayload(1, 2, 3, {{'T', 0, 0, "X"}})});
    ASSERT_EQ(receive().status, Status::Received);
    EXPECT_EQ(table.cell(col::TValues, 1), "PASS");
    EXPECT_EQ(table.cell(col::TValues, 2), "X");
}

TEST_F(Reception, IdentificationLongerThanItsBufferKeepsTheDialogueInStep) {
    std::vector<std::string> strings;
    for (char c = 'a'; c < 'a' + 10; ++c)
        strings.push_back(std::string(60, c));
    const auto payload = identificationPayload(116, strings); // 612 bytes
    start(SimulatorData{payload, blockRecords(1, 3)});
    const auto out = receive();
    ASSERT_EQ(out.status, Status::Received) << out.error;
    EXPECT_EQ(table.resultCount(), 3);
    // 400 bytes hold the type code and six whole strings of 61 bytes, then 32 of string 7.
    EXPECT_EQ(text::field(table.cell(1, 0), 3), std::string(60, 'c'));
    EXPECT_EQ(text::field(table.cell(1, 0), 5), std::string(32, 'g'));
    EXPECT_EQ(text::field(table.cell(1, 0), 6), "");
    EXPECT_EQ(table.cell(3, 0), std::string(60, 'f'));
}

TEST_F(Reception, UnplugMidTransferEndsWithAClearErrorAndKeepsTheRows) {
    SimulatorFaults f;
    f.hangupAfter = 5;
    start(blockRecords(1, 10), f);
    timeouts.recordUnit = DialogueTimeouts{}.recordUnit;
    const auto out = receive();
    EXPECT_EQ(out.status, Status::DeviceLost);
    EXPECT_EQ(rowIds(), ids(1, 5));
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_NE(out.error, "");
    EXPECT_LT(elapsed, std::chrono::milliseconds(DialogueTimeouts{}.recordUnit + 1500));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(tree.childCount(tree.firstNode()), 5);
}

TEST_F(Reception, PortThatDoesNotOpenGivesCommError) {
    port.setDeviceName("/dev/zarn-no-such-device");
    const auto out = receiveResults(port, ui, host, timeouts);
    EXPECT_EQ(out.status, Status::PortNotOpened);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(text::field(ui.messages[0].text, 1), "11: COMM ERROR");
    EXPECT_NE(ui.messages[0].text.find("Unable to open specified device"), std::string::npos);
}

TEST_F(Reception, DeclinedDiscardLeavesEverythingAlone) {
    start(blockRecords(1, 2));
    table.setCell(col::Ids, table.addRow(), "1\r1\r1"); // unsaved data the user keeps
    ui.answers = {modal::Cancel};
    EXPECT_EQ(receiveResults(port, ui, host, timeouts).status, Status::Declined);
    EXPECT_TRUE(commands().empty());
    EXPECT_FALSE(port.isOpen());
}

struct CancelCase {
    const char* name;
    const char* command; // cancel once the instrument saw this command ...
    int times;           // ... this often
    bool noAnswer;
    bool leaves; // MEX is sent afterwards
};

class CancelPhases : public Reception, public testing::WithParamInterface<CancelCase> {};

TEST_P(CancelPhases, EndPromptlyAndKeepWhatArrived) {
    const auto& c = GetParam();
    timeouts = DialogueTimeouts{}; // cancelling must not wait for the real time-outs
    SimulatorFaults f;
    f.noAnswer = c.noAnswer;
    start(SimulatorData{defaultIdentificationPayload(), blockRecords(2, 20)}, f,
          SimulatorPacing{9600, 0});
    ui.cancelWhen = [&] { return count(c.command, true) >= c.times; };
    const auto out = receive();
    EXPECT_LT(elapsed, std::chrono::milliseconds(2500));
    EXPECT_EQ(count("MEX") > 0, c.leaves);
    for (const auto& m : ui.messages)
        EXPECT_NE(m.text, "CommError_40 text\rTerminateComm_40 text") << "no retry dialog";
    EXPECT_LT(out.received, 40);
    EXPECT_EQ(table.resultCount(), out.received);
    EXPECT_FALSE(ui.progressVisible);
}

INSTANTIATE_TEST_SUITE_P(Cases, CancelPhases,
                         testing::Values(CancelCase{"Entering", "MRD", 1, true, false},
                                         CancelCase{"Identifying", "MWH", 1, false, true},
                                         CancelCase{"Counting", "MNU", 1, false, true},
                                         CancelCase{"Records", "MRE", 10, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Reception, ThousandRecordsGiveFourTimesTheRecordTimeOut) {
    SimulatorFaults f;
    f.countOverride = 1000;
    f.stopAfter = 1;
    start(blockRecords(1, 2), f);
    timeouts.recordUnit = 100;
    const auto out = receive();
    EXPECT_EQ(out.status, Status::RecordsMissing);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"MeasuresMissing_30 text\r1/1000"});
    EXPECT_GE(elapsed, std::chrono::milliseconds(400));
}

TEST_F(Reception, ReceiveDataShowsTheFixedTexts) {
    start(SimulatorData{identificationPayload(16, {"Real name", "Real code", "line3", "SN 7",
                                                   "Real firm", "user 1\ruser 2", "line7"}),
                        {}});
    const auto out = receiveInstrumentData(port, ui, texts, timeouts);
    ASSERT_TRUE(out.entered);
    ASSERT_TRUE(out.data);
    EXPECT_EQ(out.data->instrumentLines,
              (std::vector<std::string>{"KAVOX 5", "K204B", "line3", "line7", "", "", ""}));
    EXPECT_EQ(out.data->serialNumber, "SN 7");
    EXPECT_EQ(out.data->firmLines, std::vector<std::string>{"Fanrik Osterlamp"});
    EXPECT_EQ(out.data->userLines, (std::vector<std::string>{"user 1", "user 2"}));
    EXPECT_EQ(commands(), (std::vector<std::string>{"MRD", "MWH", "MEX"}));
    EXPECT_EQ(table.rowCount(), 1) << "the results table is not changed";
    EXPECT_FALSE(port.isOpen());
}

struct IdentifyFaultCase {
    const char* name;
    SimulatorFaults faults;
};

class FailedIdentification : public Reception,
                             public testing::WithParamInterface<IdentifyFaultCase> {};

TEST_P(FailedIdentification, StillGivesTheFixedTextsAndKeepsTheFamilyCode) {
    const SimulatorData data{
        identificationPayload(16, {"Real name", "Real code", "line3", "SN 7", "Real firm", "user"}),
        blockRecords(1, 2)};
    start(data, GetParam().faults);
    host.setDataFamilyCode(4); // what an earlier file left
    receive();
    EXPECT_EQ(text::field(table.cell(1, 0), 1), "KAVOX 5");
    EXPECT_EQ(text::field(table.cell(1, 0), 2), "K204B");
    EXPECT_EQ(table.cell(2, 0), "Fanrik Osterlamp");
    EXPECT_EQ(host.dataFamilyCode(), 4);
    EXPECT_EQ(table.resultCount(), 0) << "no records asked of another family";

    start(data, GetParam().faults);
    const auto shown = receiveInstrumentData(port, ui, texts, timeouts);
    ASSERT_TRUE(shown.entered);
    EXPECT_FALSE(shown.identified);
    ASSERT_TRUE(shown.data);
    EXPECT_EQ(shown.data->instrumentLines,
              (std::vector<std::string>{"KAVOX 5", "K204B", "", "", "", "", ""}));
    EXPECT_EQ(shown.data->firmLines, std::vector<std::string>{"Fanrik Osterlamp"});
    EXPECT_FALSE(port.isOpen());
}

SimulatorFaults badIdentification() {
    SimulatorFaults f;
    f.badIdentification = true;
    return f;
}
SimulatorFaults hangupOnIdentify() {
    SimulatorFaults f;
    f.hangupOnIdentify = true;
    return f;
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedIdentification,
                         testing::Values(IdentifyFaultCase{"WrongHeader", badIdentification()},
                                         IdentifyFaultCase{"LineGoesDead", hangupOnIdentify()}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace {

TEST(AutoFind, FindsTheSimulatorOnComThreeAtNineteenThousandTwoHundred) {
    SimulatorPacing atSpeed;
    atSpeed.baud = 19200;
    SimulatorLink instrument(InstrumentSimulator(SimulatorData{defaultIdentificationPayload(), {}}),
                             atSpeed);
    PseudoTerminal silent; // COM1: a device where nothing answers
    silent.holdSlave();
    ComPortMap map;
    map.set(1, silent.slavePath());
    map.set(3, instrument.slavePath());
    TVaComm comm;
    comm.setPortMap(map);
    ScriptedInteraction ui;
    AutoFindOptions options;
    options.notFoundText = "not found";
    auto probe = instrumentProbe();
    // Nothing answers on COM1 and at the wrong speeds; the real 2 s per probe is not the point.
    auto enter = probe.enter;
    probe.enter = [enter](SerialPort& port, UserInteraction& ui, int) {
        return enter(port, ui, 150);
    };

    const auto r = autoFind(comm, {0, 3}, probe, ui, options);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.selection, (ComSelection{2, 2}));
    EXPECT_TRUE(ui.messages.empty());
    const auto deadline = Clock::now() + std::chrono::seconds(1);
    while (instrument.commandLog().size() < 2 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(instrument.commandLog(), (std::vector<std::string>{"MRD", "MEX"}));
}

} // namespace

namespace {

TEST(ResultsReception, NothingReceivedStartsANewStructureAndRowsMakeADocumentToSave) {
    Workspace ws(ZARN_BIN_DIR + std::string("/"));
    ws.texts().set("Object_20", "Object");
    ws.loadDefaultNames();
    ws.applyConfiguration();
    ScriptedInteraction ui;
    for (const bool withRecords : {false, true}) {
        SimulatorLink link(InstrumentSimulator(
            SimulatorData{defaultIdentificationPayload(),
                          withRecords ? std::vector<std::string>{recordPayload(2, 1, 3, {})}
                                      : std::vector<std::string>{}}));
        TVaComm port;
        port.setDeviceName(link.slavePath());
        ResultsReception host(ws, ui);
        ws.document().setCurrentFileName("/tmp/old.zrn");
        const auto out = receiveResults(port, ui, host, fastTimeouts());
        EXPECT_EQ(out.status, Status::Received);
        EXPECT_EQ(ws.document().currentFileName(), ws.document().defaultFileName());
        ASSERT_EQ(ws.tree().childCount(NoNode), 1);
        if (withRecords) {
            EXPECT_EQ(ws.tree().text(ws.tree().firstNode()), "002");
            EXPECT_FALSE(ws.document().saved()) << "received rows are unsaved data";
            EXPECT_EQ(ws.results().resultCount(), 1);
        } else {
            EXPECT_EQ(ws.tree().text(ws.tree().firstNode()), "Object1");
            EXPECT_TRUE(ws.document().saved()) << "nothing to save";
        }
    }
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace

namespace {

// The desktop and zarnctl both: a workspace with its structure document, receiving from the
// simulated instrument and saving to a file.
class DocumentReception : public testing::Test {
protected:
    DocumentReception() {
        ws.texts().set("Object_20", "Object");
        ws.loadDefaultNames();
        ws.applyConfiguration();
        doc.setRememberProtocolDefaults(false);
        dir = std::filesystem::temp_directory_path() /
              ("zarn-family-" + std::to_string(::getpid()) + "-" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    ~DocumentReception() override { std::filesystem::remove_all(dir); }

    std::string file(const std::string& name, std::string_view bytes = {}) const {
        const auto path = (dir / name).string();
        if (!bytes.empty())
            std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    ReceiveOutcome receiveFrom(uint16_t typeCode, std::vector<std::string> records) {
        SimulatorLink link(InstrumentSimulator(
            SimulatorData{defaultIdentificationPayload(typeCode), std::move(records)}));
        TVaComm port;
        port.setDeviceName(link.slavePath());
        ResultsReception host(ws, ui);
        return receiveResults(port, ui, host, fastTimeouts());
    }
    static std::string secondLine(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::string line;
        std::getline(in, line);
        std::getline(in, line);
        return line;
    }

    Workspace ws{ZARN_BIN_DIR + std::string("/")};
    StructureDocument doc{ws};
    ScriptedInteraction ui;
    std::filesystem::path dir;
};

struct EarlierFile {
    const char* name;
    const char* bytes;
    int32_t familyAfterOpen;
};

class AfterAnEarlierFile : public DocumentReception,
                           public testing::WithParamInterface<EarlierFile> {};

TEST_P(AfterAnEarlierFile, ReceivedResultsAreSavedWithTheirFamilyAndReadBackWhole) {
    const auto& c = GetParam();
    doc.openFile(file("earlier.zrn", c.bytes));
    EXPECT_EQ(doc.familyCode(), c.familyAfterOpen);

    const auto out = receiveFrom(16, blockRecords(2, 3));
    ASSERT_EQ(out.status, Status::Received) << out.error;
    EXPECT_EQ(doc.familyCode(), 16);
    const auto saved = file("received.zrn");
    ASSERT_TRUE(doc.writeTo(saved));
    EXPECT_EQ(secondLine(saved), "16\r");

    Workspace again(ZARN_BIN_DIR + std::string("/"));
    StructureDocument reopened(again);
    reopened.setRememberProtocolDefaults(false);
    const auto read = reopened.openFile(saved);
    ASSERT_TRUE(read.productFamily());
    ASSERT_EQ(again.results().rowCount(), ws.results().rowCount());
    for (int r = 0; r < ws.results().rowCount(); ++r)
        for (int col = 0; col < ws.results().colCount(); ++col)
            EXPECT_EQ(again.results().cell(col, r), ws.results().cell(col, r)) << r << "/" << col;
    EXPECT_EQ(again.tree().nodeCount(), 2 + 6);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AfterAnEarlierFile,
    testing::Values(EarlierFile{"OfAnotherFamily", "*** INSTAL STRUCTURE v11\r\n4\r\n", 4},
                    // Not a structure file: the code of the results in memory stays.
                    EarlierFile{"NotAStructureFile", "hello\r\n", 16}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentReception, TypeCodeOneHundredAndFourGivesAFileOfFamilyFour) {
    doc.openFile(file("earlier.zrn", "hello\r\n"));
    const auto out = receiveFrom(104, blockRecords(1, 2));
    ASSERT_EQ(out.status, Status::Received) << out.error;
    EXPECT_FALSE(out.familyMatches);
    EXPECT_EQ(doc.familyCode(), 4);
    EXPECT_EQ(ws.results().resultCount(), 0);
    const auto saved = file("family4.zrn");
    ASSERT_TRUE(doc.writeTo(saved));
    EXPECT_EQ(secondLine(saved), "4\r");

    // Reading it back gives the family of the file, and a file that is no structure file
    // afterwards leaves it so.
    Workspace again(ZARN_BIN_DIR + std::string("/"));
    StructureDocument reopened(again);
    reopened.setRememberProtocolDefaults(false);
    reopened.openFile(saved);
    EXPECT_EQ(reopened.familyCode(), 4);
    reopened.openFile(file("other.zrn", "hello\r\n"));
    EXPECT_EQ(reopened.familyCode(), 4);
}

} // namespace
