#include "InstrumentAccess.h"

#include "core/base/IniFile.h"

#include <atomic>
#include <csignal>
#include <optional>
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

InstrumentInteraction::InstrumentInteraction(std::ostream& err, int retries)
    : TerminalInteraction(err), err_(err), retriesLeft_(retries), tty_(::isatty(2) == 1) {
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
    const bool retryDialog = buttons.has(zarn::DialogButton::Yes) &&
                             buttons.has(zarn::DialogButton::No) &&
                             !buttons.has(zarn::DialogButton::Cancel);
    const int answer = TerminalInteraction::messageDlg(message, type, buttons, helpContext);
    if (!retryDialog)
        return answer;
    if (retriesLeft_ > 0 && !cancelRequested()) {
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
         << std::string(static_cast<size_t>(width - filled), ' ') << "] " << p << "%  " << label_
         << "\x1b[K" << std::flush;
    barDrawn_ = true;
}

void InstrumentInteraction::endBarLine() {
    if (barDrawn_)
        err_ << '\n';
    barDrawn_ = false;
}

zarn::ComPortMap loadPortMap(const zarn::PrivateProfile& settings, std::ostream& err) {
    for (const auto& key : zarn::ComPortMap::ignoredOverrideKeys(settings))
        err << "zarnctl: warning: " << key << " in section PORTS of " << settings.path()
            << " is ignored: the ports are COM1 to COM16\n";
    return zarn::ComPortMap::load(settings);
}

void configurePort(zarn::TVaComm& port, const ParsedArgs& args,
                   const zarn::PrivateProfile& settings, std::ostream& err) {
    const auto name = args.value("--port");
    if (!name || name->empty())
        throw UsageError("--port COMn|PATH is needed");
    std::optional<int> speed;
    if (const auto baud = args.value("--baud"))
        speed = numberOption("--baud", *baud, 1, MaxLineSpeed);
    zarn::ComSelection selection = zarn::readComSetup(settings);
    if (zarn::ComPortMap::isComName(*name)) {
        const int n = zarn::ComPortMap::comNumber(*name);
        if (n < 1 || n > zarn::ComPortItemCount)
            throw UsageError("--port " + *name + ": the ports are COM1 to COM16");
        port.setPortMap(loadPortMap(settings, err));
        selection.portIndex = n - 1;
        zarn::applyPortSettings(port, selection);
    } else {
        zarn::applyPortSettings(port, selection);
        port.setDeviceName(*name);
    }
    if (speed) {
        bool listed = false;
        for (int i = 0; i < static_cast<int>(zarn::ComBaudItems.size()); ++i)
            if (zarn::ComBaudItems[static_cast<size_t>(i)] == *speed) {
                port.setBaudrate(zarn::baudrateOfItem(i));
                listed = true;
            }
        if (!listed) {
            port.setUserBaudrate(*speed);
            port.setBaudrate(zarn::TVaBaudrate::brUser);
        }
    }
}

int retriesOption(const ParsedArgs& args) {
    const auto r = args.value("--retries");
    return r ? numberOption("--retries", *r, 0, MaxRetries) : 0;
}

} // namespace zarnctl
