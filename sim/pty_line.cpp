#include "sim/pty_line.h"

#include "platform/portmap/portmap.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <stdexcept>
#include <system_error>

namespace sim {
namespace {

namespace fs = std::filesystem;

constexpr int kFirstAutoCom = 90;
constexpr int kLastCom = 255;
constexpr int kWriteWaitMs = 200;

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

// COM numbers taken by kernel serial devices.
std::set<int> KernelComs() {
    portmap::Roots roots = portmap::DefaultRoots();
    roots.links.clear();
    std::set<int> coms;
    for (const portmap::Entry& entry : portmap::ReadPortMap(roots)) {
        coms.insert(std::stoi(entry.data.substr(3)));
    }
    return coms;
}

enum class Slot { Free, Stale, Live };

Slot SlotAt(const fs::path& path) {
    std::error_code ec;
    const fs::file_status link = fs::symlink_status(path, ec);
    if (ec || !fs::exists(link)) {
        return Slot::Free;
    }
    if (fs::is_symlink(link) && !fs::exists(fs::status(path, ec))) {
        return Slot::Stale;
    }
    return Slot::Live;
}

} // namespace

PtyLine::PtyLine() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        Fail("cannot create a pseudo-terminal");
    }
    char name[128] = {};
    if (ptsname_r(master_, name, sizeof name) != 0) {
        Fail("ptsname_r");
    }
    slavePath_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0) {
        Fail("cannot open " + slavePath_);
    }
    termios tio{};
    if (tcgetattr(slave_, &tio) != 0) {
        Fail("tcgetattr " + slavePath_);
    }
    cfmakeraw(&tio);
    if (tcsetattr(slave_, TCSANOW, &tio) != 0) {
        Fail("tcsetattr " + slavePath_);
    }
    if (fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK) != 0) {
        Fail("fcntl O_NONBLOCK");
    }
}

PtyLine::~PtyLine() {
    if (slave_ >= 0) {
        close(slave_);
    }
    if (master_ >= 0) {
        close(master_);
    }
}

bool PtyLine::Write(std::span<const unsigned char> bytes) {
    bool discarded = false;
    while (!bytes.empty()) {
        const ssize_t n = write(master_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return false;
        }
        if (!discarded) {
            tcflush(slave_, TCIFLUSH);
            discarded = true;
            continue;
        }
        pollfd pfd{master_, POLLOUT, 0};
        if (poll(&pfd, 1, kWriteWaitMs) <= 0) {
            return false;
        }
    }
    return true;
}

std::variant<ComLink, std::string> ComLink::Create(const fs::path& folder, std::optional<int> com,
                                                   const std::string& target) {
    std::error_code ec;
    // A new links folder is private: the console lists no links from a folder others may write.
    if (fs::create_directories(folder, ec)) {
        fs::permissions(folder, fs::perms::owner_all, ec);
    }
    if (ec) {
        return "cannot create " + folder.string() + ": " + ec.message();
    }
    const std::set<int> kernel = com ? std::set<int>{} : KernelComs();
    const int first = com.value_or(kFirstAutoCom);
    const int last = com.value_or(kLastCom);
    for (int n = first; n <= last; ++n) {
        const fs::path path = folder / ("com" + std::to_string(n));
        if (kernel.count(n) != 0) {
            continue;
        }
        const Slot slot = SlotAt(path);
        if (slot == Slot::Live) {
            if (com) {
                std::error_code readEc;
                const fs::path points = fs::read_symlink(path, readEc);
                return "COM" + std::to_string(n) + " is in use: " + path.string() +
                       (readEc ? std::string(" exists") : " -> " + points.string());
            }
            continue;
        }
        if (slot == Slot::Stale) {
            fs::remove(path, ec);
        }
        if (symlink(target.c_str(), path.c_str()) == 0) {
            return ComLink(n, path, target);
        }
        if (errno != EEXIST || com) {
            return "cannot link " + path.string() + ": " + std::strerror(errno);
        }
    }
    return "no free COM number from " + std::to_string(kFirstAutoCom) + " to " +
           std::to_string(kLastCom) + " in " + folder.string();
}

ComLink::ComLink(ComLink&& other) noexcept
    : com_(other.com_), path_(std::move(other.path_)), target_(std::move(other.target_)) {
    other.path_.clear();
}

ComLink::~ComLink() {
    if (path_.empty()) {
        return;
    }
    std::error_code ec;
    if (fs::read_symlink(path_, ec) == fs::path(target_) && !ec) {
        fs::remove(path_, ec);
    }
}

} // namespace sim
