#include "platform/pcomm/line_settings.h"

#include "platform/pcomm/sio.h"

#include <array>

namespace pcomm {
namespace {

constexpr int kDataBitsMask = 0x03;
constexpr int kStopBitsMask = 0x04;
constexpr int kParityMask = 0x38;
constexpr int kKnownBits = kDataBitsMask | kStopBitsMask | kParityMask;

constexpr std::array<BaudRate, 20> kBaudRates{{
    {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {300, B300},     {600, B600},       {1200, B1200},     {1800, B1800},     {2400, B2400},
    {4800, B4800},   {7200, 0},         {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
}};

} // namespace

std::optional<BaudRate> LookupBaud(int code) {
    if (code < 0 || code >= static_cast<int>(kBaudRates.size())) {
        return std::nullopt;
    }
    return kBaudRates[static_cast<std::size_t>(code)];
}

bool ApplyMode(int mode, termios& tio) {
    if ((mode & ~kKnownBits) != 0) {
        return false;
    }
    tcflag_t parity = 0;
    switch (mode & kParityMask) {
    case SIO_P_NONE:
        break;
    case SIO_P_ODD:
        parity = PARENB | PARODD;
        break;
    case SIO_P_EVEN:
        parity = PARENB;
        break;
    case SIO_P_MARK: // the parity bit is always 1: "odd" with CMSPAR
        parity = PARENB | PARODD | CMSPAR;
        break;
    case SIO_P_SPACE: // the parity bit is always 0: "even" with CMSPAR
        parity = PARENB | CMSPAR;
        break;
    default:
        return false;
    }

    static constexpr std::array<tcflag_t, 4> kDataBits{CS5, CS6, CS7, CS8};
    tcflag_t cflag = tio.c_cflag & ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR);
    cflag |= kDataBits[static_cast<std::size_t>(mode & kDataBitsMask)];
    if ((mode & kStopBitsMask) != 0) {
        cflag |= CSTOPB;
    }
    tio.c_cflag = cflag | parity;
    // Parity is generated and stripped by the UART; bytes are passed on as received.
    tio.c_iflag &= ~static_cast<tcflag_t>(INPCK | ISTRIP | PARMRK);
    return true;
}

void ApplyOpenDefaults(termios& tio) {
    cfmakeraw(&tio);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD;
    ApplyMode(SIO_BIT8 | SIO_STOP1 | SIO_P_NONE, tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
}

} // namespace pcomm
