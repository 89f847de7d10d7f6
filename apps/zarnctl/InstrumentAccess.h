// What the instrument commands of zarnctl share: the port named on the command line, and the
// user as a terminal (progress bar on a terminal, plain lines otherwise, Ctrl-C cancels).
#pragma once

#include "Command.h"
#include "TerminalInteraction.h"
#include "core/comm/ComConfiguration.h"
#include "core/comm/InstrumentCommands.h"
#include "core/comm/VaComm.h"

#include <string>

namespace zarn {
class PrivateProfile;
}

namespace zarnctl {

// Progress on standard error and the retry dialog answered "No" a given number of times,
// then "Yes". The first Ctrl-C sets the cancel flag, so the instrument is left properly.
class InstrumentInteraction : public TerminalInteraction {
public:
    InstrumentInteraction(std::ostream& err, int retries);
    ~InstrumentInteraction() override;

    int messageDlg(std::string_view message, zarn::DialogType type, zarn::ButtonSet buttons,
                   int helpContext = 0) override;
    void progressShow(std::string_view caption) override;
    void progressLabels(std::string_view label1, std::string_view label2) override;
    void progressPosition(int percent) override;
    void progressHide() override;
    bool cancelRequested() const override;
    void clearCancel() override;

private:
    void endBarLine();
    void drawBar();

    std::ostream& err_;
    int retriesLeft_;
    bool tty_;
    bool shown_ = false;
    bool barDrawn_ = false;
    std::string label_;
    int percent_ = -1;
};

// Port from --port (COMn through the port map of ZARN.INI, or a device path) and the speed
// from --baud (else the SETUP choice of ZARN.INI).
void configurePort(zarn::TVaComm& port, const ParsedArgs& args,
                   const zarn::PrivateProfile& settings);

zarn::PortAccess accessOf(zarn::TVaComm& port);

} // namespace zarnctl
