#include "InstrumentAccess.h"

#include "core/base/IniFile.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <unistd.h>

namespace zarnctl {

namespace {

std::atomic<int> interrupts{0};

extern "C" void onInterrupt(int) {
    interrupts.fetch_add(1);
}

std::string oneLine(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

} // namespace

InstrumentInteraction::InstrumentInteraction(std::ostream& err, int retries, PipedProgress piped)
    : TerminalInteraction(err), err_(err), retriesLeft_(retries), tty_(::isatty(2) == 1),
      pipedLines_(piped == PipedProgress::Lines) {
    interrupts = 0;
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
}

InstrumentInteraction::~InstrumentInteraction() {
    endBarLine();
    std::signal(SIGINT, SIG_DFL);
}

int InstrumentInteraction::messageDlg(std::string_view message, zarn::DialogType type,
                                      zarn::ButtonSet buttons, int helpContext) {
    endBarLine();
    return TerminalInteraction::messageDlg(message, type, buttons, helpContext);
}

bool InstrumentInteraction::askRetryTransfer(std::string_view question) {
    // The question is shown as a message; the answer is the one --retries gave.
    messageDlg(question, zarn::DialogType::Error, {zarn::DialogButton::Ok});
    if (retriesLeft_ > 0 && !cancelRequested()) {
        --retriesLeft_;
        err_ << "zarnctl: trying again\n";
        return true;
    }
    return false;
}

void InstrumentInteraction::progressShow(std::string_view caption) {
    shown_ = true;
    percent_ = -1;
    done_ = -1;
    if (!tty_ && pipedLines_ && !caption.empty())
        err_ << oneLine(caption) << '\n';
}

void InstrumentInteraction::progressLabels(std::string_view, std::string_view label2) {
    if (label2 == label_)
        return;
    label_ = oneLine(label2);
    done_ = -1; // a new step counts anew
    if (tty_) {
        drawBar();
    } else if (pipedLines_ && !label_.empty()) {
        err_ << label_ << '\n';
    }
}

void InstrumentInteraction::progressPosition(int percent) {
    if (percent == percent_)
        return;
    const int before = percent_;
    percent_ = percent;
    if (tty_)
        drawBar();
    else if (pipedLines_ && (percent / 25 != before / 25 || before < 0))
        err_ << percent << "%\n";
}

void InstrumentInteraction::progressCount(int done, int total) {
    if (done == done_ && total == total_)
        return;
    done_ = done;
    total_ = total;
    // The figures change with every record; a few redraws a second are enough to read them.
    const auto now = std::chrono::steady_clock::now();
    if (tty_ && (done == total || now - drawnAt_ >= std::chrono::milliseconds(100)))
        drawBar();
}

void InstrumentInteraction::progressHide() {
    endBarLine();
    shown_ = false;
}

bool InstrumentInteraction::cancelRequested() const {
    return interrupts.load() > clearedAt_;
}

void InstrumentInteraction::clearCancel() {
    // A Ctrl-C before the command began still counts: the user wants out. Later clears (the
    // tree rebuild after a cancelled reception) start afresh, so that the rows that came
    // all get their place in the tree.
    if (!commandBegun_) {
        commandBegun_ = true;
        return;
    }
    clearedAt_ = interrupts.load();
}

bool InstrumentInteraction::interrupted() const {
    return interrupts.load() > 0;
}

void InstrumentInteraction::drawBar() {
    if (!shown_)
        return;
    const int p = std::max(0, percent_);
    const int width = 30;
    const int filled = p * width / 100;
    err_ << "\r[" << std::string(static_cast<size_t>(filled), '#')
         << std::string(static_cast<size_t>(width - filled), ' ') << "] " << p << "%  ";
    if (done_ >= 0)
        err_ << done_ << '/' << total_ << "  ";
    err_ << label_ << "\x1b[K" << std::flush;
    drawnAt_ = std::chrono::steady_clock::now();
    barDrawn_ = true;
}

void InstrumentInteraction::endBarLine() {
    if (barDrawn_)
        err_ << '\n';
    barDrawn_ = false;
}

int receptionStatus(const zarn::ReceiveOutcome& outcome, bool interrupted) {
    using Status = zarn::ReceiveOutcome::Status;
    switch (outcome.status) {
    case Status::PortNotOpened:
    case Status::Declined:
        return 1;
    case Status::NotEntered:
        return interrupted ? InterruptedStatus : 4;
    case Status::DeviceLost:
        return 5;
    default:
        break;
    }
    if (interrupted)
        return InterruptedStatus;
    switch (outcome.status) {
    case Status::Received:
        return 0;
    case Status::RecordsMissing:
        return 3;
    default:
        return 1;
    }
}

namespace {

void warnIgnoredKeys(const std::vector<std::string>& keys, const zarn::PrivateProfile& settings,
                     std::ostream& err) {
    for (const auto& key : keys)
        err << "zarnctl: warning: " << key << " in section PORTS of " << settings.path()
            << " is ignored: the ports are COM1 to COM16\n";
}

} // namespace

zarn::ComPortMap loadPortMap(zarn::ProgramSession& session, std::ostream& err) {
    const auto& settings = session.workspace().settings();
    warnIgnoredKeys(zarn::ComPortMap::ignoredOverrideKeys(settings), settings, err);
    return session.portMap();
}

void preparePort(zarn::ProgramSession& session, zarn::TVaComm& port, const ParsedArgs& args,
                 std::ostream& err) {
    zarn::PortRequest request;
    request.port = args.value("--port");
    if (!request.port || request.port->empty())
        throw UsageError("--port COMn|PATH is needed");
    if (const auto baud = args.value("--baud"))
        request.speed = numberOption("--baud", *baud, 1, MaxLineSpeed);
    session.setPortRequest(request);
    try {
        const auto prepared = session.preparePort(port);
        warnIgnoredKeys(prepared.ignoredOverrideKeys, session.workspace().settings(), err);
    } catch (const zarn::PortRequestError& e) {
        throw UsageError(e.what());
    }
}

int retriesOption(const ParsedArgs& args) {
    const auto r = args.value("--retries");
    return r ? numberOption("--retries", *r, 0, MaxRetries) : 0;
}

} // namespace zarnctl
