#include "serial/baud_code.h"

#include <array>

namespace serial {

int BaudCode(int baud) {
    // Index + 1 is the code.
    static constexpr std::array kRates{75,    110,    134,    150,    300,   600,   1200,
                                       1800,  2400,   4800,   7200,   9600,  19200, 38400,
                                       57600, 115200, 230400, 460800, 921600};
    for (std::size_t i = 0; i < kRates.size(); ++i) {
        if (kRates[i] == baud) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

} // namespace serial
