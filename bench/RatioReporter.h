#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <unistd.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Console output as usual, plus the speed of each listed benchmark relative
// to its baseline from the same run (1.00 = as fast as the baseline), by CPU
// time, which a busy machine disturbs less than wall time.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Pairs of (benchmark name, baseline name).
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs)
        : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular)
        , pairs_(std::move(pairs))
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        // The fastest repetition, or the median when only aggregates come.
        for (const Run& run : runs) {
            const std::string name = run.run_name.str();
            const double t = run.GetAdjustedCPUTime();
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !run.error_occurred) {
                if (!seconds_.count(name) || t < seconds_[name])
                    seconds_[name] = t;
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                seconds_[name] = t;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const
    {
        for (const auto& [name, baseline] : pairs_) {
            const auto a = seconds_.find(name);
            const auto b = seconds_.find(baseline);
            if (a == seconds_.end() || b == seconds_.end() || a->second <= 0)
                continue;
            std::printf("%s: %.2f of %s throughput\n", name.c_str(), b->second / a->second, baseline.c_str());
        }
    }

    // The other way round: the time each benchmark takes as a share of its
    // baseline's (0.50 = half as long).
    void PrintTimeRatios() const
    {
        for (const auto& [name, baseline] : pairs_) {
            const auto a = seconds_.find(name);
            const auto b = seconds_.find(baseline);
            if (a == seconds_.end() || b == seconds_.end() || b->second <= 0)
                continue;
            std::printf("%s: %.2f of the time of %s\n", name.c_str(), a->second / b->second, baseline.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::string>> pairs_;
    std::map<std::string, double> seconds_;
};
