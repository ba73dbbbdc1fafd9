// Reads a tty's actual speed in bits per second, including rates without a termios constant.
#pragma once

namespace test_support {

// The output rate the kernel holds for the tty behind fd (for a pty master: its slave), or -1.
long OutputRate(int fd);

} // namespace test_support
