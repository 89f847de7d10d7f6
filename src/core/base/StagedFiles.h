// Files of one folder replaced together: each is first written under a hidden temporary name
// beside its target, and only when all of them are complete are they renamed over their
// targets. Until then the targets stay as they were; files that were not staged are never
// touched. Staged files that are not committed are removed.
#pragma once

#include "core/base/AtomicFile.h"

#include <string>
#include <vector>

namespace zarn {

class StagedFiles {
public:
    explicit StagedFiles(std::string folder);
    ~StagedFiles();
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;

    // The path to write `name` (a plain file name) to until commit().
    std::string stage(const std::string& name);
    // The final path of `name`.
    std::string target(const std::string& name) const;

    // Renames every staged file over its target, keeping the permission bits of a target
    // that exists (a symbolic link of a target's name is replaced). A staged file that was
    // never written fails the commit before anything is renamed.
    WriteResult commit();

private:
    struct Entry {
        std::string name;
        std::string staged;
    };
    std::string folder_;
    std::vector<Entry> entries_;
};

} // namespace zarn
