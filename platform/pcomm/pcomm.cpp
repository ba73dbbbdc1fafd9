// The serial port library over termios. Each open port is an fd held in a table keyed by COM
// number. Calls look the port up under the table's mutex, take a shared reference to it and do
// their I/O without the mutex, so a slow write on one port never holds up calls on another, and
// a read and a write on the same port can run at the same time. The fd is closed when the last
// reference goes: at sio_close, or when a call still running on that port returns.
#include "platform/pcomm/sio.h"

#include "platform/pcomm/custom_rate.h"
#include "platform/pcomm/line_settings.h"
#include "platform/portmap/portmap.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>

namespace {

// How long sio_write waits, in total, for the driver to take more bytes.
constexpr std::chrono::milliseconds kWriteBound{100};

class Port {
  public:
    explicit Port(int fd) : fd_(fd) {}
    ~Port() {
        // Unlock explicitly: a child process forked without exec would otherwise keep the lock
        // alive through its copy of the fd.
        flock(fd_, LOCK_UN);
        close(fd_);
    }
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    int fd() const { return fd_; }

    // Recorded by sio_SetReadTimeouts. Reads never wait, so nothing else uses them.
    std::atomic<int> readTotalMs{0};
    std::atomic<int> readIntervalMs{0};

  private:
    const int fd_;
};

using PortPtr = std::shared_ptr<Port>;

// Built on first use, so loading the library runs no code of ours.
std::mutex& TableMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<int, PortPtr>& Table() {
    static std::map<int, PortPtr> table;
    return table;
}

PortPtr Find(int port) {
    std::lock_guard lock(TableMutex());
    const auto it = Table().find(port);
    return it == Table().end() ? nullptr : it->second;
}

int OpenErrorCode(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
        return SIO_ERR_NO_SUCH_PORT;
    case EACCES:
    case EPERM:
        return SIO_ERR_PERMISSION;
    case EBUSY:
        return SIO_ERR_BUSY;
    default:
        return SIO_ERR_IO;
    }
}

// A C caller cannot handle C++ exceptions (only std::bad_alloc can occur here): report them as
// an I/O failure instead of letting them cross the C boundary.
template <typename Fn> int Guarded(Fn&& fn) noexcept {
    try {
        return fn();
    } catch (...) {
        return SIO_ERR_IO;
    }
}

// True when the device has hung up (far end of a pseudo-terminal closed, adapter unplugged).
bool HungUp(int fd) {
    pollfd pfd{fd, POLLIN, 0};
    return poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

int OpenPort(int port) {
    std::lock_guard lock(TableMutex());
    if (Table().contains(port)) {
        return SIO_ERR_BUSY;
    }
    const auto path = portmap::DeviceForCom(port, portmap::DefaultRoots());
    if (!path) {
        return SIO_ERR_NO_SUCH_PORT;
    }
    const int fd = open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return OpenErrorCode(errno);
    }
    auto entry = std::make_shared<Port>(fd);
    // flock, unlike TIOCEXCL, also keeps out root and is released if this process dies.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK ? SIO_ERR_BUSY : OpenErrorCode(errno);
    }
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        return SIO_ERR_IO;
    }
    pcomm::ApplyOpenDefaults(tio);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        return SIO_ERR_IO;
    }
    Table().emplace(port, std::move(entry));
    return SIO_OK;
}

int SetLine(int fd, const pcomm::BaudRate& baud, int mode) {
    termios old{};
    if (tcgetattr(fd, &old) != 0) {
        return SIO_ERR_IO;
    }
    termios tio = old;
    pcomm::ApplyMode(mode, tio);
    if (baud.constant != 0) {
        cfsetispeed(&tio, baud.constant);
        cfsetospeed(&tio, baud.constant);
    }
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        return SIO_ERR_IO;
    }
    if (baud.constant == 0 && pcomm::SetCustomRate(fd, baud.rate) != 0) {
        tcsetattr(fd, TCSANOW, &old);
        return SIO_ERR_IO;
    }
    return SIO_OK;
}

