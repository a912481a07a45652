// Time per update of a square Plasma texture, painted the plain way (six sine
// evaluations per texel) and by Plasma::update, and the ratio of the two.
#include "texgen/Plasma.h"
#include "texgen/tests/PlasmaReference.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::uint8_t kBase[3] = {40, 80, 160};

void perTexelFormula(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(side) * side * 4);
    std::int32_t t = 1000;
    for (auto _ : state) {
        plasmaref::fill(pixels.data(), side, side, kBase, t);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
        t += 16;
    }
}
BENCHMARK(perTexelFormula)->Arg(128)->Arg(256)->Unit(benchmark::kMicrosecond);

void plasmaUpdate(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    Plasma plasma(side, side, ":40:80:160");
    std::int32_t t = 1000;
    for (auto _ : state) {
        plasma.update(t);
        benchmark::DoNotOptimize(plasma.pixels);
        benchmark::ClobberMemory();
        t += 16;
    }
}
BENCHMARK(plasmaUpdate)->Arg(128)->Arg(256)->Unit(benchmark::kMicrosecond);

// Prints the usual table and remembers each run's wall-clock and CPU time per
// iteration so that the ratios can be printed after it (on a loaded machine the
// CPU time is the steadier of the two).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            times[run.benchmark_name()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        }
    }
    std::map<std::string, std::pair<double, double>> times;  // real, CPU
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* side : {"128", "256"}) {
        const auto plain = reporter.times.find(std::string("perTexelFormula/") + side);
        const auto fast = reporter.times.find(std::string("plasmaUpdate/") + side);
        if (plain == reporter.times.end() || fast == reporter.times.end()) continue;
        if (fast->second.first <= 0 || fast->second.second <= 0) continue;
        std::printf("%sx%s: per-texel formula / Plasma::update = %.1f (wall clock), %.1f (CPU)\n", side, side,
                    plain->second.first / fast->second.first, plain->second.second / fast->second.second);
    }
    benchmark::Shutdown();
    return 0;
}
