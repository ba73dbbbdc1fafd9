#include "platform/portmap/portmap.h"

#include <sys/stat.h>
#include <unistd.h>

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string_view>
#include <system_error>

namespace portmap {
namespace {

namespace fs = std::filesystem;

constexpr int kBlockSize = 32;
constexpr int kMaxLinkCom = 255;

struct Family {
    std::string_view prefix;
    int firstCom;
};

// Longer prefixes that share a start with a shorter one (ttyS / ttySomething) are not a problem:
// the rest of the name must be a plain number, so "ttySAC0" never matches "ttyS".
constexpr std::array<Family, 4> kFamilies{{
    {"ttyS", 1},
    {"ttyUSB", 33},
    {"ttyACM", 65},
    {"ttyAMA", 97},
}};

// Parses a plain decimal number no larger than `max`: digits only, no sign, no leading zero
// (except "0" itself). Anything else, including values that would overflow, gives nullopt.
std::optional<int> ParseNumber(std::string_view text, int max) {
    if (text.empty() || text.size() > 9 || (text.size() > 1 && text.front() == '0')) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > max) {
        return std::nullopt;
    }
    return value;
}

std::string ComName(int com) {
    return "COM" + std::to_string(com);
}

// The COM number of a kernel tty name, or nullopt when the name is not one we number.
std::optional<int> KernelCom(std::string_view name) {
    for (const Family& family : kFamilies) {
        if (name.substr(0, family.prefix.size()) != family.prefix) {
            continue;
        }
        const auto index = ParseNumber(name.substr(family.prefix.size()), kBlockSize - 1);
        if (index) {
            return family.firstCom + *index;
        }
    }
    return std::nullopt;
}

// A ttyS entry is a real UART only when its `type` file holds a non-zero port type.
bool HasUart(const fs::path& ttyDir) {
    std::ifstream in(ttyDir / "type");
    long type = 0;
    if (!(in >> type)) {
        return false;
    }
    return type != 0;
}

bool IsPresent(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

void AddKernelDevices(const Roots& roots, std::map<int, Entry>& ports) {
    if (roots.sysClassTty.empty()) {
        return;
    }
    std::error_code ec;
    fs::directory_iterator it(roots.sysClassTty, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path& path = it->path();
        const std::string name = path.filename().string();
        const auto com = KernelCom(name);
        if (!com || !IsPresent(path / "device")) {
            continue;
        }
        if (name.starts_with("ttyS") && !HasUart(path)) {
            continue;
        }
        const std::string device = (fs::path(roots.dev) / name).string();
        ports[*com] = Entry{device, ComName(*com), device};
    }
}

// Only a links folder of our own (or root's), that nobody else may write, names ports: in the
// shared /tmp another user could otherwise create it first and plant links to a terminal they
// control.
bool IsPrivateFolder(const std::string& folder) {
    struct stat st {};
    return lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           (st.st_uid == getuid() || st.st_uid == 0) && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

void AddLinks(const Roots& roots, std::map<int, Entry>& ports) {
    if (roots.links.empty() || !IsPrivateFolder(roots.links)) {
        return;
    }
    std::error_code ec;
    fs::directory_iterator it(roots.links, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path& path = it->path();
        const std::string name = path.filename().string();
        if (!name.starts_with("com")) {
            continue;
        }
        const auto com = ParseNumber(std::string_view(name).substr(3), kMaxLinkCom);
        if (!com || *com == 0) {
            continue;
        }
        std::error_code linkEc;
        if (!it->is_symlink(linkEc)) {
            continue;
        }
        fs::path target = fs::read_symlink(path, linkEc);
        if (linkEc) {
            continue;
        }
        if (target.is_relative()) {
            target = (fs::path(roots.links) / target).lexically_normal();
        }
        ports[*com] = Entry{path.string(), ComName(*com), target.string()};
    }
}

} // namespace

Roots DefaultRoots() {
    Roots roots{"/sys/class/tty", "/dev", {}};
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    if (runtimeDir != nullptr && *runtimeDir != '\0') {
        roots.links = (fs::path(runtimeDir) / "serialcomm").string();
    } else {
        roots.links = "/tmp/serialcomm-" + std::to_string(getuid());
    }
    return roots;
}

std::vector<Entry> ReadPortMap(const Roots& roots) {
    // Keyed by COM number: links are added after kernel devices so they replace them, and the
    // map's order is the order of the returned list.
    std::map<int, Entry> ports;
    AddKernelDevices(roots, ports);
    AddLinks(roots, ports);

    std::vector<Entry> list;
    list.reserve(ports.size());
    for (auto& [com, entry] : ports) {
        list.push_back(std::move(entry));
    }
    return list;
}

std::optional<std::string> DeviceForCom(int com, const Roots& roots) {
    if (com <= 0) {
        return std::nullopt;
    }
    const std::string wanted = ComName(com);
    for (const Entry& entry : ReadPortMap(roots)) {
        if (entry.data == wanted) {
            return entry.name;
        }
    }
    return std::nullopt;
}

} // namespace portmap
