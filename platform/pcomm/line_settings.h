// How sio_open and sio_ioctl turn the library's baud codes and mode bits into termios settings.
// Kept apart from the port code so the translation can be checked without a device.
#pragma once

#include <termios.h>

#include <optional>

namespace pcomm {

struct BaudRate {
    unsigned rate;    // bits per second
    speed_t constant; // the termios B<rate> constant; 0 when termios has none (custom rate)
};

// The rate behind a baud code (SIO_B50 .. SIO_B921600), or nullopt for an unknown code.
std::optional<BaudRate> LookupBaud(int code);

// Sets data bits, stop bits and parity in tio.c_cflag from the mode bits. Returns false and
// leaves tio untouched when the mode has bits outside the known fields or an unknown parity.
bool ApplyMode(int mode, termios& tio);

// The settings a port gets when opened: raw bytes both ways, receiver on, modem lines ignored,
// no hardware or software flow control, 9600 baud 8N1, reads that never wait (VMIN = VTIME = 0).
void ApplyOpenDefaults(termios& tio);

} // namespace pcomm
