// zarnctl receive: Receive Results from an instrument into a structure file.
#include "DocumentLoader.h"
#include "InstrumentAccess.h"
#include "core/instrument/ResultsReception.h"

namespace zarnctl {

namespace {

int runReceive(Context& ctx) {
    const auto args = parseArgs(ctx.args, {}, {"--port", "--baud", "--retries", "-o"});
    const auto output = args.value("-o");
    if (!output || output->empty())
        throw UsageError("-o FILE is needed");
    if (!args.positional.empty())
        throw UsageError("unexpected argument " + args.positional.front());
    const int retries = retriesOption(args);
    zarn::TVaComm port;
    InstrumentInteraction ui(ctx.err, retries);
    Context quiet{ctx.paths, ctx.args, ctx.out, ctx.err, ui};
    LoadedDocument loaded(quiet);
    auto& ws = loaded.workspace();
    preparePort(loaded.session(), port, args, ctx.err);

    zarn::ResultsReception host(ws, ui);
    const auto out = zarn::receiveResults(port, ui, host);
    const int status = receptionStatus(out, ui.interrupted());
    using Status = zarn::ReceiveOutcome::Status;
    switch (out.status) {
    case Status::PortNotOpened:
    case Status::Declined:
        return status;
    case Status::NotEntered:
        if (status != InterruptedStatus)
            ctx.err << "zarnctl receive: the instrument did not enter transfer mode\n";
        return status;
    default:
        break;
    }
    if (!loaded.document().writeTo(*output))
        throw CommandError("cannot write " + *output);
    ctx.err << "zarnctl receive: " << out.received << " of " << out.count << " records in "
            << *output << '\n';
    if (status == InterruptedStatus)
        ctx.err << "zarnctl receive: interrupted; the records that came are kept\n";
    else if (status == 5)
        ctx.err << "zarnctl receive: the device went away; the records that came are kept\n";
    return status;
}

const RegisterCommand reg{
    {"receive", "--port COMn|PATH [--baud N] [--retries N] -o FILE",
     "Receives the results stored in the instrument into a structure file.\n"
     "  --port      COM1..COM16 (see the PORTS section of ZARN.INI) or a device path\n"
     "  --baud      line speed (default: the COM choice of ZARN.INI, else 9600)\n"
     "  --retries   answer the instrument-not-answering question N times with \"try again\"\n"
     "Exit status: 0 all records arrived, 3 records missing (the file holds what came),\n"
     "4 transfer mode not entered, 5 the device went away (the file holds what came),\n"
     "130 interrupted by Ctrl-C (the file holds what came), 2 wrong arguments,\n"
     "1 other failures. Ctrl-C cancels and still leaves the instrument's transfer mode.",
     runReceive}};

} // namespace

} // namespace zarnctl
