#pragma once
// Times of the references (Keyset, RawTwoQuery, LimitOffset ...) kept across benchmarks of one run,
// so that a window can report its ratio to each of them at the same place. A reference must run
// before the window that compares with it (registration order); the library's short trial runs are
// cold and coarse, so a ratio takes the median of the runs of at least 0.1 s.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace rowlark::bench {

// Runs body once per iteration of state; the wall-clock time of the whole loop, in seconds.
template <class Body>
double TimedLoop(benchmark::State& state, Body body) {
    const auto begin = std::chrono::steady_clock::now();
    for (auto _ : state) body();
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - begin;
    return spent.count();
}

class ReferenceRuns {
public:
    // Keeps the run of reference at where that took total seconds over the state's iterations.
    static void Remember(const benchmark::State& state, const std::string& reference, const std::string& where,
                         double total) {
        if (state.iterations() == 0 || total <= 0) return;
        Runs()[reference + "/" + where].push_back(Run{total, total / static_cast<double>(state.iterations())});
    }

    // The reference's time per window at where (median of its long runs, else its longest run);
    // nothing when it has not run.
    static std::optional<double> PerWindow(const std::string& reference, const std::string& where) {
        const auto found = Runs().find(reference + "/" + where);
        if (found == Runs().end() || found->second.empty()) return std::nullopt;
        constexpr double kLongRun = 0.1;
        std::vector<double> times;
        const Run* longest = &found->second.front();
        for (const Run& run : found->second) {
            if (run.total >= kLongRun) times.push_back(run.per_window);
            if (run.total > longest->total) longest = &run;
        }
        if (times.empty()) times.push_back(longest->per_window);
        const auto middle = times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2);
        std::nth_element(times.begin(), middle, times.end());
        return *middle;
    }

    // Sets counter to window / the reference's time (or its inverse), when the reference has run.
    static void SetRatio(benchmark::State& state, const char* counter, const std::string& reference,
                         const std::string& where, double window, bool reference_over_window = false) {
        const std::optional<double> time = PerWindow(reference, where);
        if (!time || *time <= 0 || window <= 0) return;
        state.counters[counter] = reference_over_window ? *time / window : window / *time;
    }

private:
    struct Run {
        double total = 0;       // seconds, the whole loop
        double per_window = 0;  // seconds per iteration
    };
    static std::map<std::string, std::vector<Run>>& Runs() {
        static std::map<std::string, std::vector<Run>> runs;
        return runs;
    }
};

}  // namespace rowlark::bench
