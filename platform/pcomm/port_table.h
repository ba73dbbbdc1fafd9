// What the termios and the Win32 builds of the serial port library share: the open port, the
// table of open ports keyed by COM number and the shape of the exported calls. Calls look the
// port up under the table's mutex, take a shared reference to it and do their I/O without the
// mutex, so a slow write on one port never holds up calls on another, and a read and a write on
// the same port can run at the same time. The OS handle is closed when the last reference goes:
// at sio_close, or when a call still running on that port returns.
#pragma once

#include "platform/pcomm/sio.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

namespace pcomm {

// An open port: the OS handle, released by Release when the last reference goes.
template <typename Handle, void (*Release)(Handle)> class Port {
  public:
    explicit Port(Handle handle) : handle_(handle) {}
    ~Port() { Release(handle_); }
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    Handle handle() const { return handle_; }

    // Recorded by sio_SetReadTimeouts. Reads never wait, so nothing else uses them.
    std::atomic<int> readTotalMs{0};
    std::atomic<int> readIntervalMs{0};

  private:
    const Handle handle_;
};

// A C caller cannot handle C++ exceptions (only std::bad_alloc can occur here): report them as
// an I/O failure instead of letting them cross the C boundary.
template <typename Fn> int Guarded(Fn&& fn) noexcept {
    try {
        return fn();
    } catch (...) {
        return SIO_ERR_IO;
    }
}

// The open ports of the process, one table per port type.
template <typename PortType> class PortTable {
  public:
    using PortPtr = std::shared_ptr<PortType>;

    // Opens `port` with open(port, entry) under the table's mutex and keeps the entry when it
    // returns SIO_OK; a port already in the table is busy.
    template <typename Open> static int Insert(int port, Open&& open) {
        std::lock_guard lock(Mutex());
        if (Ports().contains(port)) {
            return SIO_ERR_BUSY;
        }
        PortPtr entry;
        const int result = open(port, entry);
        if (result != SIO_OK) {
            return result;
        }
        Ports().emplace(port, std::move(entry));
        return SIO_OK;
    }

    static PortPtr Find(int port) {
        std::lock_guard lock(Mutex());
        const auto it = Ports().find(port);
        return it == Ports().end() ? nullptr : it->second;
    }

    static int Remove(int port) {
        PortPtr entry;
        {
            std::lock_guard lock(Mutex());
            const auto it = Ports().find(port);
            if (it == Ports().end()) {
                return SIO_ERR_NOT_OPEN;
            }
            entry = std::move(it->second);
            Ports().erase(it);
        }
        // Dropped outside the mutex: closing a real serial port can wait for its output to
        // drain, and other ports must not wait for that.
        entry.reset();
        return SIO_OK;
    }

    // fn(port entry) for an open port, guarded; SIO_ERR_NOT_OPEN for any other.
    template <typename Fn> static int WithPort(int port, Fn&& fn) noexcept {
        return Guarded([&]() -> int {
            const PortPtr entry = Find(port);
            if (!entry) {
                return SIO_ERR_NOT_OPEN;
            }
            return fn(*entry);
        });
    }

    // transfer(port entry, buf, len) for a read or write of at least one byte on an open port.
    template <typename Buffer, typename Fn>
    static int Transfer(int port, Buffer* buf, int len, Fn&& transfer) noexcept {
        return WithPort(port, [&](PortType& entry) -> int {
            if (buf == nullptr || len < 0) {
                return SIO_ERR_BAD_PARAM;
            }
            return len == 0 ? 0 : transfer(entry, buf, len);
        });
    }

    static int SetReadTimeouts(int port, int total_ms, int interval_ms) noexcept {
        return WithPort(port, [&](PortType& entry) -> int {
            if (total_ms < 0 || interval_ms < 0) {
                return SIO_ERR_BAD_PARAM;
            }
            entry.readTotalMs = total_ms;
            entry.readIntervalMs = interval_ms;
            return SIO_OK;
        });
    }

    static int Open(int port, auto&& open) noexcept {
        return Guarded([&]() -> int { return Insert(port, open); });
    }

    static int Close(int port) noexcept {
        return Guarded([&]() -> int { return Remove(port); });
    }

  private:
    // Built on first use, so loading the library runs no code of ours.
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }

    static std::map<int, PortPtr>& Ports() {
        static std::map<int, PortPtr> table;
        return table;
    }
};

} // namespace pcomm
