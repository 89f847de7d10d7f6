#include "core/comm/InstrumentDialogue.h"

#include "core/base/TextRoutines.h"
#include "core/base/UserInteraction.h"
#include "core/comm/SerialPort.h"
#include "core/lang/LStr.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace zarn {

namespace {

using Clock = std::chrono::steady_clock;

int64_t msSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

} // namespace

InstrumentDialogue::InstrumentDialogue(SerialPort& port, UserInteraction& ui, const TLStr& texts,
                                       DialogueTimeouts timeouts)
    : port_(port), ui_(ui), texts_(texts), timeouts_(timeouts),
      recordTimeout_(timeouts.recordUnit) {}

void InstrumentDialogue::drainOutput() {
    // The driver sends within milliseconds; a port that never does is stuck, and waiting
    // for it forever would hang the program.
    const auto start = Clock::now();
    while (port_.outputPending() > 0) {
        if (msSince(start) > timeouts_.outputDrain)
            throw EVaCommError("Output buffer is full. Please check comm status.");
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void InstrumentDialogue::send(std::string_view bytes) {
    drainOutput();
    port_.writeBytes(reinterpret_cast<const uint8_t*>(bytes.data()),
                     static_cast<int>(bytes.size()));
}

InstrumentDialogue::Received InstrumentDialogue::receive(int n, int idleMs) {
    Received r;
    if (n <= 0) {
        r.complete = true;
        return r;
    }
    r.bytes.reserve(static_cast<size_t>(n));
    auto lastArrival = Clock::now();
    while (true) {
        ui_.processEvents();
        // Bytes are taken as they come (never more than asked), so that the next wait sleeps
        // until new bytes arrive instead of waking at once for the ones already queued. A read
        // takes only what is queued, so it needs no look at the input count first. A vanished
        // device is reported by the count once nothing of it is left to read.
        const size_t had = r.bytes.size();
        const int want = n - static_cast<int>(had);
        r.bytes.resize(had + static_cast<size_t>(want));
        const int got = port_.readBytes(reinterpret_cast<uint8_t*>(r.bytes.data() + had), want);
        r.bytes.resize(had + static_cast<size_t>(std::clamp(got, 0, want)));
        if (got > 0)
            lastArrival = Clock::now();
        else if (port_.deviceLost())
            port_.inputCount();
        if (static_cast<int>(r.bytes.size()) >= n) {
            r.complete = true;
            return r;
        }
        const int64_t idle = msSince(lastArrival);
        if (idle > idleMs || ui_.cancelRequested())
            return r;
        const int64_t left = idleMs - idle + 1;
        port_.waitForInput(static_cast<int>(std::clamp<int64_t>(left, 1, timeouts_.slice)));
    }
}

int InstrumentDialogue::awaitAck(int idleMs) {
    return frames::ackResult(receive(frames::AckSize, idleMs).bytes);
}

void InstrumentDialogue::pause(int ms) {
    const auto start = Clock::now();
    while (true) {
        ui_.processEvents();
        const int64_t left = ms - msSince(start);
        if (left <= 0)
            return;
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::min<int64_t>(left, timeouts_.slice)));
    }
}

void InstrumentDialogue::discardQueued(int maxBytes, int idleMs) {
    const int queued = port_.inputCount();
    if (queued > 0)
        receive(std::min(queued, maxBytes), idleMs);
}

int InstrumentDialogue::leaveTransferMode() {
    send(frames::LeaveTransferMode);
    // After Cancel the acknowledgement is not awaited and the port closes at once; the
    // instrument must still get the command rather than stay in transfer mode.
    drainOutput();
    return awaitAck(timeouts_.ack);
}

int InstrumentDialogue::enterTransferMode() {
    discardQueued(1900, timeouts_.staleInput);
    while (true) {
        send(frames::EnterTransferMode);
        if (awaitAck(timeouts_.enterAck) == 0)
            return TransferModeEntered;
        if (ui_.cancelRequested())
            return TransferModeGivenUp;
        const std::string question =
            texts_.text("CommError_40") + text::CR + texts_.text("TerminateComm_40");
        const bool giveUp = !ui_.askRetryTransfer(question);
        if (giveUp)
            leaveTransferMode();
        pause(timeouts_.retryPause);
        while (port_.inputCount() > 0 && !ui_.cancelRequested()) {
            discardQueued(1900, timeouts_.staleInput);
            pause(timeouts_.retryPause);
        }
        if (giveUp)
            return TransferModeGivenUp;
    }
}

InstrumentDialogue::IdentifyResult InstrumentDialogue::identify() {
    IdentifyResult result;
    pause(timeouts_.identifyPause);
    discardQueued(390, timeouts_.identifyStale);
    send(frames::Identify);
    const auto header = receive(frames::IdentificationHeaderSize, timeouts_.identification);
    const auto length = header.complete ? frames::identificationLength(header.bytes) : std::nullopt;
    if (length) {
        // The whole payload is taken from the line, so that nothing of it is left for the
        // next command, but only the buffer's worth is decoded.
        auto payload = receive(*length, timeouts_.identification);
        result.ok = payload.complete;
        if (payload.bytes.size() > static_cast<size_t>(frames::IdentificationBufferSize))
            payload.bytes.resize(frames::IdentificationBufferSize);
        result.id = decodeIdentification(payload.bytes);
    }
    applyFixedTexts(result.id);
    return result;
}

int InstrumentDialogue::countRecords() {
    send(frames::CountRecords);
    const auto r = receive(frames::CountSize, timeouts_.count);
    return r.complete ? frames::countFromFrame(r.bytes) : 0;
}

InstrumentDialogue::RecordResult InstrumentDialogue::readRecord() {
    RecordResult rec;
    send(frames::NextRecord);
    const auto header = receive(frames::RecordHeaderSize, recordTimeout_);
    const auto length = header.complete ? frames::recordLength(header.bytes) : std::nullopt;
    if (!length)
        return rec;
    if (*length == 0) {
        rec.result = NoMoreRecords;
        return rec;
    }
    auto payload = receive(*length, timeouts_.recordPayload);
    if (payload.complete) {
        rec.result = RecordRead;
        rec.payload = std::move(payload.bytes);
    }
    return rec;
}

} // namespace zarn
