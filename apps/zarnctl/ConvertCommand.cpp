// zarnctl convert FILE -o OUT: reads a structure file and writes it again as version 11.
#include "Command.h"
#include "DocumentLoader.h"

namespace zarnctl {
namespace {

int runConvert(Context& ctx) {
    const auto args = parseArgs(ctx.args, {}, {"-o", "--output"});
    if (args.positional.size() != 1)
        throw UsageError("expected one FILE");
    const auto out = args.value("-o") ? args.value("-o") : args.value("--output");
    if (!out || out->empty())
        throw UsageError("the output file is missing (-o OUT)");
    LoadedDocument doc(ctx);
    const auto result = doc.read(args.positional[0]);
    // Writing what was not read would replace the content with an empty structure.
    if (!result.version)
        throw CommandError(args.positional[0] + " is not a structure file");
    if (!result.productFamily())
        throw CommandError(args.positional[0] + " holds results of data family " +
                           std::to_string(result.family) + ", which this program does not read");
    if (!result.trusted)
        ctx.err << "zarnctl convert: warning: the results do not match the instrument's "
                   "checksum and were emptied\n";
    if (result.protocolError)
        ctx.err << "zarnctl convert: warning: the protocol pages after the damaged one were "
                   "not read\n";
    if (!doc.document().writeTo(*out))
        throw CommandError("cannot write " + *out);
    return 0;
}

const RegisterCommand reg{{"convert", "FILE -o OUT",
                           "Reads a structure file with every rule of the reader and writes it "
                           "again (version 11).\nA version 10 file becomes version 11; a file "
                           "this program wrote comes out byte for byte.",
                           runConvert}};

} // namespace
} // namespace zarnctl
