#include "frame/frame.h"

#include "frame/crc16.h"

namespace frame {

void PutWord(Frame& f, std::size_t index, std::uint32_t v) {
    f.at(index) = HighByte(v);
    f.at(index + 1) = LowByte(v);
}

void SealFrame(Frame& f) {
    const std::size_t n = f.size() - 2;
    const std::uint16_t crc = Crc16(f, n);
    f[n] = LowByte(crc);
    f[n + 1] = HighByte(crc);
}

Frame CommandFrame(Byte address, CommandHead head, Byte code, std::span<const Byte> payload) {
    Frame f(8 + payload.size(), 0);
    f[0] = address;
    f[1] = head.first;
    f[2] = head.second;
    f[3] = code;
    std::size_t i = 4;
    for (Byte b : payload) {
        f[i++] = b;
    }
    PutWord(f, i, kTrailerWord);
    SealFrame(f);
    return f;
}

} // namespace frame
