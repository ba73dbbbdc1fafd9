// relay-bus-sim: relay modules and a wall switch on a pseudo-terminal, for trying the console
// without hardware. See sim/bus.h for what the devices answer.

#include "platform/portmap/portmap.h"
#include "sim/bus.h"
#include "sim/decoder.h"
#include "sim/options.h"
#include "sim/pty_line.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A frame in progress is given up after this long without a byte.
constexpr int kQuietGapMs = 50;

volatile sig_atomic_t stopRequested = 0;

void OnStopSignal(int) {
    stopRequested = 1;
}

int ListPorts() {
    for (const portmap::Entry& entry : portmap::ReadPortMap(portmap::DefaultRoots())) {
        std::printf("%s %s\n", entry.data.c_str(), entry.device.c_str());
    }
    return 0;
}

void Show(const std::vector<sim::DecoderEvent>& events, sim::Bus& bus, sim::PtyLine& line,
          bool quiet) {
    for (const sim::DecoderEvent& event : events) {
        const sim::Reply reply = bus.Handle(event);
        if (!quiet) {
            for (const std::string& text : reply.lines) {
                std::printf("%s\n", text.c_str());
            }
        }
        if (!reply.answer.empty() && !line.Write(reply.answer)) {
            std::fprintf(stderr, "relay-bus-sim: an answer could not be written: %s\n",
                         std::strerror(errno));
        }
    }
    std::fflush(stdout);
}

// Serves the line until SIGINT or SIGTERM. The two signals stay blocked except inside ppoll, so
// one that arrives between two waits is not lost.
int Serve(const sim::Options& options) {
    sigset_t stopSignals;
    sigset_t waitMask;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    sim::PtyLine line;
    auto made = sim::ComLink::Create(portmap::DefaultRoots().links, options.com, line.slavePath());
    if (const auto* error = std::get_if<std::string>(&made)) {
        std::fprintf(stderr, "relay-bus-sim: %s\n", error->c_str());
        return 1;
    }
    const sim::ComLink& link = std::get<sim::ComLink>(made);
    std::printf("relay-bus-sim: COM%d -> %s\n", link.com(), line.slavePath().c_str());
    std::fflush(stdout);

    sim::Decoder decoder;
    sim::Bus bus(options.modules, options.switchAddress);
    std::vector<unsigned char> chunk(4096);
    while (stopRequested == 0) {
        const timespec gap{0, kQuietGapMs * 1000L * 1000L};
        pollfd pfd{line.master(), POLLIN, 0};
        const int ready = ppoll(&pfd, 1, decoder.Pending() ? &gap : nullptr, &waitMask);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::fprintf(stderr, "relay-bus-sim: poll: %s\n", std::strerror(errno));
            return 1;
        }
        if (ready == 0) {
            Show(decoder.Flush(), bus, line, options.quiet);
            continue;
        }
        const ssize_t n = read(line.master(), chunk.data(), chunk.size());
        if (n > 0) {
            Show(decoder.Feed(std::span(chunk).first(static_cast<std::size_t>(n))), bus, line,
                 options.quiet);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            std::fprintf(stderr, "relay-bus-sim: read: %s\n", std::strerror(errno));
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const sim::ParsedOptions parsed = sim::ParseOptions(args);
    if (!parsed.options) {
        std::fprintf(stderr, "relay-bus-sim: %s\n%s", parsed.error.c_str(), sim::kUsage);
        return 2;
    }
    if (parsed.options->help) {
        std::printf("%s", sim::kUsage);
        return 0;
    }
    if (parsed.options->listPorts) {
        return ListPorts();
    }
    try {
        return Serve(*parsed.options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "relay-bus-sim: %s\n", e.what());
        return 1;
    }
}
