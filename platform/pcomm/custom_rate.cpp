// <asm/termbits.h> defines its own `struct termios` and clashes with glibc's <termios.h>, so this
// translation unit is the only one that includes it.
#include "platform/pcomm/custom_rate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace pcomm {

int SetCustomRate(int fd, unsigned rate) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) {
        return errno;
    }
    // BOTHER in the output field, and in the input field shifted by IBSHIFT, means "use
    // c_ospeed / c_ispeed as the rate in bits per second".
    tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = rate;
    tio.c_ospeed = rate;
    if (ioctl(fd, TCSETS2, &tio) != 0) {
        return errno;
    }
    return 0;
}

} // namespace pcomm
