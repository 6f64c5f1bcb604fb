#pragma once

// The mixer's cost as a share of one core, measured by the thread's CPU time
// so that other work on the machine does not count.
#include "audio/LessonAudio.h"
#include "audio/Mixer.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <vector>

inline double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// One iteration mixes one second of output at `rate`, playing beginMs..endMs
// of the open lesson again whenever it has ended; the counter "core_%" is
// the share of one core that took.
inline void MixSecondsOfSpan(benchmark::State& state, Mixer& mixer, LessonAudio& audio, int rate, int beginMs,
                             int endMs)
{
    std::vector<float> block(1024 * 2);
    double cpu = 0.0;
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        for (int done = 0; done < rate; done += 1024) {
            if (!audio.isPlaying())
                audio.PlaySentence(beginMs, endMs, seaNone);
            mixer.render(block.data(), 1024);
        }
        cpu += ThreadCpuSeconds() - start;
        benchmark::DoNotOptimize(block.data());
    }
    state.counters["core_%"] = 100.0 * cpu / double(state.iterations());
}
