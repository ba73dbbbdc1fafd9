// Setting a speed that has no termios B<rate> constant (7200 baud).
#pragma once

namespace pcomm {

// Sets both directions of the open tty fd to `rate` bits per second through the kernel's
// termios2 interface, keeping every other setting. Returns 0 or the errno of the failure.
// On a pseudo-terminal the kernel only records the rate.
int SetCustomRate(int fd, unsigned rate);

} // namespace pcomm
