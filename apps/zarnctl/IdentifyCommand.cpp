// zarnctl identify: Receive Data, and the instrument's data as the window shows it.
#include "DocumentLoader.h"
#include "InstrumentAccess.h"
#include "core/lang/TextEncoding.h"

namespace zarnctl {

namespace {

int runIdentify(Context& ctx) {
    const auto args = parseArgs(ctx.args, {}, {"--port", "--baud", "--retries"});
    if (!args.positional.empty())
        throw UsageError("unexpected argument " + args.positional.front());
    InstrumentInteraction ui(ctx.err, retriesOption(args));
    Context quiet{ctx.paths, ctx.args, ctx.out, ctx.err, ui};
    LoadedDocument loaded(quiet);
    auto& ws = loaded.workspace();
    zarn::TVaComm port;
    preparePort(loaded.session(), port, args, ctx.err);

    const auto out = zarn::receiveInstrumentData(port, ui, ws.texts());
    if (!out.portOpened) {
        ctx.err << "zarnctl identify: " << out.error << '\n';
        return 1;
    }
    if (ui.interrupted())
        return InterruptedStatus;
    if (!out.entered || !out.data) {
        ctx.err << "zarnctl identify: the instrument did not enter transfer mode\n";
        return 4;
    }
    const auto& d = *out.data;
    auto show = [&](std::string_view s) { return loaded.display(s); };
    ctx.out << "Instrument:\n";
    for (const auto& line : d.instrumentLines)
        ctx.out << "  " << show(line) << '\n';
    ctx.out << "Serial Number: " << show(d.serialNumber) << '\n' << "Firm Data:\n";
    for (const auto& line : d.firmLines)
        ctx.out << "  " << show(line) << '\n';
    ctx.out << "User Data:\n";
    for (const auto& line : d.userLines)
        ctx.out << "  " << show(line) << '\n';
    if (!out.identified) {
        ctx.err << "zarnctl identify: the instrument's identification did not arrive whole\n";
        return 1;
    }
    return 0;
}

const RegisterCommand reg{{"identify", "--port COMn|PATH [--baud N] [--retries N]",
                           "Asks the instrument for its data (Receive Data) and prints it.\n"
                           "Exit status: 0 identified, 4 transfer mode not entered, 130\n"
                           "interrupted by Ctrl-C, 2 wrong arguments, 1 other failures (a\n"
                           "failed identification prints the fixed texts all the same).",
                           runIdentify}};

} // namespace

} // namespace zarnctl
