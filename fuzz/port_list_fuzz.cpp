// The port list read from any port map: values of any name length, data of any bytes (with or
// without a terminating zero, exactly 512 bytes, longer), in any order. Every listed port is a
// value whose data, up to its first zero and upper-cased, starts with "COM"; its number is
// TextToInt of what follows; no such value before the first over-long one is left out, and
// nothing after that one is listed. The combo box shows exactly the listed ports, with nothing
// selected.
//
// Input: one byte of flags (bit 0: the map cannot be opened), then values, each as
//   name length (2 bytes, little-endian), name, data length (2 bytes), data,
//   device length (1 byte), device;
// a length is cut to the bytes that are left.

#include "frame/text_number.h"
#include "fuzz/fuzz_check.h"
#include "serial/port_list.h"
#include "tests/fakes/fake_controls.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    bool empty() const { return rest_.empty(); }
    std::uint8_t Byte() { return static_cast<std::uint8_t>(Take(1).empty() ? 0 : taken_[0]); }
    std::size_t Length16() {
        const std::string_view two = Take(2);
        std::size_t n = 0;
        for (std::size_t i = 0; i < two.size(); ++i) {
            n |= static_cast<std::size_t>(static_cast<unsigned char>(two[i])) << (8 * i);
        }
        return n;
    }
    std::string Bytes(std::size_t n) { return std::string(Take(n)); }

  private:
    std::string_view Take(std::size_t n) {
        taken_ = rest_.substr(0, n);
        rest_.remove_prefix(taken_.size());
        return taken_;
    }

    std::string_view rest_;
    std::string_view taken_;
};

class FuzzedPortMap final : public serial::PortMapSource {
  public:
    std::optional<std::vector<serial::PortMapValue>> values;
    std::optional<std::vector<serial::PortMapValue>> ReadValues() override { return values; }
};

bool OverLong(const serial::PortMapValue& value) {
    // A name needs room for its terminating zero; the data may fill the buffer exactly.
    return value.name.size() >= serial::kMaxValueSize || value.data.size() > serial::kMaxValueSize;
}

// The data as the port list reads it: up to its first zero, ASCII letters upper-cased.
std::string DataText(const std::string& data) {
    std::string text;
    for (const char c : data) {
        if (c == '\0') {
            break;
        }
        text += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    FuzzedPortMap map;
    const bool unreadable = (input.Byte() & 1) != 0;
    if (!unreadable) {
        map.values.emplace();
        while (!input.empty()) {
            serial::PortMapValue value;
            value.name = input.Bytes(input.Length16());
            value.data = input.Bytes(input.Length16());
            value.device = input.Bytes(input.Byte());
            map.values->push_back(std::move(value));
        }
    }

    std::vector<serial::ComPort> listed{{7, "left over"}};
    const bool read = serial::ListComPorts(listed, map);
    FUZZ_CHECK(read == !unreadable);

    std::size_t next = 0; // the next listed port to account for
    if (map.values) {
        for (const auto& value : *map.values) {
            if (OverLong(value)) {
                break;
            }
            const std::string text = DataText(value.data);
            if (!std::string_view(text).starts_with("COM")) {
                continue;
            }
            FUZZ_CHECK(next < listed.size());
            FUZZ_CHECK(listed[next].number == frame::TextToInt(std::string_view(text).substr(3)));
            FUZZ_CHECK(listed[next].device == value.device);
            ++next;
        }
    }
    FUZZ_CHECK(next == listed.size());

    fakes::FakeComboBox box({"COM99"}, 0);
    serial::FillPortList(box, map);
    FUZZ_CHECK(box.items().size() == listed.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        FUZZ_CHECK(box.items()[i] == "COM" + std::to_string(listed[i].number));
        FUZZ_CHECK(box.toolTip(static_cast<int>(i)) == listed[i].device);
    }
    FUZZ_CHECK(box.selectedIndex() == -1);
    return 0;
}
