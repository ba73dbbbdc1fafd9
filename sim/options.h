#pragma once
// The command line of relay-bus-sim.

#include "frame/frame.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct Options {
    std::optional<int> com;              // --com N; nullopt: first free from 90 up
    std::vector<frame::Byte> modules{1}; // --modules LIST, ascending, no repeats
    frame::Byte switchAddress = 1;       // --switch ADDR
    bool quiet = false;                  // --quiet: no monitor lines
    bool listPorts = false;              // --list-ports
    bool help = false;                   // --help
};

struct ParsedOptions {
    std::optional<Options> options; // nullopt: `error` says why
    std::string error;
};

// The arguments after the program name.
ParsedOptions ParseOptions(std::span<const std::string_view> args);

extern const char* const kUsage;

} // namespace sim
