// The text export of a structure file as File › Export writes it: what `zarnctl export` and
// `zarnctl demo` share.
#pragma once

#include "DocumentLoader.h"
#include "core/inspection/TextExport.h"

#include <ostream>
#include <string>
#include <string_view>

namespace zarnctl {

// Reads `file` into `doc` and writes its export to `out`. A file that is no structure file of
// this product, or an `out` that cannot be written, is a CommandError; what the reader could
// not take is a warning on `err`, prefixed with `command`.
void exportStructureFile(LoadedDocument& doc, const std::string& file, zarn::ExportFormat format,
                         const std::string& out, std::ostream& err, std::string_view command);

} // namespace zarnctl
