#pragma once
// A serial library that records every call with its arguments and the bytes written, returns
// results the test sets, and hands out received bytes the test queues.

#include "serial/pcomm.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fakes {

struct PcommCall {
    std::string function;
    int port = 0;
    // sio_ioctl: baud code, mode; sio_SetReadTimeouts: total, interval; sio_read and
    // sio_write: the length passed.
    int first = 0;
    int second = 0;
    std::vector<std::uint8_t> bytes; // sio_write: the bytes handed over

    PcommCall(std::string name, int on_port, int a = 0, int b = 0)
        : function(std::move(name)), port(on_port), first(a), second(b) {}
};

class FakePcomm : public serial::Pcomm {
  public:
    int open_result = 0;
    int ioctl_result = 0;
    int timeouts_result = 0;
    int write_result = 0;
    int close_result = 0;
    // Each chunk is what the line holds for one read; sio_iqueue reports the first chunk.
    std::deque<std::vector<std::uint8_t>> incoming;
    // When set, sio_iqueue reports this instead of the size of the first chunk.
    std::optional<int> iqueue_result;
    // When set, sio_read returns this and places nothing.
    std::optional<int> read_result;

    std::vector<PcommCall> calls;

    int sio_open(int port) override { return Record({"sio_open", port}, open_result); }
    int sio_ioctl(int port, int baud, int mode) override {
        return Record({"sio_ioctl", port, baud, mode}, ioctl_result);
    }
    int sio_SetReadTimeouts(int port, int total_ms, int interval_ms) override {
        return Record({"sio_SetReadTimeouts", port, total_ms, interval_ms}, timeouts_result);
    }
    int sio_iqueue(int port) override {
        const int waiting = iqueue_result.value_or(
            incoming.empty() ? 0 : static_cast<int>(incoming.front().size()));
        return Record({"sio_iqueue", port}, waiting);
    }
    int sio_read(int port, char* buf, int len) override {
        calls.push_back({"sio_read", port, len});
        if (read_result) {
            return *read_result;
        }
        if (incoming.empty() || len <= 0) {
            return 0;
        }
        std::vector<std::uint8_t>& chunk = incoming.front();
        const auto n = std::min(chunk.size(), static_cast<std::size_t>(len));
        std::copy_n(chunk.begin(), n, buf);
        chunk.erase(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
        if (chunk.empty()) {
            incoming.pop_front();
        }
        return static_cast<int>(n);
    }
    int sio_write(int port, char* buf, int len) override {
        PcommCall call{"sio_write", port, len};
        call.bytes.assign(buf, buf + len);
        return Record(std::move(call), write_result);
    }
    int sio_close(int port) override { return Record({"sio_close", port}, close_result); }

    // The calls of one function, in order.
    std::vector<PcommCall> CallsTo(const std::string& function) const {
        std::vector<PcommCall> out;
        for (const auto& call : calls) {
            if (call.function == function) {
                out.push_back(call);
            }
        }
        return out;
    }
    std::vector<PcommCall> Writes() const { return CallsTo("sio_write"); }
    // The functions called, in order.
    std::vector<std::string> Functions() const {
        std::vector<std::string> out;
        for (const auto& call : calls) {
            out.push_back(call.function);
        }
        return out;
    }

  private:
    int Record(PcommCall call, int result) {
        calls.push_back(std::move(call));
        return result;
    }
};

} // namespace fakes
