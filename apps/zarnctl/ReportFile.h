// The results report of one node of a structure file, composed exactly as the print preview
// does and written as PDF or sent to a printer queue: what `zarnctl report` and `zarnctl
// demo` share. Runs without a display.
#pragma once

#include "DocumentLoader.h"
#include "core/app/PrintMargins.h"

#include <optional>
#include <string>

namespace zarnctl {

struct ReportJob {
    std::string file;                     // the structure file
    std::string node = "1";               // as `zarnctl view --node`: the first root by default
    std::optional<zarn::PageRange> pages; // from 1; all when not given
    bool landscape = false;
    std::optional<std::string> pdf;     // written as PDF (beside it first, then renamed)
    std::optional<std::string> printer; // or sent to this queue
    int copies = 1;
    bool collate = true;
    std::string title; // of the print job or PDF; the file's name when empty
};

struct ReportDone {
    int printed = 0; // pages written or sent
    int count = 0;   // pages of the report
};

// Reads `job.file` into `doc` (with the printout settings of ZARN.INI beneath what the file
// carries) and composes the report of the node with the margins, heading font sizes and
// results-view font of ZARN.INI, measured against the default printer. A page range beyond
// the report and an unknown printer queue are UsageErrors; other failures CommandErrors.
ReportDone runReportJob(LoadedDocument& doc, const ReportJob& job, zarn::UserInteraction& ui);

} // namespace zarnctl
