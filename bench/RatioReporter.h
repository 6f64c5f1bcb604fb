#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <unistd.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The console's table, in colour only on a terminal: piped into a file or a
// log it stays plain text.
inline benchmark::ConsoleReporter::OutputOptions ConsoleOptions()
{
    return isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_Defaults : benchmark::ConsoleReporter::OO_Tabular;
}

// Every ratio of the benchmarks reads the same way: the time `name` takes as
// a multiple of the time `baseline` takes in the same run (0.50 = half as
// long), by the clock named.
inline void PrintTimeRatio(const std::string& name, double time, const std::string& baseline, double baselineTime,
                           const char* clock)
{
    if (time > 0 && baselineTime > 0)
        std::printf("%s: %.2f × %s time (%s)\n", name.c_str(), time / baselineTime, baseline.c_str(), clock);
}

// Console output as usual, plus each listed benchmark's time against its
// baseline's. CPU time by default, which a busy machine disturbs less; wall
// time for work that waits on the disk.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    enum class Clock { Cpu, Wall };

    // Pairs of (benchmark name, baseline name).
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs, Clock clock = Clock::Cpu)
        : ConsoleReporter(ConsoleOptions())
        , pairs_(std::move(pairs))
        , clock_(clock)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        // The fastest repetition, or the median when only aggregates come.
        for (const Run& run : runs) {
            const std::string name = run.run_name.str();
            const double t = clock_ == Clock::Wall ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
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
            if (a != seconds_.end() && b != seconds_.end())
                PrintTimeRatio(name, a->second, baseline, b->second, clock_ == Clock::Wall ? "wall" : "CPU");
        }
    }

private:
    std::vector<std::pair<std::string, std::string>> pairs_;
    Clock clock_;
    std::map<std::string, double> seconds_;
};
