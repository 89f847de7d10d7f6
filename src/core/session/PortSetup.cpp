#include "core/session/PortSetup.h"

#include "core/base/IniFile.h"
#include "core/comm/VaComm.h"

namespace zarn {

ComPortMap portMapFor(const PrivateProfile& settings, const PortSetup& setup) {
    ComPortMap map = ComPortMap::load(settings);
    for (const auto& [portNum, device] : setup.runDevices)
        map.set(portNum, device);
    return map;
}

namespace {

void applySpeed(TVaComm& port, int speed) {
    for (size_t i = 0; i < ComBaudItems.size(); ++i) {
        if (ComBaudItems[i] == speed) {
            port.setBaudrate(baudrateOfItem(static_cast<int>(i)));
            return;
        }
    }
    port.setUserBaudrate(speed);
    port.setBaudrate(TVaBaudrate::brUser);
}

} // namespace

PreparedPort preparePort(TVaComm& port, const PrivateProfile& settings, const PortSetup& setup) {
    PreparedPort prepared;
    if (port.isOpen())
        return prepared;
    ComSelection selection = setup.choice;
    const std::optional<std::string>& named = setup.request.port;
    const bool path = named && !ComPortMap::isComName(*named);
    if (named && !path) {
        const int n = ComPortMap::comNumber(*named);
        if (n < 1 || n > ComPortItemCount)
            throw PortRequestError("--port " + *named + ": the ports are COM1 to COM16");
        selection.portIndex = n - 1;
    }
    applyPortSettings(port, selection);
    if (path) {
        port.setDeviceName(*named);
    } else {
        port.setDeviceName("COM%d");
        prepared.ignoredOverrideKeys = ComPortMap::ignoredOverrideKeys(settings);
        port.setPortMap(portMapFor(settings, setup));
    }
    if (setup.request.speed)
        applySpeed(port, *setup.request.speed);
    return prepared;
}

} // namespace zarn
