// What the instrument commands of zarnctl share: the port named on the command line, and the
// user as a terminal (progress bar on a terminal, plain lines otherwise, Ctrl-C cancels).
#pragma once

#include "Command.h"
#include "TerminalInteraction.h"
#include "core/comm/ComConfiguration.h"
#include "core/comm/PortNames.h"
#include "core/comm/VaComm.h"
#include "core/instrument/AutoFind.h"
#include "core/instrument/InstrumentCommands.h"
#include "core/session/ProgramSession.h"

#include <chrono>
#include <string>

namespace zarnctl {

// Progress on standard error, and the question whether to try transfer mode again answered
// "try again" a given number of times, then "stop". Ctrl-C sets the cancel flag, so the instrument
// is left properly; one that came before the command began still counts.
//
// On a terminal the progress is one line rewritten in place (a bar, the percentage, the
// records received of those counted, the step); elsewhere it is a line per step and quarter,
// or nothing at all.
class InstrumentInteraction : public TerminalInteraction {
public:
    enum class PipedProgress { Lines, None };
    InstrumentInteraction(std::ostream& err, int retries,
                          PipedProgress piped = PipedProgress::Lines);
    ~InstrumentInteraction() override;

    int messageDlg(std::string_view message, zarn::DialogType type, zarn::ButtonSet buttons,
                   int helpContext = 0) override;
    bool askRetryTransfer(std::string_view question) override;
    void progressShow(std::string_view caption) override;
    void progressLabels(std::string_view label1, std::string_view label2) override;
    void progressPosition(int percent) override;
    void progressHide() override;
    void progressCount(int done, int total) override;
    bool cancelRequested() const override;
    void clearCancel() override;

    // Whether Ctrl-C was pressed during the run (the exit status says so).
    bool interrupted() const;

private:
    void endBarLine();
    void drawBar();

    std::ostream& err_;
    int retriesLeft_;
    bool tty_;
    bool pipedLines_;
    bool shown_ = false;
    bool barDrawn_ = false;
    std::string label_;
    int percent_ = -1;
    int done_ = -1; // records received of `total_`; -1 when the step counts none
    int total_ = 0;
    std::chrono::steady_clock::time_point drawnAt_{};
    bool commandBegun_ = false;
    int clearedAt_ = 0; // Ctrl-C presses before the last clear
};

// The exit status of a run that Ctrl-C ended early.
inline constexpr int InterruptedStatus = 130;
// --retries: more answers of "try again" than anybody waits for.
inline constexpr int MaxRetries = 10000;
// --baud: the fastest line speed a Linux serial driver is asked for.
inline constexpr int MaxLineSpeed = 4000000;

// The exit status of a reception: 0 every record arrived, 3 records missing, 4 transfer mode
// not entered, 5 the device went away, 130 interrupted by Ctrl-C, 1 other failures.
int receptionStatus(const zarn::ReceiveOutcome& outcome, bool interrupted);

// The port of the session set up from --port (COM1..COM16 through the port map of ZARN.INI,
// or a device path) and --baud (else the SETUP choice of ZARN.INI). A COM name outside
// COM1..COM16 and a --baud that is no number are UsageErrors; PORTS keys that name no item
// are reported on `err` as ignored.
void preparePort(zarn::ProgramSession& session, zarn::TVaComm& port, const ParsedArgs& args,
                 std::ostream& err);

// The COM items of the machine and of ZARN.INI; PORTS keys that name no item are reported on
// `err` as ignored.
zarn::ComPortMap loadPortMap(zarn::ProgramSession& session, std::ostream& err);

// --retries N (0 when not given).
int retriesOption(const ParsedArgs& args);

} // namespace zarnctl
