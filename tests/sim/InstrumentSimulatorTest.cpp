#include "sim/InstrumentSimulator.h"

#include "core/base/IniFile.h"
#include "core/base/TextRoutines.h"
#include "core/comm/InstrumentFrames.h"
#include "core/comm/RecordDecoder.h"
#include "core/lang/NamefTables.h"

#include <gtest/gtest.h>
#include <set>

using namespace zarn;
using namespace std::string_literals;

namespace {

SimulatorData threeRecords() {
    return {defaultIdentificationPayload(),
            {recordPayload(1, 1, 3, {{'R', 4, 3, "> 999"}}), recordPayload(1, 2, 5, {}),
             recordPayload(2, 1, 8, {{'T', 0, 0, "PASS"}})}};
}

template <typename F>
SimulatorFaults faults(F set) {
    SimulatorFaults f;
    set(f);
    return f;
}

std::string send(InstrumentSimulator& sim, std::string_view bytes) {
    return sim.receive(bytes).bytes;
}

TEST(InstrumentSimulator, AnswersAWholeTransfer) {
    InstrumentSimulator sim(threeRecords());
    EXPECT_EQ(send(sim, "MWH"), "") << "ignored outside transfer mode";
    EXPECT_EQ(send(sim, frames::EnterTransferMode), frames::ackFrame(0));
    EXPECT_EQ(send(sim, frames::Identify),
              frames::identificationFrame(defaultIdentificationPayload()));
    EXPECT_EQ(send(sim, frames::CountRecords), "SNU\0\0\x03"s);
    EXPECT_EQ(send(sim, frames::StartSending), frames::ackFrame(0));
    const auto data = threeRecords();
    for (const auto& r : data.records)
        EXPECT_EQ(send(sim, frames::NextRecord), frames::recordFrame(r));
    EXPECT_EQ(send(sim, frames::NextRecord), "SRE\0"s);
    const auto end = sim.receive(frames::LeaveTransferMode);
    EXPECT_EQ(end.bytes, frames::ackFrame(0));
    EXPECT_TRUE(end.transferEnded);
    EXPECT_EQ(sim.commandLog(), (std::vector<std::string>{"MWH", "MRD", "MWH", "MNU", "MSS", "MRE",
                                                          "MRE", "MRE", "MRE", "MEX"}));
}

TEST(InstrumentSimulator, CommandsMayArriveInPiecesAndNoiseIsSkipped) {
    InstrumentSimulator sim(threeRecords());
    std::string out;
    for (char c : "\x7FxMR"s + "D\0M"s + "N"s + "U"s)
        out += send(sim, std::string_view(&c, 1));
    EXPECT_EQ(out, frames::ackFrame(0) + frames::countFrame(3));
    EXPECT_EQ(sim.commandLog(), (std::vector<std::string>{"MRD", "MNU"}));
}

TEST(InstrumentSimulator, Faults) {
    {
        InstrumentSimulator sim(threeRecords(), faults([](auto& f) { f.noAnswer = true; }));
        EXPECT_EQ(send(sim, frames::EnterTransferMode), "");
        EXPECT_EQ(send(sim, frames::LeaveTransferMode), frames::ackFrame(0));
    }
    {
        InstrumentSimulator sim(threeRecords(), faults([](auto& f) { f.refuse = true; }));
        EXPECT_EQ(frames::ackResult(send(sim, frames::EnterTransferMode)), 1);
        EXPECT_EQ(send(sim, frames::CountRecords), "");
    }
    {
        InstrumentSimulator sim(threeRecords(), faults([](auto& f) {
                                    f.stopAfter = 1;
                                    f.corruptRecord = 1;
                                    f.countOverride = 500;
                                }));
        send(sim, frames::EnterTransferMode);
        EXPECT_EQ(frames::countFromFrame(send(sim, frames::CountRecords)), 500);
        EXPECT_EQ(send(sim, frames::NextRecord).substr(0, 3), "XRE");
        EXPECT_EQ(send(sim, frames::NextRecord), "");
    }
    {
        InstrumentSimulator sim(threeRecords(), faults([](auto& f) { f.hangupAfter = 2; }));
        send(sim, frames::EnterTransferMode);
        EXPECT_FALSE(sim.receive("MREMRE").hangup);
        const auto r = sim.receive("MRE");
        EXPECT_TRUE(r.hangup);
        EXPECT_EQ(r.bytes, "");
        EXPECT_EQ(send(sim, frames::LeaveTransferMode), "") << "the line is dead";
    }
}

TEST(InstrumentSimulator, GeneratedRecordsArePlausible) {
    const auto lng = IniDocument::load(std::string(ZARN_DATA_DIR) + "/ENGLISH.LNG");
    if (!lng)
        GTEST_SKIP() << "no language file";
    NamefTables namef;
    namef.load(lng->entries("NAMEF"));

    const auto records = generatedRecords(200);
    ASSERT_EQ(records.size(), 200u);
    std::set<int> blocks;
    int previous = 0;
    for (const auto& r : records) {
        ASSERT_LE(r.size(), 255u);
        const auto row = decodeRecord(r, namef);
        ASSERT_TRUE(row.complete);
        const int block = text::digitsToInt(text::field(row.cells[1], 2));
        const int element = text::digitsToInt(text::field(row.cells[1], 3));
        EXPECT_GE(block * 1000 + element, previous) << "in id order";
        previous = block * 1000 + element;
        blocks.insert(block);
        EXPECT_NE(text::field(row.cells[3], 2), "") << "a named function: " << row.cells[3];
        for (int col = 4; col <= 6; ++col) {
            const auto& cell = row.cells[static_cast<size_t>(col)];
            for (int f = 1; f <= text::countFields(cell) && !cell.empty(); ++f) {
                const auto entry = text::field(cell, f);
                EXPECT_NE(namef.quantity(text::digitsToInt(entry.substr(0, 3))), "") << entry;
                EXPECT_NE(namef.unit(text::digitsToInt(entry.substr(3, 3))), "") << entry;
            }
        }
    }
    EXPECT_GE(blocks.size(), 5u);
    EXPECT_EQ(generatedRecords(200), records) << "the same every time";
}

} // namespace
