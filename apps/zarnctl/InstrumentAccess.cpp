#include "InstrumentAccess.h"

#include "core/app/IniFile.h"
#include "core/comm/PortNames.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace zarnctl {

namespace {

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) {
    interrupted = true;
}

std::string oneLine(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

} // namespace

InstrumentInteraction::InstrumentInteraction(std::ostream& err, int retries)
    : TerminalInteraction(err), err_(err), retriesLeft_(retries), tty_(::isatty(2) == 1) {
    interrupted = false;
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
    const bool retryDialog = buttons.has(zarn::DialogButton::Yes) &&
                             buttons.has(zarn::DialogButton::No) &&
                             !buttons.has(zarn::DialogButton::Cancel);
    const int answer = TerminalInteraction::messageDlg(message, type, buttons, helpContext);
    if (!retryDialog)
        return answer;
    if (retriesLeft_ > 0 && !interrupted) {
        --retriesLeft_;
        err_ << "zarnctl: trying again\n";
        return zarn::modal::No;
    }
    return zarn::modal::Yes;
}

void InstrumentInteraction::progressShow(std::string_view caption) {
    shown_ = true;
    percent_ = -1;
    if (!tty_ && !caption.empty())
        err_ << oneLine(caption) << '\n';
}

void InstrumentInteraction::progressLabels(std::string_view, std::string_view label2) {
    if (label2 == label_)
        return;
    label_ = oneLine(label2);
    if (tty_) {
        drawBar();
    } else if (!label_.empty()) {
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
    else if (percent / 25 != before / 25 || before < 0)
        err_ << percent << "%\n";
}

void InstrumentInteraction::progressHide() {
    endBarLine();
    shown_ = false;
}

bool InstrumentInteraction::cancelRequested() const {
    return interrupted;
}

void InstrumentInteraction::clearCancel() {
    // A Ctrl-C before the command began still counts: the user wants out.
}

void InstrumentInteraction::drawBar() {
    if (!shown_)
        return;
    const int p = std::max(0, percent_);
    const int width = 30;
    const int filled = p * width / 100;
    err_ << "\r[" << std::string(static_cast<size_t>(filled), '#')
         << std::string(static_cast<size_t>(width - filled), ' ') << "] " << p << "%  " << label_
         << "\x1b[K" << std::flush;
    barDrawn_ = true;
}

void InstrumentInteraction::endBarLine() {
    if (barDrawn_)
        err_ << '\n';
    barDrawn_ = false;
}

void configurePort(zarn::TVaComm& port, const ParsedArgs& args,
                   const zarn::PrivateProfile& settings) {
    const auto name = args.value("--port");
    if (!name || name->empty())
        throw UsageError("--port COMn|PATH is needed");
    zarn::ComSelection selection = zarn::readComSetup(settings);
    if (const int n = zarn::ComPortMap::comNumber(*name); n > 0) {
        port.setPortMap(zarn::ComPortMap::load(settings));
        selection.portIndex = n - 1;
        zarn::applyPortSettings(port, selection);
    } else {
        zarn::applyPortSettings(port, selection);
        port.setDeviceName(*name);
    }
    if (const auto baud = args.value("--baud")) {
        int speed = 0;
        try {
            speed = std::stoi(*baud);
        } catch (const std::exception&) {
        }
        if (speed <= 0)
            throw UsageError("--baud needs a line speed, e.g. 9600");
        bool listed = false;
        for (int i = 0; i < static_cast<int>(zarn::ComBaudItems.size()); ++i)
            if (zarn::ComBaudItems[static_cast<size_t>(i)] == speed) {
                port.setBaudrate(zarn::baudrateOfItem(i));
                listed = true;
            }
        if (!listed) {
            port.setUserBaudrate(speed);
            port.setBaudrate(zarn::TVaBaudrate::brUser);
        }
    }
}

zarn::PortAccess accessOf(zarn::TVaComm& port) {
    return {port, [&port] { port.open(); }, [&port] { port.close(); }};
}

} // namespace zarnctl
