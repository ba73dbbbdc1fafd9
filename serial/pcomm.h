#pragma once
// The seven calls of the serial library, as the console uses them. The port is the COM
// number; results are the library's (0 or a count on success, a negative code on failure).

#include <cstdint>

namespace serial {

class Pcomm {
  public:
    virtual ~Pcomm() = default;
    virtual int sio_open(int port) = 0;
    virtual int sio_ioctl(int port, int baud, int mode) = 0;
    virtual int sio_SetReadTimeouts(int port, int total_ms, int interval_ms) = 0;
    virtual int sio_iqueue(int port) = 0;
    virtual int sio_read(int port, char* buf, int len) = 0;
    virtual int sio_write(int port, char* buf, int len) = 0;
    virtual int sio_close(int port) = 0;
};

// Line mode: 8 data bits, no parity, one stop bit.
constexpr int kLineMode8N1 = 3;

} // namespace serial
