#include "sim/options.h"

#include <charconv>
#include <set>

namespace sim {
namespace {

constexpr int kMaxCom = 255;
constexpr int kMaxAddress = 247;

std::optional<int> Number(std::string_view text, int min, int max) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < min ||
        value > max) {
        return std::nullopt;
    }
    return value;
}

// "1-3", "1,4,7" or a mix: "1-3,7".
std::optional<std::vector<frame::Byte>> AddressList(std::string_view text) {
    std::set<frame::Byte> addresses;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        const std::size_t dash = item.find('-');
        const auto first = Number(item.substr(0, dash), 1, kMaxAddress);
        const auto last =
            dash == std::string_view::npos ? first : Number(item.substr(dash + 1), 1, kMaxAddress);
        if (!first || !last || *last < *first) {
            return std::nullopt;
        }
        for (int a = *first; a <= *last; ++a) {
            addresses.insert(static_cast<frame::Byte>(a));
        }
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    return std::vector<frame::Byte>(addresses.begin(), addresses.end());
}

} // namespace

const char* const kUsage =
    "usage: relay-bus-sim [--com N] [--modules LIST] [--switch ADDR] [--quiet]\n"
    "       relay-bus-sim --list-ports\n"
    "\n"
    "Simulates relay modules and a wall switch on a pseudo-terminal linked as COM<N>.\n"
    "  --com N          link the line as COM<N> (1-255; default: first free from 90)\n"
    "  --modules LIST   relay module addresses, e.g. 1-3 or 1,4,7 (1-247; default 1)\n"
    "  --switch ADDR    the switch's address (1-247; default 1)\n"
    "  --quiet          no line per frame\n"
    "  --list-ports     print the COM ports as the console lists them, and exit\n"
    "  --help           this text\n";

ParsedOptions ParseOptions(std::span<const std::string_view> args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        std::optional<std::string_view> value;
        if (const std::size_t eq = name.find('='); name.starts_with("--") && eq != name.npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        const bool takesValue = name == "--com" || name == "--modules" || name == "--switch";
        if (takesValue && !value) {
            if (i + 1 == args.size()) {
                return {std::nullopt, std::string(name) + " needs a value"};
            }
            value = args[++i];
        } else if (!takesValue && value) {
            return {std::nullopt, std::string(name) + " takes no value"};
        }
        const auto bad = [&](const char* expected) {
            return ParsedOptions{std::nullopt, std::string(name) + " " + std::string(*value) +
                                                   ": expected " + expected};
        };

        if (name == "--com") {
            options.com = Number(*value, 1, kMaxCom);
            if (!options.com) {
                return bad("a COM number 1-255");
            }
        } else if (name == "--modules") {
            auto list = AddressList(*value);
            if (!list) {
                return bad("addresses 1-247 like 1-3 or 1,4,7");
            }
            options.modules = std::move(*list);
        } else if (name == "--switch") {
            const auto address = Number(*value, 1, kMaxAddress);
            if (!address) {
                return bad("an address 1-247");
            }
            options.switchAddress = static_cast<frame::Byte>(*address);
        } else if (name == "--quiet") {
            options.quiet = true;
        } else if (name == "--list-ports") {
            options.listPorts = true;
        } else if (name == "--help" || name == "-h") {
            options.help = true;
        } else {
            return {std::nullopt, "unknown argument " + std::string(args[i])};
        }
    }
    return {options, {}};
}

} // namespace sim
