// Kept in its own file: <asm/termbits.h> clashes with <termios.h>.
#include "tests/platform/termios2_probe.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace test_support {

long OutputRate(int fd) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) {
        return -1;
    }
    return static_cast<long>(tio.c_ospeed);
}

} // namespace test_support
