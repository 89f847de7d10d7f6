#include "core/base/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace zarn {

namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// The file a save replaces: the end of the chain of symbolic links from `path`, so that the
// links stay links. A dangling link gives the name it points to, which the save creates.
std::optional<std::string> linkTarget(const std::string& path) {
    constexpr int MaxLinks = 40; // as the kernel's own limit before ELOOP
    std::string current = path;
    for (int hop = 0; hop <= MaxLinks; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current; // anything else is reported by the steps that use the name
        std::string target(std::max<size_t>(static_cast<size_t>(st.st_size) + 1, 256), '\0');
        for (;;) {
            const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
            if (n < 0)
                return current;
            if (static_cast<size_t>(n) < target.size()) {
                target.resize(static_cast<size_t>(n));
                break;
            }
            target.resize(target.size() * 2);
        }
        if (target.empty())
            return current;
        current = target[0] == '/' ? target : folderOf(current) + "/" + target;
    }
    return std::nullopt;
}

} // namespace

WriteResult writeFileAtomically(const std::string& linkOrPath, std::string_view bytes) {
    const auto target = linkTarget(linkOrPath);
    if (!target)
        return writeFailure("resolve", ELOOP);
    const std::string& path = *target;
    const std::string folder = folderOf(path);
    std::string tmpl = path + ".tmpXXXXXX";
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return writeFailure("create", errno);

    // Keep the permissions of an existing target; new files get the usual 0666 & ~umask.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        (void)::fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        (void)::fchmod(fd, 0666 & ~mask);
    }

    auto abandon = [&](const char* step, int err) {
        ::close(fd);
        ::unlink(tmpl.c_str());
        return writeFailure(step, err);
    };

    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return abandon("write", errno);
        }
        data += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0)
        return abandon("fsync", errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        return writeFailure("close", err);
    }
    if (::rename(tmpl.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        return writeFailure("rename", err);
    }
    syncFolder(folder);
    return {true, 0, {}};
}

WriteResult writeFailure(std::string_view step, int err) {
    return {false, err, std::string(step) + ": " + std::strerror(err)};
}

void syncFolder(const std::string& folder) {
    const int dirfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirfd >= 0) {
        (void)::fsync(dirfd);
        ::close(dirfd);
    }
}

bool readWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace zarn
