// The serial port library over termios. Each open port is an fd in the table of port_table.h,
// closed (and unlocked) when the last reference to it goes.
#include "platform/pcomm/sio.h"

#include "platform/pcomm/custom_rate.h"
#include "platform/pcomm/line_settings.h"
#include "platform/pcomm/port_table.h"
#include "platform/portmap/portmap.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>

namespace {

// How long sio_write waits, in total, for the driver to take more bytes.
constexpr std::chrono::milliseconds kWriteBound{100};

// Unlocks explicitly: a child process forked without exec would otherwise keep the lock alive
// through its copy of the fd.
void ReleasePort(int fd) {
    flock(fd, LOCK_UN);
    close(fd);
}

using Port = pcomm::Port<int, ReleasePort>;
using Ports = pcomm::PortTable<Port>;

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

// True when the device has hung up (far end of a pseudo-terminal closed, adapter unplugged).
bool HungUp(int fd) {
    pollfd pfd{fd, POLLIN, 0};
    return poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

int OpenPort(int port, Ports::PortPtr& entry) {
    const auto path = portmap::DeviceForCom(port, portmap::DefaultRoots());
    if (!path) {
        return SIO_ERR_NO_SUCH_PORT;
    }
    const int fd = open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return OpenErrorCode(errno);
    }
    entry = std::make_shared<Port>(fd);
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
    return Ports::Open(port, OpenPort);
}

SIO_API int sio_ioctl(int port, int baud, int mode) {
    return Ports::WithPort(port, [&](Port& entry) -> int {
        const auto rate = pcomm::LookupBaud(baud);
        termios probe{};
        if (!rate || !pcomm::ApplyMode(mode, probe)) {
            return SIO_ERR_BAD_PARAM;
        }
        return SetLine(entry.handle(), *rate, mode);
    });
}

SIO_API int sio_SetReadTimeouts(int port, int total_ms, int interval_ms) {
    return Ports::SetReadTimeouts(port, total_ms, interval_ms);
}

SIO_API int sio_iqueue(int port) {
    return Ports::WithPort(port, [](Port& entry) -> int {
        int waiting = 0;
        if (ioctl(entry.handle(), FIONREAD, &waiting) != 0) {
            return SIO_ERR_IO;
        }
        return waiting;
    });
}

SIO_API int sio_read(int port, char* buf, int len) {
    return Ports::Transfer(port, buf, len, [](Port& entry, char* to, int n) {
        return ReadPort(entry.handle(), to, n);
    });
}

SIO_API int sio_write(int port, char* buf, int len) {
    return Ports::Transfer(port, buf, len, [](Port& entry, const char* from, int n) {
        return WritePort(entry.handle(), from, n);
    });
}

SIO_API int sio_close(int port) {
    return Ports::Close(port);
}

} // extern "C"
