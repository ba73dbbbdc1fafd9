// The serial port library over the Win32 serial API, with the results and error codes of the
// termios one (sio.h). Each open port is a handle in the table of port_table.h, closed when the
// last reference to it goes.
#include "platform/pcomm/sio.h"

#include "platform/pcomm/port_table.h"

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace {

// How long sio_write waits, in total, for the driver to take more bytes.
constexpr DWORD kWriteBoundMs = 100;

constexpr int kDataBitsMask = 0x03;
constexpr int kStopBitsMask = 0x04;
constexpr int kParityMask = 0x38;
constexpr int kKnownBits = kDataBitsMask | kStopBitsMask | kParityMask;

// Bits per second behind each baud code, SIO_B50 first.
constexpr std::array<DWORD, 20> kBaudRates{50,    75,    110,    134,    150,    300,   600,
                                           1200,  1800,  2400,   4800,   7200,   9600,  19200,
                                           38400, 57600, 115200, 230400, 460800, 921600};

std::optional<DWORD> LookupBaud(int code) {
    if (code < 0 || code >= static_cast<int>(kBaudRates.size())) {
        return std::nullopt;
    }
    return kBaudRates[static_cast<std::size_t>(code)];
}

// Data bits, stop bits and parity from the mode bits; false (dcb untouched) for bits outside
// the known fields or an unknown parity.
bool ApplyMode(int mode, DCB& dcb) {
    if ((mode & ~kKnownBits) != 0) {
        return false;
    }
    BYTE parity = NOPARITY;
    switch (mode & kParityMask) {
    case SIO_P_NONE:
        break;
    case SIO_P_ODD:
        parity = ODDPARITY;
        break;
    case SIO_P_EVEN:
        parity = EVENPARITY;
        break;
    case SIO_P_MARK:
        parity = MARKPARITY;
        break;
    case SIO_P_SPACE:
        parity = SPACEPARITY;
        break;
    default:
        return false;
    }
    dcb.ByteSize = static_cast<BYTE>(5 + (mode & kDataBitsMask));
    dcb.StopBits = (mode & kStopBitsMask) != 0 ? TWOSTOPBITS : ONESTOPBIT;
    dcb.Parity = parity;
    dcb.fParity = parity != NOPARITY;
    return true;
}

// Raw bytes both ways, no hardware or software flow control, 9600 baud 8N1.
void ApplyOpenDefaults(DCB& dcb) {
    dcb.fBinary = TRUE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
    dcb.BaudRate = CBR_9600;
    ApplyMode(SIO_BIT8 | SIO_STOP1 | SIO_P_NONE, dcb);
}

void ReleasePort(HANDLE handle) {
    CloseHandle(handle);
}

using Port = pcomm::Port<HANDLE, ReleasePort>;
using Ports = pcomm::PortTable<Port>;

int OpenErrorCode(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NOT_READY:
        return SIO_ERR_NO_SUCH_PORT;
    // Windows opens a serial port for one handle only: a port another program holds is denied.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return SIO_ERR_BUSY;
    case ERROR_PRIVILEGE_NOT_HELD:
        return SIO_ERR_PERMISSION;
    default:
        return SIO_ERR_IO;
    }
}

int OpenPort(int port, Ports::PortPtr& entry) {
    if (port <= 0) {
        return SIO_ERR_NO_SUCH_PORT;
    }
    const std::wstring path = L"\\\\.\\COM" + std::to_wstring(port);
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return OpenErrorCode(GetLastError());
    }
    entry = std::make_shared<Port>(handle);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle, &dcb)) {
        return SIO_ERR_IO;
    }
    ApplyOpenDefaults(dcb);
    if (!SetCommState(handle, &dcb)) {
        return SIO_ERR_IO;
    }
    // Reads return at once with what is waiting; writes give up after the bound.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = kWriteBoundMs;
    if (!SetCommTimeouts(handle, &timeouts)) {
        return SIO_ERR_IO;
    }
    return SIO_OK;
}

int SetLine(HANDLE handle, DWORD rate, int mode) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle, &dcb)) {
        return SIO_ERR_IO;
    }
    dcb.BaudRate = rate;
    ApplyMode(mode, dcb);
    return SetCommState(handle, &dcb) ? SIO_OK : SIO_ERR_IO;
}

int ReadPort(HANDLE handle, char* buf, int len) {
    DWORD read = 0;
    if (!ReadFile(handle, buf, static_cast<DWORD>(len), &read, nullptr)) {
        return SIO_ERR_IO;
    }
    return static_cast<int>(read);
}

int WritePort(HANDLE handle, const char* buf, int len) {
    DWORD written = 0;
    if (WriteFile(handle, buf, static_cast<DWORD>(len), &written, nullptr)) {
        return static_cast<int>(written);
    }
    // A write the device did not take within the bound reports what it did take; bytes already
    // accepted are reported even when the write then failed, and the failure shows next time.
    const DWORD error = GetLastError();
    if (written > 0 || error == ERROR_SEM_TIMEOUT || error == WAIT_TIMEOUT) {
        return static_cast<int>(written);
    }
    return SIO_ERR_IO;
}

} // namespace

extern "C" {

int sio_open(int port) {
    return Ports::Open(port, OpenPort);
}

int sio_ioctl(int port, int baud, int mode) {
    return Ports::WithPort(port, [&](Port& entry) -> int {
        const auto rate = LookupBaud(baud);
        DCB probe{};
        if (!rate || !ApplyMode(mode, probe)) {
            return SIO_ERR_BAD_PARAM;
        }
        return SetLine(entry.handle(), *rate, mode);
    });
}

int sio_SetReadTimeouts(int port, int total_ms, int interval_ms) {
    return Ports::SetReadTimeouts(port, total_ms, interval_ms);
}

int sio_iqueue(int port) {
    return Ports::WithPort(port, [](Port& entry) -> int {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(entry.handle(), &errors, &status)) {
            return SIO_ERR_IO;
        }
        return static_cast<int>(status.cbInQue);
    });
}

int sio_read(int port, char* buf, int len) {
    return Ports::Transfer(port, buf, len, [](Port& entry, char* to, int n) {
        return ReadPort(entry.handle(), to, n);
    });
}

int sio_write(int port, char* buf, int len) {
    return Ports::Transfer(port, buf, len, [](Port& entry, const char* from, int n) {
        return WritePort(entry.handle(), from, n);
    });
}

int sio_close(int port) {
    return Ports::Close(port);
}

} // extern "C"
