#include "core/comm/PortNames.h"

#include "core/base/IniFile.h"
#include "core/base/TextRoutines.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <set>
#include <sys/stat.h>

namespace zarn {

namespace fs = std::filesystem;

namespace {

// Numeric suffix of names like ttyUSB12 (-1 when the rest is not all digits).
long numberAfter(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix)
        return -1;
    long n = 0;
    for (char c : name.substr(prefix.size())) {
        if (c < '0' || c > '9' || n > 1000000)
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

// A ttyS node whose sysfs type is 0 has no UART behind it (PCs create 4 to 32 of them).
bool uartAbsent(const std::string& sysRoot, const std::string& name) {
    std::ifstream in(sysRoot + "/class/tty/" + name + "/type");
    int type = -1;
    if (in >> type)
        return type == 0;
    return false; // unknown: keep it
}

std::string identityOf(const fs::path& p) {
    std::error_code ec;
    auto canonical = fs::canonical(p, ec);
    return ec ? p.string() : canonical.string();
}

} // namespace

std::vector<std::string> ComPortMap::scanDevices(const std::string& devRoot,
                                                 const std::string& sysRoot) {
    std::vector<std::string> result;
    std::set<std::string> seen;
    auto add = [&](const fs::path& p) {
        if (seen.insert(identityOf(p)).second)
            result.push_back(p.string());
    };
    std::error_code ec;

    std::vector<fs::path> byId;
    for (const auto& e : fs::directory_iterator(fs::path(devRoot) / "serial" / "by-id", ec))
        byId.push_back(e.path());
    std::sort(byId.begin(), byId.end());
    for (const auto& p : byId) {
        if (fs::exists(p, ec)) // a dangling link names no device
            add(p);
    }

    for (std::string_view prefix : {"ttyUSB", "ttyACM", "ttyS"}) {
        std::vector<std::pair<long, fs::path>> nodes;
        for (const auto& e : fs::directory_iterator(fs::path(devRoot), ec)) {
            std::string name = e.path().filename().string();
            long n = numberAfter(name, prefix);
            if (n < 0)
                continue;
            if (prefix == "ttyS" && uartAbsent(sysRoot, name))
                continue;
            nodes.emplace_back(n, e.path());
        }
        std::sort(nodes.begin(), nodes.end());
        for (const auto& [n, p] : nodes)
            add(p);
    }
    return result;
}

ComPortMap ComPortMap::fromDevices(const std::vector<std::string>& devices) {
    ComPortMap map;
    for (size_t i = 0; i < devices.size() && i < map.paths_.size(); ++i)
        map.paths_[i] = devices[i];
    return map;
}

ComPortMap ComPortMap::load(const PrivateProfile& settings, const std::string& devRoot,
                            const std::string& sysRoot) {
    ComPortMap map = fromDevices(scanDevices(devRoot, sysRoot));
    map.applyOverrides(settings);
    return map;
}

const ComPortMap& ComPortMap::startup() {
    static const ComPortMap map = fromDevices(scanDevices());
    return map;
}

void ComPortMap::applyOverrides(const PrivateProfile& settings) {
    for (int n = 1; n <= PortCount; ++n) {
        std::string path = settings.read("PORTS", "COM" + std::to_string(n));
        if (!path.empty())
            set(n, std::move(path));
    }
}

std::vector<std::string> ComPortMap::ignoredOverrideKeys(const PrivateProfile& settings) {
    std::vector<std::string> ignored;
    const auto doc = IniDocument::load(settings.path());
    if (!doc)
        return ignored;
    for (const auto& key : doc->keys("PORTS")) {
        const int n = comNumber(key);
        if (n < 1 || n > PortCount)
            ignored.push_back(key);
    }
    return ignored;
}

const std::string& ComPortMap::pathOf(int portNum) const {
    static const std::string none;
    if (portNum < 1 || portNum > PortCount)
        return none;
    return paths_[static_cast<size_t>(portNum - 1)];
}

void ComPortMap::set(int portNum, std::string path) {
    if (portNum >= 1 && portNum <= PortCount)
        paths_[static_cast<size_t>(portNum - 1)] = std::move(path);
}

int ComPortMap::comNumber(std::string_view name) {
    if (name.size() < 4 || !text::equalsIgnoreCase(name.substr(0, 3), "COM"))
        return 0;
    long n = numberAfter(name.substr(3), "");
    return n >= 1 && n <= 1000000 ? static_cast<int>(n) : 0;
}

bool ComPortMap::isComName(std::string_view name) {
    return name.size() > 3 && text::equalsIgnoreCase(name.substr(0, 3), "COM") &&
           name.find_first_not_of("0123456789", 3) == std::string_view::npos;
}

std::string deviceAccessHint(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    std::string group = std::to_string(st.st_gid);
    for (size_t size = 4096; size <= 1 << 20; size *= 4) {
        std::vector<char> buf(size);
        struct group entry {};
        struct group* found = nullptr;
        int r = ::getgrgid_r(st.st_gid, &entry, buf.data(), buf.size(), &found);
        if (r == ERANGE)
            continue;
        if (r == 0 && found != nullptr && found->gr_name != nullptr)
            group = found->gr_name;
        break;
    }
    return "On Linux, access to " + path + " is given to the members of the group \"" + group +
           "\". Add your user to it (sudo usermod -aG " + group +
           " $USER), then log out and in again.";
}

} // namespace zarn
