#include "core/comm/ComConfiguration.h"

#include "core/app/Configuration.h"
#include "core/base/IniFile.h"
#include "core/base/TextRoutines.h"

namespace zarn {

namespace {

// A 1-based list position written by the dialog; 0 when the text is no such position.
// The text is a whole decimal number, as the program has always read it ("0", "-1", "17"
// and text are no position in a list of 16).
int listPosition(const std::string& value, int count) {
    const auto n = parseInteger(value);
    return n && *n >= 1 && *n <= count ? *n : 0;
}

} // namespace

std::string comPortItem(int portIndex) {
    return "COM" + std::to_string(portIndex + 1);
}

std::string comBaudItem(int baudIndex) {
    if (baudIndex < 0 || baudIndex >= static_cast<int>(ComBaudItems.size()))
        return {};
    return std::to_string(ComBaudItems[static_cast<size_t>(baudIndex)]);
}

TVaBaudrate baudrateOfItem(int baudIndex) {
    if (baudIndex < 0 || baudIndex >= static_cast<int>(ComBaudItems.size()))
        return TVaBaudrate::br9600;
    return baudrateOf(ComBaudItems[static_cast<size_t>(baudIndex)]);
}

ComSelection readComSetup(const PrivateProfile& settings, ComSelection start) {
    ComSelection s = start;
    if (int n = listPosition(settings.read("SETUP", "COM", "-1"), ComPortItemCount))
        s.portIndex = n - 1;
    if (int n = listPosition(settings.read("SETUP", "BAUD", "-1"),
                             static_cast<int>(ComBaudItems.size())))
        s.baudIndex = n - 1;
    return s;
}

void writeComSetup(const PrivateProfile& settings, ComSelection selection) {
    settings.write("SETUP", "COM", std::to_string(selection.portIndex + 1));
    settings.write("SETUP", "BAUD", std::to_string(selection.baudIndex + 1));
}

void applyPortSettings(SerialPort& port, ComSelection selection) {
    if (selection.portIndex >= 0 && selection.portIndex < ComPortItemCount)
        port.setPortNum(selection.portIndex + 1);
    LineSettings line = port.lineSettings();
    line.baudrate = baudrateOfItem(selection.baudIndex);
    line.userBaudrate = 0;
    line.parity = TVaParity::paNone;
    line.databits = TVaDatabits::db8;
    line.stopbits = TVaStopbits::sb2;
    port.setLineSettings(line);
}

} // namespace zarn
