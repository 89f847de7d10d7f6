#include "ExportFile.h"

namespace zarnctl {

void exportStructureFile(LoadedDocument& doc, const std::string& file, zarn::ExportFormat format,
                         const std::string& out, std::ostream& err, std::string_view command) {
    const auto result = doc.readResults(file);
    if (!result.trusted)
        err << command
            << ": warning: the results do not match the instrument's "
               "checksum and were emptied\n";
    if (result.protocolError)
        err << command << ": warning: the protocol pages after the damaged one were not read\n";

    zarn::Workspace& ws = doc.workspace();
    zarn::StructureDocument& structure = doc.document();
    const zarn::ExportSource source{
        ws.tree(),  ws.results(), structure.heading(), structure.protocol(),
        ws.texts(), ws.namef(),   doc.codePage()};
    const zarn::WriteResult written = zarn::writeTextExport(source, format, out);
    if (!written.ok)
        throw CommandError("cannot write " + out + ": " + written.message);
}

} // namespace zarnctl
