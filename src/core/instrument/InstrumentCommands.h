// The two instrument commands: Receive Results and Receive Data (instrument-data window).
//
// They run the dialogue on the caller's thread behind UserInteraction, so the desktop, the
// command line and the tests share them. Failures are shown as the program's numbered
// messages and the command goes on with its next step, as users of the program know it.
#pragma once

#include "core/comm/Identification.h"
#include "core/comm/InstrumentDialogue.h"
#include "core/comm/RecordDecoder.h"

#include <functional>
#include <optional>
#include <string>

namespace zarn {

class ResultsReception;
class SerialPort;
class TLStr;
class UserInteraction;

inline constexpr int InstrumentFamilyCode = 16;

struct ReceiveOutcome {
    enum class Status {
        Received,       // every counted record arrived (or none was asked for)
        RecordsMissing, // the missing-records message was shown
        NotEntered,     // transfer mode not entered: the retry dialog gave up
        PortNotOpened,  // "11: COMM ERROR"
        Declined,       // the user kept the unsaved data
        DeviceLost,     // the device vanished during the command
        Failed,         // another numbered error
    };
    Status status = Status::Failed;
    int count = 0;    // records the instrument reported
    int received = 0; // records that became rows
    bool familyMatches = false;
    std::string error; // text of the first error shown
};

// The port is opened at the start and closed at the end, also after errors.
ReceiveOutcome receiveResults(SerialPort& port, UserInteraction& ui, ResultsReception& host,
                              const DialogueTimeouts& timeouts = {});

struct InstrumentDataOutcome {
    bool portOpened = false;
    bool entered = false;
    bool identified = false; // a whole identification frame arrived
    // After entering transfer mode: what the window shows (the fixed texts even when the
    // identification failed).
    std::optional<InstrumentDataText> data;
    std::string error;
};

InstrumentDataOutcome receiveInstrumentData(SerialPort& port, UserInteraction& ui,
                                            const TLStr& texts,
                                            const DialogueTimeouts& timeouts = {});

// The gauge during reception: received × 100 / count, rounded; 100 when the count is below 1.
int receptionGauge(int received, int count);

} // namespace zarn
