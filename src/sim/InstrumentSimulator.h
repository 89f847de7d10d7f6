// A simulated instrument of family 16: answers the PC's commands byte for byte as the real
// instrument does, with optional faults for tests and demonstrations.
//
// The class is pure logic (bytes in, bytes out); SimulatorLink puts it on a pseudo-terminal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

struct SimulatedItem {
    char letter = 'R';
    uint8_t quantity = 0; // R, M and P only
    uint8_t unit = 0;     // R, M and P only
    std::string text;
};

// Payload of one record: block and element ids, function code and items.
std::string recordPayload(uint16_t block, uint16_t element, uint8_t function,
                          const std::vector<SimulatedItem>& items);

// Payload of the identification: type code (low byte first) and zero-terminated strings.
std::string identificationPayload(uint16_t typeCode, const std::vector<std::string>& strings);

// N plausible records over several blocks, in id order, using measuring functions, quantities
// and units that the shipped language files name.
std::vector<std::string> generatedRecords(int count);

struct SimulatorFaults {
    bool noAnswer = false;            // never acknowledge MRD
    bool refuse = false;              // acknowledge MRD with a non-zero status
    std::optional<int> stopAfter;     // stop answering MRE after K records
    std::optional<int> corruptRecord; // record K (from 1) comes with a wrong header
    std::optional<int> countOverride; // count frame reports N whatever is stored
    std::optional<int> hangupAfter;   // the line goes dead after K records
    bool badIdentification = false;   // MWH is answered with a wrong header
    bool hangupOnIdentify = false;    // the line goes dead when MWH comes
};

struct SimulatorData {
    std::string identification;       // payload
    std::vector<std::string> records; // payloads, up to 255 bytes each
};

// The identification of a default family-16 instrument.
std::string defaultIdentificationPayload(uint16_t typeCode = 16);

class InstrumentSimulator {
public:
    explicit InstrumentSimulator(SimulatorData data, SimulatorFaults faults = {});

    struct Reply {
        std::string bytes;          // to send to the PC
        bool hangup = false;        // the line must go dead now (nothing more is sent)
        bool transferEnded = false; // a transfer was ended by MEX
    };

    // Takes bytes from the PC (in any pieces) and returns the answers they call for.
    Reply receive(std::string_view bytes);

    // Commands received so far ("MRD", "MWH", ...), in order.
    const std::vector<std::string>& commandLog() const { return log_; }
    bool inTransferMode() const { return transferMode_; }
    int recordsSent() const { return sent_; }

private:
    void handle(std::string_view command, Reply& reply);

    SimulatorData data_;
    SimulatorFaults faults_;
    std::string pending_;
    std::vector<std::string> log_;
    bool transferMode_ = false;
    bool hungUp_ = false;
    size_t next_ = 0; // index of the next record to send
    int sent_ = 0;    // records sent in this transfer
};

} // namespace zarn
