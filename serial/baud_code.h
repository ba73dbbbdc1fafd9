#pragma once

namespace serial {

// The library's code for a baud rate: 75 -> 1 ... 921600 -> 19; 50 and any other rate -> 0.
int BaudCode(int baud);

} // namespace serial
