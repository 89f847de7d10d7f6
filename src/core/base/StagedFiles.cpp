#include "core/base/StagedFiles.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace zarn {

StagedFiles::StagedFiles(std::string folder) : folder_(std::move(folder)) {
    if (folder_.empty())
        folder_ = ".";
}

StagedFiles::~StagedFiles() {
    for (const auto& e : entries_)
        ::unlink(e.staged.c_str());
}

std::string StagedFiles::target(const std::string& name) const {
    return folder_ + "/" + name;
}

std::string StagedFiles::stage(const std::string& name) {
    // Hidden, and named after this process so that two runs into one folder keep apart.
    std::string staged =
        folder_ + "/." + name + "." + std::to_string(static_cast<long>(::getpid())) + ".part";
    ::unlink(staged.c_str());
    entries_.push_back({name, staged});
    return staged;
}

WriteResult StagedFiles::commit() {
    for (const auto& e : entries_) {
        struct stat st {};
        if (::stat(e.staged.c_str(), &st) != 0)
            return writeFailure(e.name + " was not written", errno);
    }
    while (!entries_.empty()) {
        const Entry e = entries_.front();
        const std::string path = target(e.name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            (void)::chmod(e.staged.c_str(), st.st_mode & 07777);
        if (::rename(e.staged.c_str(), path.c_str()) != 0)
            return writeFailure("rename " + e.name, errno);
        entries_.erase(entries_.begin());
    }
    syncFolder(folder_);
    return {true, 0, {}};
}

} // namespace zarn
