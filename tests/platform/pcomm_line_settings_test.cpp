#include "platform/pcomm/line_settings.h"
#include "platform/pcomm/sio.h"

#include <gtest/gtest.h>

namespace {

constexpr tcflag_t kLineBits = CSIZE | CSTOPB | PARENB | PARODD | CMSPAR;

TEST(PcommLineSettings, ModeBitsSelectDataStopAndParity) {
    struct Case {
        int mode;
        tcflag_t flags;
    };
    const Case cases[] = {
        {SIO_BIT5, CS5},
        {SIO_BIT6, CS6},
        {SIO_BIT7, CS7},
        {SIO_BIT8, CS8},
        {SIO_BIT8 | SIO_STOP2, CS8 | CSTOPB},
        {SIO_BIT7 | SIO_P_ODD, CS7 | PARENB | PARODD},
        {SIO_BIT7 | SIO_P_EVEN, CS7 | PARENB},
        {SIO_BIT8 | SIO_P_MARK, CS8 | PARENB | PARODD | CMSPAR},
        {SIO_BIT8 | SIO_P_SPACE | SIO_STOP2, CS8 | PARENB | CMSPAR | CSTOPB},
        {0x1b, CS8 | PARENB},
    };
    for (const Case& c : cases) {
        // Start from the opposite settings so every field must be rewritten.
        termios tio{};
        tio.c_cflag = CS6 | CSTOPB | PARENB | PARODD | CMSPAR | CLOCAL | CREAD | B19200;
        ASSERT_TRUE(pcomm::ApplyMode(c.mode, tio)) << "mode " << c.mode;
        EXPECT_EQ(tio.c_cflag & kLineBits, c.flags) << "mode " << c.mode;
        EXPECT_EQ(tio.c_cflag & ~kLineBits, tcflag_t{CLOCAL | CREAD | B19200}) << "mode " << c.mode;
    }
}

TEST(PcommLineSettings, UnknownModeBitsAreRejectedWithoutChanges) {
    for (const int mode : {0x10, 0x20, 0x30, 0x13, 0x40, 0x80, 0x100, 0x43, -1}) {
        termios tio{};
        tio.c_cflag = CS7 | PARENB | CLOCAL;
        EXPECT_FALSE(pcomm::ApplyMode(mode, tio)) << "mode " << mode;
        EXPECT_EQ(tio.c_cflag, tcflag_t{CS7 | PARENB | CLOCAL}) << "mode " << mode;
    }
}

} // namespace
