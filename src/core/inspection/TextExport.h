// Export to text: the structure in use, its results and its protocol measurement tables as
// one delimited text file that a spreadsheet reads.
//
// Layout, with C the column delimiter (TAB or ";") and R the row delimiter (CR LF, CR or LF):
//   operator line k, C, C, test-site line k, R            for k = 1, 2, 3
//   footer lines 1..3, each followed by R; then R R
//   one line per tree node in display order, indented by one C per level below the roots,
//     each followed by R; then R R
//   the results view's column headings ("$" becomes ",", commas at both ends trimmed),
//     separated by C; R
//   one numbered line per result row with a measurement code:
//     number C element C function C R values C P values R
//   for every non-empty measurement table of the protocol, in page order:
//     R, object name C block name R R, heading row R, unit row R, every data row R
// Every text is written as UTF-8, as the screen shows it: stored bytes that are not UTF-8 are
// read in the code page of the language in use. No header, no byte-order mark.
//
// Example (TAB shown as "|", CR LF as "/"):
//   Tester||Site one/Street 5||Kranj/||/F1/F2/F3///
//   Block 1/|Place 1.1/|Place 1.2/Block 2///
//   No.|Place|Function|Results|Parameters/
//   1|Place 1.1|Insulation-resistance|Riso > 1999 MΩ|Um = 500 V/
#pragma once

#include "core/app/InstallationTree.h"
#include "core/app/ResultsTable.h"
#include "core/app/ResultsView.h"
#include "core/base/AtomicFile.h"
#include "core/base/UserInteraction.h"
#include "core/inspection/PrintoutHeading.h"
#include "core/inspection/Protocol.h"
#include "core/lang/LStr.h"
#include "core/lang/NamefTables.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

// Item indexes of the export dialog's radio groups.
enum class ColumnDelimiter : int { Tab = 0, Semicolon = 1 };
enum class RowDelimiter : int { CrLf = 0, Cr = 1, Lf = 2 };

struct ExportFormat {
    ColumnDelimiter column = ColumnDelimiter::Tab;
    RowDelimiter row = RowDelimiter::CrLf;
    friend bool operator==(const ExportFormat&, const ExportFormat&) = default;
};

std::string_view delimiterBytes(ColumnDelimiter d);
std::string_view delimiterBytes(RowDelimiter d);
// A radio-group index as a delimiter; nothing outside the group.
std::optional<ColumnDelimiter> columnDelimiterAt(int index);
std::optional<RowDelimiter> rowDelimiterAt(int index);

// What the export reads. Everything must outlive the export.
struct ExportSource {
    const InstallationTree& tree;
    const ResultsTable& results;
    const PrintoutHeading& heading;
    const TProtocol& protocol;
    const TLStr& texts;
    const NamefTables& namef;
    // The code page of the language in use, for texts stored in it (codePageForLcid).
    int codePage;
    // Roles of the results view's columns, left to right.
    std::vector<int> columnRoles = defaultColumnRoles();
};

// The bar's position while the text is built: after tree node i of n at 100 * i / (n - 1)
// (100 for a tree of one node), after result row j of m at 100 * j / m. Returning false stops
// the export.
using ExportProgress = std::function<bool(int percent)>;

// The bytes of the export; nothing when `progress` stopped it.
std::optional<std::string> buildTextExport(const ExportSource& source, ExportFormat format,
                                           const ExportProgress& progress = {});

// The name the save dialog proposes for a structure file: its own name up to the first ".",
// with ".TXT". Nothing is proposed for a structure without a file name.
std::string proposedExportName(std::string_view structureFile);
// A chosen name whose own name has no "." gets ".TXT"; any other name is used as it is.
std::string withExportExtension(std::string name);

enum class ExportOutcome { Written, Cancelled, Failed };

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::Cancelled;
    std::string path;  // the file chosen (empty when none was)
    std::string error; // the system's reason when the file could not be written
};

// File › Export once the delimiters are chosen: the save dialog (replacing a file is asked
// Yes/No/Cancel, a file that cannot be looked at shows "Error_30" and the dialog comes back),
// then the text is built under the progress dialog and written so that a failure or Cancel
// leaves any earlier file of that name as it was. A failed write is shown.
ExportResult exportToTextFile(const ExportSource& source, ExportFormat format,
                              const std::string& structureFile, UserInteraction& ui);

// The same without dialogs: builds the text and writes it to `path`.
WriteResult writeTextExport(const ExportSource& source, ExportFormat format,
                            const std::string& path);

} // namespace zarn
