// The frame toolkit on a 15-byte frame and on a 4 KiB buffer: Crc16, ToHexText, ParseHexText.

#include "bench/table.h"
#include "frame/crc16.h"
#include "frame/hex_text.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

std::vector<std::uint8_t> RandomBytes(std::size_t count) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> bytes(count);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(random());
    }
    return bytes;
}

void Crc16(benchmark::State& state) {
    const auto bytes = RandomBytes(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(frame::Crc16(bytes, bytes.size()));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void ToHexText(benchmark::State& state) {
    const auto bytes = RandomBytes(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(frame::ToHexText(bytes));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void ParseHexText(benchmark::State& state) {
    const std::string text =
        frame::ToHexText(RandomBytes(static_cast<std::size_t>(state.range(0))));
    const frame::HexErrorReporter ignore = [](const std::string&, const std::string&) {};
    for (auto _ : state) {
        benchmark::DoNotOptimize(frame::ParseHexText(text, ignore));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

BENCHMARK(Crc16)->Arg(15)->Arg(4096);
BENCHMARK(ToHexText)->Arg(15)->Arg(4096);
BENCHMARK(ParseHexText)->Arg(15)->Arg(4096);

// One table row per benchmark: time per call and throughput.
class RowReporter : public benchmark::BenchmarkReporter {
  public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const double ns = run.GetAdjustedCPUTime(); // in ns: the default time unit
            const auto bytes = run.counters.find("bytes_per_second");
            std::string note;
            if (bytes != run.counters.end()) {
                note = bench::Fixed(bytes->second.value / (1 << 20), 0) + " MiB/s";
            }
            std::string name = run.benchmark_name();
            const auto slash = name.find('/');
            if (slash != std::string::npos) {
                name = name.substr(0, slash) + ", " + name.substr(slash + 1) + " bytes";
            }
            bench::Row(name,
                       ns < 1000 ? bench::Fixed(ns, 0) + " ns" : bench::Fixed(ns / 1000, 2) + " us",
                       note);
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RowReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
