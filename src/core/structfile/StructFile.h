// Structure files: the installation tree, the results table, the printout heading and
// comments and the protocol pages in one line-oriented text file.
//
// Layout (version 11; lines end in CR LF, text is the program's bytes unchanged):
//   "*** INSTAL STRUCTURE v11"           version 10: "*** INSTAL STRUCTURE"
//   family code (16)
//   OP1 OP2 OP3 FOOTER FOOTER2 FOOTER3 site1 site2 site3 Logo
//                                         version 10: OP1 OP2 FOOTER site1 site2 Logo
//   logo mode
//   comment lines 1..20, "", autotest lines 1..5, "", switches, 5 x ""
//   "*** COMMENTS2", comment lines 1..200
//   "*** STRUCTURE DATA", checksum (see StructChecksum.h)
//   one line per node in pre-order: name TAB kind TAB id TAB measures
//   25 x "", "*** TABLE DATA", row count, column count, the cells row by row
//   per protocol page: 25 x "", "*** PROTOCOL DATA", kind, index, the page's fields
//   25 x "", "*** KONEC"
// A CR inside a node line or a table cell is stored as the byte 0x02.
#pragma once

#include "core/app/InstallationTree.h"
#include "core/app/ResultsTable.h"
#include "core/base/IniFile.h"
#include "core/base/UserInteraction.h"
#include "core/inspection/PrintoutComments.h"
#include "core/inspection/PrintoutHeading.h"
#include "core/inspection/Protocol.h"
#include "core/lang/LStr.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

namespace structfile {
inline constexpr std::string_view HeaderV11 = "*** INSTAL STRUCTURE v11";
inline constexpr std::string_view HeaderV10 = "*** INSTAL STRUCTURE";
inline constexpr std::string_view Comments2 = "*** COMMENTS2";
inline constexpr std::string_view StructureData = "*** STRUCTURE DATA";
inline constexpr std::string_view TableData = "*** TABLE DATA";
inline constexpr std::string_view ProtocolData = "*** PROTOCOL DATA";
inline constexpr std::string_view Konec = "*** KONEC";
inline constexpr int32_t ProductFamily = 16;
// The largest results table a file may declare: the identification row and the 65,535
// records an instrument can announce (its count is two bytes). Larger tables are not read.
inline constexpr int MaxRows = 65536;
inline constexpr int MaxColumns = 1000;
// Floor-plan pictures larger than this are not loaded.
inline constexpr uint64_t MaxPictureBytes = 64ull << 20;

// The comment section has no escaping, and its reader stops at a line equal to a marker.
// Comment lines 1..200 end early only at "*** STRUCTURE DATA" (their first copy is written
// empty where it would stop the reader); the autotest lines and the switches stand before
// "*** COMMENTS2" too.
enum class CommentField { Comment, Autotest, Switches };
// The text as the file can hold it, so that memory and file agree: a line feed becomes a
// space, and a line the reader would take for a marker gets a trailing space.
std::string storableCommentText(CommentField field, std::string_view text);
} // namespace structfile

// Everything a structure file holds.
struct StructureParts {
    InstallationTree& tree;
    ResultsTable& table;
    PrintoutHeading& heading;
    PrintoutComments& comments;
    TProtocol& protocol;
};

// What the program around the reader and writer provides. All members may be null: without
// `ui` nothing is shown, without `texts` language texts are empty, without `settings` the
// protocol teardown leaves nothing in the settings.
struct StructureEnvironment {
    UserInteraction* ui = nullptr;
    const TLStr* texts = nullptr;
    const PrivateProfile* settings = nullptr;
};

// What the reader left out of a file of the product's family.
enum class Unread {
    EndedEarly,      // the data ends before "*** KONEC": what should follow is missing
    TableOverLimits, // row or column count over the limits: no results and no protocol pages
    ResultsEmptied,  // the checksum did not match: every results cell was emptied
    DamagedPage,     // a page kind or index is no number: that page and the later ones
    SkippedLines,    // lines outside the layout were passed over (see skippedLines)
};

struct StructureReadResult {
    bool opened = false;        // false: the file could not be read (message shown)
    int version = 0;            // 11, 10, or 0 when the first line is no structure header
    int32_t family = 0;         // the file's data family code (0 when there is none)
    bool trusted = true;        // false: the checksum did not match and the results were emptied
    bool tableRead = false;     // the table section was within the limits and read
    bool protocolError = false; // a page kind or index line was not a number
    // Everything of a product-family file that is not in memory now, in the order above;
    // empty when the reader took the whole file.
    std::vector<Unread> unread;
    // Non-empty lines passed over: text between sections, pages of an unknown kind, lines
    // after the end, a separator line that should be empty.
    int64_t skippedLines = 0;
    // Family code of the product: the reader went on past the family code.
    bool productFamily() const { return family == structfile::ProductFamily; }
    bool tookWholeFile() const { return unread.empty(); }
};

// Reads a structure file from its bytes into `parts` (replacing tree and results; for a file
// of the product's family also heading, comments and protocol). Shows progress through the
// environment's interface under `displayName`.
StructureReadResult readStructure(std::string_view bytes, const StructureParts& parts,
                                  const StructureEnvironment& env,
                                  std::string_view displayName = {});
// Reads the file; a file that cannot be read shows "FileNotExist_40" and changes nothing.
StructureReadResult readStructureFile(const std::string& path, const StructureParts& parts,
                                      const StructureEnvironment& env);

// The bytes of a version 11 file for the parts.
std::string writeStructure(const StructureParts& parts, int32_t family,
                           const StructureEnvironment& env, std::string_view displayName = {});

struct StructureSaveResult {
    bool ok = false;
    std::string error; // the system's reason when not ok
};
// Why a file of these parts would not open whole (a results table over MaxRows or
// MaxColumns); empty when it would.
std::string unreadableTableReason(const ResultsTable& table);

// Writes the file so that the previous file of that name survives any failure: on error a
// message is shown and the old file is left byte for byte. A results table the reader would
// refuse is not written at all: such a file would reopen without its results. The caller sets
// its saved flag only when ok.
StructureSaveResult saveStructureFile(const std::string& path, const StructureParts& parts,
                                      int32_t family, const StructureEnvironment& env);

// Reads a floor-plan picture file: only a regular file of at most MaxPictureBytes.
std::optional<std::string> readPictureFile(const std::string& path);
// The bytes of a regular file of at most `limit` bytes; nothing for anything else.
std::optional<std::string> readRegularFile(const std::string& path, uint64_t limit);

} // namespace zarn
