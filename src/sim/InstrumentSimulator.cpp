#include "sim/InstrumentSimulator.h"

#include "core/comm/InstrumentFrames.h"

#include <array>
#include <stdexcept>

namespace zarn {

std::string recordPayload(uint16_t block, uint16_t element, uint8_t function,
                          const std::vector<SimulatedItem>& items) {
    std::string p;
    p += static_cast<char>(block >> 8);
    p += static_cast<char>(block & 0xFF);
    p += static_cast<char>(element >> 8);
    p += static_cast<char>(element & 0xFF);
    p += static_cast<char>(function);
    for (const auto& item : items) {
        p += item.letter;
        if (item.letter == 'R' || item.letter == 'M' || item.letter == 'P') {
            p += static_cast<char>(item.quantity);
            p += static_cast<char>(item.unit);
        }
        p += item.text;
        p += '\0';
    }
    return p;
}

std::string identificationPayload(uint16_t typeCode, const std::vector<std::string>& strings) {
    std::string p;
    p += static_cast<char>(typeCode & 0xFF);
    p += static_cast<char>(typeCode >> 8);
    for (const auto& s : strings) {
        p += s;
        p += '\0';
    }
    return p;
}

std::string defaultIdentificationPayload(uint16_t typeCode) {
    return identificationPayload(typeCode, {"INSTALLATION TESTER", "MI 16", "Firmware 2.07",
                                            "09341122", "Simulated instrument", "Training unit",
                                            "Calibrated 2026-03-01", "", "", ""});
}

namespace {

// A small deterministic generator, so that the same N always gives the same records.
class Lcg {
public:
    uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

private:
    uint32_t state_ = 20260301u;
};

std::string decimal(int whole, int tenths) {
    return std::to_string(whole) + "." + std::to_string(tenths);
}

// Measuring functions with their quantity and unit codes (docs/namef.md).
std::vector<SimulatedItem> itemsFor(uint8_t function, Lcg& rnd) {
    const bool pass = rnd.below(10) != 0;
    std::vector<SimulatedItem> items;
    switch (function) {
    case 1: // continuity 200 mA: R, R+, R- in ohms
        items = {{'R', 1, 1, decimal(rnd.below(2), rnd.below(10)) + (pass ? "" : "!")},
                 {'M', 2, 1, decimal(0, rnd.below(10))},
                 {'M', 3, 1, decimal(0, rnd.below(10))}};
        break;
    case 3: // insulation resistance: Riso in MOhm, test voltage
        items = {{'R', 4, 3, pass ? "> 999" : decimal(rnd.below(2), rnd.below(10)) + "!"},
                 {'M', 5, 5, std::to_string(500 + rnd.below(30))}};
        break;
    case 5: // loop impedance: Z in ohms, prospective fault current in A
        items = {{'R', 6, 1, decimal(rnd.below(3), rnd.below(10))},
                 {'R', 8, 8, std::to_string(80 + rnd.below(900))}};
        break;
    case 8: // RCD trip time: t in ms, contact voltage
        items = {{'R', 12, 10, decimal(10 + rnd.below(200), rnd.below(10))},
                 {'M', 10, 5, decimal(rnd.below(20), rnd.below(10))}};
        break;
    case 11: // earth resistance in ohms
        items = {{'R', 19, 1, decimal(rnd.below(100), rnd.below(10))}};
        break;
    default: // 14, voltage and frequency
        items = {{'R', 23, 5, std::to_string(225 + rnd.below(15))},
                 {'R', 26, 12, decimal(49 + rnd.below(2), rnd.below(10))}};
        break;
    }
    items.push_back({'T', 0, 0, pass ? "PASS" : "FAIL"});
    if (rnd.below(8) == 0)
        items.push_back({'D', 0, 0, "Socket " + std::to_string(1 + rnd.below(9))});
    return items;
}

} // namespace

std::vector<std::string> generatedRecords(int count) {
    static constexpr std::array<uint8_t, 6> functions = {1, 3, 5, 8, 11, 14};
    Lcg rnd;
    std::vector<std::string> records;
    records.reserve(static_cast<size_t>(count > 0 ? count : 0));
    uint16_t block = 1;
    uint16_t element = 0;
    int elementsInBlock = 4 + rnd.below(8);
    while (static_cast<int>(records.size()) < count) {
        ++element;
        if (element > elementsInBlock) {
            ++block;
            element = 1;
            elementsInBlock = 4 + rnd.below(8);
        }
        const int results = 1 + rnd.below(3);
        for (int i = 0; i < results && static_cast<int>(records.size()) < count; ++i) {
            const uint8_t f = functions[static_cast<size_t>(rnd.below(6))];
            records.push_back(recordPayload(block, element, f, itemsFor(f, rnd)));
        }
    }
    return records;
}

InstrumentSimulator::InstrumentSimulator(SimulatorData data, SimulatorFaults faults)
    : data_(std::move(data)), faults_(faults) {
    for (const auto& r : data_.records)
        if (r.size() > 255)
            throw std::invalid_argument("a record payload holds at most 255 bytes");
}

InstrumentSimulator::Reply InstrumentSimulator::receive(std::string_view bytes) {
    Reply reply;
    if (hungUp_)
        return reply;
    pending_ += bytes;
    static constexpr std::array<std::string_view, 6> commands = {"MRD", "MEX", "MWH",
                                                                 "MNU", "MSS", "MRE"};
    while (!pending_.empty() && !reply.hangup) {
        if (pending_[0] == '\0') { // the zero byte after MRD and MEX
            pending_.erase(0, 1);
            continue;
        }
        bool prefix = false;
        bool handled = false;
        for (auto c : commands) {
            const size_t n = std::min(pending_.size(), c.size());
            if (std::string_view(pending_).substr(0, n) != c.substr(0, n))
                continue;
            if (n < c.size()) {
                prefix = true;
                continue;
            }
            pending_.erase(0, c.size());
            handle(c, reply);
            handled = true;
            break;
        }
        if (handled)
            continue;
        if (prefix)
            break;            // wait for the rest of the command
        pending_.erase(0, 1); // line noise
    }
    return reply;
}

void InstrumentSimulator::handle(std::string_view command, Reply& reply) {
    log_.emplace_back(command);
    if (command == "MRD") {
        if (faults_.noAnswer)
            return;
        transferMode_ = !faults_.refuse;
        next_ = 0;
        sent_ = 0;
        reply.bytes += frames::ackFrame(faults_.refuse ? 1 : 0);
        return;
    }
    if (command == "MEX") {
        reply.bytes += frames::ackFrame(0);
        reply.transferEnded = transferMode_;
        transferMode_ = false;
        return;
    }
    if (!transferMode_)
        return; // an instrument outside transfer mode ignores the other commands
    if (command == "MWH") {
        if (faults_.hangupOnIdentify) {
            hungUp_ = true;
            reply.hangup = true;
            return;
        }
        std::string frame = frames::identificationFrame(data_.identification);
        if (faults_.badIdentification)
            frame[0] = 'X';
        reply.bytes += frame;
    } else if (command == "MNU") {
        const int n =
            faults_.countOverride ? *faults_.countOverride : static_cast<int>(data_.records.size());
        reply.bytes += frames::countFrame(static_cast<uint16_t>(n));
    } else if (command == "MSS") {
        next_ = 0;
        sent_ = 0;
        reply.bytes += frames::ackFrame(0);
    } else if (command == "MRE") {
        if (faults_.hangupAfter && sent_ >= *faults_.hangupAfter) {
            hungUp_ = true;
            reply.hangup = true;
            return;
        }
        if (faults_.stopAfter && sent_ >= *faults_.stopAfter)
            return;
        if (next_ >= data_.records.size()) {
            reply.bytes += frames::recordFrame({});
            return;
        }
        std::string frame = frames::recordFrame(data_.records[next_++]);
        ++sent_;
        if (faults_.corruptRecord && sent_ == *faults_.corruptRecord)
            frame[0] = 'X';
        reply.bytes += frame;
    }
}

} // namespace zarn