int ReadPort(int fd, char* buf, int len) {
    for (;;) {
        const ssize_t n = read(fd, buf, static_cast<size_t>(len));
        if (n > 0) {
            return static_cast<int>(n);
        }
        if (n == 0) {
            // With VMIN = VTIME = 0 a live tty also reads 0 when nothing is waiting; a hung-up
            // one reads 0 forever, so tell the two apart.
            return HungUp(fd) ? SIO_ERR_IO : 0;
        }
        if (errno == EINTR) {
            continue;
        }
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : SIO_ERR_IO;
    }
}

int WritePort(int fd, const char* buf, int len) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + kWriteBound;
    int done = 0;
    // Bytes already accepted are reported even when a later step fails; the failure shows up on
    // the next call.
    const auto failed = [&done] { return done > 0 ? done : SIO_ERR_IO; };
    while (done < len) {
        const ssize_t n = write(fd, buf + done, static_cast<size_t>(len - done));
        if (n > 0) {
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            return failed();
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd pfd{fd, POLLOUT, 0};
        const int ready = poll(&pfd, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) {
            return failed();
        }
        if (ready == 0) {
            break;
        }
        if (ready > 0 && (pfd.revents & POLLOUT) == 0 &&
            (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            return failed();
        }
    }
    return done;
}

} // namespace

extern "C" {

SIO_API int sio_open(int port) {
    return Guarded([&]() -> int { return OpenPort(port); });
}

SIO_API int sio_ioctl(int port, int baud, int mode) {
    return Guarded([&]() -> int {
        const PortPtr entry = Find(port);
        if (!entry) {
            return SIO_ERR_NOT_OPEN;
        }
        const auto rate = pcomm::LookupBaud(baud);
        termios probe{};
        if (!rate || !pcomm::ApplyMode(mode, probe)) {
            return SIO_ERR_BAD_PARAM;
        }
        return SetLine(entry->fd(), *rate, mode);
    });
}

SIO_API int sio_SetReadTimeouts(int port, int total_ms, int interval_ms) {
    return Guarded([&]() -> int {
        const PortPtr entry = Find(port);
        if (!entry) {
            return SIO_ERR_NOT_OPEN;
        }
        if (total_ms < 0 || interval_ms < 0) {
            return SIO_ERR_BAD_PARAM;
        }
        entry->readTotalMs = total_ms;
        entry->readIntervalMs = interval_ms;
        return SIO_OK;
    });
}

SIO_API int sio_iqueue(int port) {
    return Guarded([&]() -> int {
        const PortPtr entry = Find(port);
        if (!entry) {
            return SIO_ERR_NOT_OPEN;
        }
        int waiting = 0;
        if (ioctl(entry->fd(), FIONREAD, &waiting) != 0) {
            return SIO_ERR_IO;
        }
        return waiting;
    });
}

SIO_API int sio_read(int port, char* buf, int len) {
    return Guarded([&]() -> int {
        const PortPtr entry = Find(port);
        if (!entry) {
            return SIO_ERR_NOT_OPEN;
        }
        if (buf == nullptr || len < 0) {
            return SIO_ERR_BAD_PARAM;
        }
        return len == 0 ? 0 : ReadPort(entry->fd(), buf, len);
    });
}

SIO_API int sio_write(int port, char* buf, int len) {
    return Guarded([&]() -> int {
        const PortPtr entry = Find(port);
        if (!entry) {
            return SIO_ERR_NOT_OPEN;
        }
        if (buf == nullptr || len < 0) {
            return SIO_ERR_BAD_PARAM;
        }
        return len == 0 ? 0 : WritePort(entry->fd(), buf, len);
    });
}

SIO_API int sio_close(int port) {
    return Guarded([&]() -> int {
        PortPtr entry;
        {
            std::lock_guard lock(TableMutex());
            const auto it = Table().find(port);
            if (it == Table().end()) {
                return SIO_ERR_NOT_OPEN;
            }
            entry = std::move(it->second);
            Table().erase(it);
        }
        // Dropped outside the mutex: closing a real serial port can wait for its output to
        // drain, and other ports must not wait for that.
        entry.reset();
        return SIO_OK;
    });
}

} // extern "C"
