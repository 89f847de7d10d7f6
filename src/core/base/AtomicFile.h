// Saving that never loses the old file: the bytes go to a temporary file in the same folder,
// which is flushed to disk and then renamed over the target; the folder is synced last.
// On any failure the target is untouched and the temporary file is removed.
#pragma once

#include <string>
#include <string_view>

namespace zarn {

struct WriteResult {
    bool ok = false;
    int error = 0;       // errno of the failing step
    std::string message; // "<step>: <strerror>", empty on success
};

// A symbolic link is followed to the end of its chain: the file it names is replaced (keeping
// its permission bits) and the links stay as they are.
WriteResult writeFileAtomically(const std::string& path, std::string_view bytes);

// The result of a failed step: "<step>: <strerror>".
WriteResult writeFailure(std::string_view step, int err);
// Flushes a folder's entries (renames into it) to disk; best effort.
void syncFolder(const std::string& folder);

// Reads a whole file; false when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& bytes);

} // namespace zarn
