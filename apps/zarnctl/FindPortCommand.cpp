// zarnctl find-port: Auto Find over COM1..COM16 and the six speeds.
#include "DocumentLoader.h"
#include "InstrumentAccess.h"
#include "core/comm/PortNames.h"

namespace zarnctl {

namespace {

int runFindPort(Context& ctx) {
    const auto args = parseArgs(ctx.args, {}, {});
    if (!args.positional.empty())
        throw UsageError("unexpected argument " + args.positional.front());
    InstrumentInteraction ui(ctx.err, 0);
    Context quiet{ctx.paths, ctx.args, ctx.out, ctx.err, ui};
    LoadedDocument loaded(quiet);
    auto& ws = loaded.workspace();
    const auto map = loadPortMap(loaded.session(), ctx.err);
    zarn::TVaComm port;
    port.setPortMap(map);
    zarn::AutoFindOptions options;
    options.notFoundText = ws.texts().text("CommError_40");
    const auto current = loaded.session().portChoice();
    const auto r = zarn::autoFind(port, current, zarn::instrumentProbe(), ui, options);
    if (ui.interrupted())
        return InterruptedStatus;
    if (!r.found)
        return 1;
    const std::string& path = map.pathOf(r.selection.portIndex + 1);
    ctx.out << zarn::comPortItem(r.selection.portIndex) << ' '
            << zarn::comBaudItem(r.selection.baudIndex) << (path.empty() ? "" : " " + path) << '\n';
    return 0;
}

const RegisterCommand reg{{"find-port", "",
                           "Searches COM1..COM16 at every speed for the instrument (Auto Find)\n"
                           "and prints the port, the speed and the device found.",
                           runFindPort}};

} // namespace

} // namespace zarnctl
