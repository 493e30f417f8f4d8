#pragma once
// Runs a program's benchmarks and closes with one line per row: our CPU-time median, the best
// peer's and each limit's, and our time as a multiple of them. A benchmark named "Row/who"
// belongs to row Row; who is "morna" (ours), a limit (memcpy, memset) or a peer (anything
// else). Register with Repeated() so that every figure is a median.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace morna::bench {

inline benchmark::internal::Benchmark* Repeated(benchmark::internal::Benchmark* b) {
    return b->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Aggregate || r.aggregate_name != "median") continue;
            const std::string& name = r.run_name.function_name;
            const size_t slash = name.rfind('/');
            if (slash == std::string::npos) continue;
            Row& row = rows_[name.substr(0, slash)];
            if (row.order < 0) row.order = next_++;
            row.us[name.substr(slash + 1)] = r.GetAdjustedCPUTime();  // in the benchmark's unit
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::vector<std::pair<int, const std::string*>> order;
        for (const auto& [name, row] : rows_) order.emplace_back(row.order, &name);
        std::sort(order.begin(), order.end());
        std::printf("\n%-44s %10s %26s %20s\n", "row (CPU us, medians)", "morna", "best peer", "limit");
        for (const auto& [_, name] : order) {
            const Row& row = rows_[*name];
            const auto ours = row.us.find("morna");
            if (ours == row.us.end()) continue;
            std::string peer = "-", limit = "-";
            const char* bestName = nullptr;
            double best = 0;
            for (const auto& [who, us] : row.us) {
                if (who == "morna") continue;
                char buf[64];
                if (who == "memcpy" || who == "memset") {
                    std::snprintf(buf, sizeof buf, "%s %.1f (%.2fx)", who.c_str(), us, ours->second / us);
                    limit = buf;
                } else if (!bestName || us < best) {
                    bestName = who.c_str();
                    best = us;
                }
            }
            if (bestName) {
                char buf[64];
                std::snprintf(buf, sizeof buf, "%s %.1f (%.2fx)", bestName, best, ours->second / best);
                peer = buf;
            }
            std::printf("%-44s %10.1f %26s %20s\n", name->c_str(), ours->second, peer.c_str(), limit.c_str());
        }
    }

private:
    struct Row {
        int order = -1;
        std::map<std::string, double> us;
    };
    std::map<std::string, Row> rows_;
    int next_ = 0;
};

// The contenders' repetitions run in turn (random interleaving) unless the command line says
// otherwise: on a shared machine a burst of load then falls on every contender of a row, not on
// the five repetitions of one.
inline int RunWithRatios(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    const bool given = std::any_of(args.begin() + 1, args.end(), [](const char* a) {
        return std::string(a).rfind("--benchmark_enable_random_interleaving", 0) == 0;
    });
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    if (!given) args.insert(args.begin() + 1, interleave);
    argc = static_cast<int>(args.size());
    args.push_back(nullptr);
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace morna::bench
