// Simulated serial devices for tests: each one is a pseudo-terminal pair whose slave side the
// program opens as COM<n>, while the test plays the device on the master side.
//
// PtyLink makes a temporary runtime folder, points XDG_RUNTIME_DIR at it and links
// <runtime>/serialcomm/com<n> to the pty's slave, so portmap::DeviceForCom(n, DefaultRoots())
// and sio_open(n) reach it. Everything is undone on destruction (links and folder removed,
// XDG_RUNTIME_DIR restored, ptys closed).
//
//     test_support::PtyLink link(5);              // COM5
//     sio_open(5); sio_write(5, frame, size);
//     EXPECT_EQ(link.ReadMaster(size), frame);    // what the program sent
//     link.WriteMaster("\x02OK\x03");             // the device answers
//     link.AddPort(6).WriteMaster("...");         // a second device, COM6
//     link.CloseMaster();                         // the device goes away
//
// Notes:
// - The slave starts raw (no echo, no CR/LF translation), and the helper keeps its own slave fd
//   open, so the program can open and close the port repeatedly without the pty hanging up.
//   That fd is never read, so it takes no bytes away from the program.
// - Reads and writes on the master wait at most the given timeout (default 5 s), so a broken
//   program fails the test instead of hanging it.
// - The constructor throws std::runtime_error when the system refuses a pty or a folder.
// - XDG_RUNTIME_DIR is process-wide: create and destroy a PtyLink on the test's main thread, and
//   only one at a time (use AddPort for more devices).
#pragma once

#include "tests/support/scoped_env.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace test_support {

// One simulated device: the master side of a pty whose slave is linked as com<n>.
class PtyPort {
  public:
    PtyPort(int com, const std::filesystem::path& linksDir) : com_(com) {
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
            Fail("cannot open the pty slave " + slavePath_);
        }
        termios tio{};
        if (tcgetattr(slave_, &tio) != 0) {
            Fail("tcgetattr on the pty slave");
        }
        cfmakeraw(&tio);
        if (tcsetattr(slave_, TCSANOW, &tio) != 0) {
            Fail("tcsetattr on the pty slave");
        }
        if (fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK) != 0) {
            Fail("making the pty master non-blocking");
        }
        linkPath_ = (linksDir / ("com" + std::to_string(com))).string();
        if (symlink(slavePath_.c_str(), linkPath_.c_str()) != 0) {
            Fail("cannot link " + linkPath_);
        }
    }
    ~PtyPort() {
        CloseMaster();
        if (slave_ >= 0) {
            close(slave_);
        }
    }
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    int com() const { return com_; }
    // -1 after CloseMaster.
    int masterFd() const { return master_; }
    // e.g. /dev/pts/3
    const std::string& slavePath() const { return slavePath_; }
    // <runtime>/serialcomm/com<n>
    const std::string& linkPath() const { return linkPath_; }

    // Sends bytes to the program, as the device would. Returns how many were written: all of
    // them, unless the program stopped reading and the pty stayed full for `timeout`.
    size_t WriteMaster(std::string_view bytes,
                       std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        size_t done = 0;
        while (done < bytes.size() && master_ >= 0) {
            const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                break;
            } else if (!WaitFor(POLLOUT, deadline)) {
                break;
            }
        }
        return done;
    }

    // Receives what the program sent: waits until `count` bytes have arrived or `timeout` has
    // passed, and returns the bytes that arrived (fewer than count on timeout).
    std::string ReadMaster(size_t count,
                           std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::string got;
        char chunk[4096];
        while (got.size() < count && master_ >= 0) {
            const size_t want = std::min(sizeof chunk, count - got.size());
            const ssize_t n = read(master_, chunk, want);
            if (n > 0) {
                got.append(chunk, static_cast<size_t>(n));
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                break;
            } else if (!WaitFor(POLLIN, deadline)) {
                break;
            }
        }
        return got;
    }

    // The device goes away: the program's side of the pty is hung up and its reads and writes
    // fail from now on. WriteMaster / ReadMaster then do nothing.
    void CloseMaster() {
        if (master_ >= 0) {
            close(master_);
            master_ = -1;
        }
    }

  private:
    [[noreturn]] void Fail(const std::string& what) {
        const std::string message = what + ": " + std::strerror(errno);
        if (slave_ >= 0) {
            close(slave_);
        }
        if (master_ >= 0) {
            close(master_);
        }
        throw std::runtime_error(message);
    }

    bool WaitFor(short events, std::chrono::steady_clock::time_point deadline) const {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd pfd{master_, events, 0};
        return poll(&pfd, 1, static_cast<int>(left.count())) >= 0;
    }

    int com_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string linkPath_;
};

class PtyLink {
  public:
    // Creates the runtime folder and the first device, COM<com>.
    explicit PtyLink(int com) : runtimeDir_(MakeTempDir()) {
        try {
            linksDir_ = runtimeDir_ / "serialcomm";
            std::filesystem::create_directory(linksDir_);
            env_ = std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", runtimeDir_.string());
            AddPort(com);
        } catch (...) {
            RemoveTree();
            throw;
        }
    }
    ~PtyLink() {
        ports_.clear();
        env_.reset();
        RemoveTree();
    }
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    // Another device in the same folder, COM<com>.
    PtyPort& AddPort(int com) {
        ports_.push_back(std::make_unique<PtyPort>(com, linksDir_));
        return *ports_.back();
    }

    // The first device, or the one linked as COM<com> (throws std::out_of_range if none).
    PtyPort& port() { return *ports_.front(); }
    PtyPort& port(int com) {
        for (auto& p : ports_) {
            if (p->com() == com) {
                return *p;
            }
        }
        throw std::out_of_range("no PtyPort for COM" + std::to_string(com));
    }

    // The value XDG_RUNTIME_DIR has while this object lives, and the links folder inside it.
    const std::filesystem::path& runtimeDir() const { return runtimeDir_; }
    const std::filesystem::path& linksDir() const { return linksDir_; }

    // Shorthands for the first device.
    int com() const { return ports_.front()->com(); }
    int masterFd() const { return ports_.front()->masterFd(); }
    const std::string& slavePath() const { return ports_.front()->slavePath(); }
    const std::string& linkPath() const { return ports_.front()->linkPath(); }
    size_t WriteMaster(std::string_view bytes,
                       std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        return port().WriteMaster(bytes, timeout);
    }
    std::string ReadMaster(size_t count,
                           std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        return port().ReadMaster(count, timeout);
    }
    void CloseMaster() { port().CloseMaster(); }

  private:
    static std::filesystem::path MakeTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pty_link.XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp: " + std::string(std::strerror(errno)));
        }
        return pattern;
    }

    void RemoveTree() {
        std::error_code ec;
        std::filesystem::remove_all(runtimeDir_, ec);
    }

    std::filesystem::path runtimeDir_;
    std::filesystem::path linksDir_;
    std::unique_ptr<ScopedEnv> env_;
    std::vector<std::unique_ptr<PtyPort>> ports_;
};

} // namespace test_support
