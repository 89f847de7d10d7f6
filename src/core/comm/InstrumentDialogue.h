// The command dialogue with the instrument over a serial port.
//
// All waits are idle time-outs: they restart whenever a byte arrives. While waiting, pending
// events are processed and the cancel flag is checked, and the thread sleeps in the port
// (poll) in slices of at most 20 ms, so a wait costs no CPU.
#pragma once

#include "core/comm/Identification.h"
#include "core/comm/InstrumentFrames.h"

#include <string>
#include <string_view>

namespace zarn {

class SerialPort;
class TLStr;
class UserInteraction;

// Time-outs in milliseconds. Tests shorten the ones whose exact figure does not matter.
struct DialogueTimeouts {
    int enterAck = 3000;
    int ack = 1000; // leave transfer mode, start sending
    int probeAck = 2000;
    int identification = 1000; // header and payload each
    int count = 10000;
    int recordUnit = 1000; // record header: this × max(1, count / 250)
    int recordPayload = 1000;
    int staleInput = 100;     // discarding before enter transfer mode and after the retry
    int identifyPause = 100;  // before identify
    int identifyStale = 1000; // discarding before identify
    int retryPause = 60;      // after the retry dialog
    int outputDrain = 1000;   // waiting for the port to take earlier bytes
    int slice = 20;           // longest sleep between two checks
};

// Results of the primitives, as the program numbers them.
inline constexpr int TransferModeEntered = 0;
inline constexpr int TransferModeGivenUp = 6;
inline constexpr int RecordRead = 0;
inline constexpr int NoMoreRecords = 1;
inline constexpr int RecordFaulty = 3;

class InstrumentDialogue {
public:
    InstrumentDialogue(SerialPort& port, UserInteraction& ui, const TLStr& texts,
                       DialogueTimeouts timeouts = {});

    // Waits until the port has taken earlier bytes, then queues these.
    void send(std::string_view bytes);

    struct Received {
        bool complete = false; // all n bytes arrived
        std::string bytes;     // what was read (n bytes, or what had arrived)
    };
    // Waits for n bytes with an idle time-out; consumes no more than n.
    Received receive(int n, int idleMs);

    // Status byte of the acknowledgement, or frames::AckIncomplete / AckWrongHeader.
    int awaitAck(int idleMs);

    // MRD with the retry dialog: TransferModeEntered, or TransferModeGivenUp.
    int enterTransferMode();
    // MEX; the acknowledgement's result (callers ignore it).
    int leaveTransferMode();

    struct IdentifyResult {
        bool ok = false;   // a complete identification frame arrived
        Identification id; // fixed texts already applied
    };
    IdentifyResult identify();

    // Number of stored records, 0 when the answer was wrong.
    int countRecords();

    struct RecordResult {
        int result = RecordFaulty; // RecordRead, NoMoreRecords or RecordFaulty
        std::string payload;
    };
    RecordResult readRecord();

    // The record header time-out (normally recordUnit).
    void setRecordTimeout(int ms) { recordTimeout_ = ms; }
    int recordTimeout() const { return recordTimeout_; }

    // Sleeps ms while processing events.
    void pause(int ms);

    const DialogueTimeouts& timeouts() const { return timeouts_; }
    UserInteraction& ui() { return ui_; }
    SerialPort& port() { return port_; }
    const TLStr& texts() const { return texts_; }

private:
    // Waits (briefly) until the port has handed every queued byte to the line.
    void drainOutput();
    // Reads at most maxBytes of what is queued and drops them.
    void discardQueued(int maxBytes, int idleMs);

    SerialPort& port_;
    UserInteraction& ui_;
    const TLStr& texts_;
    DialogueTimeouts timeouts_;
    int recordTimeout_;
};

} // namespace zarn
