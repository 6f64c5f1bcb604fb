#pragma once

#include <QString>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Runs task(i) for every i in [0, count) on up to `jobs` threads, this one
// included. `task` returns an error text or nothing. After the first failure
// no new index is started; the result is the error of the lowest failing
// index, so messages do not depend on thread timing.
template <typename Task>
std::optional<QString> RunParallelTasks(std::size_t count, int jobs, Task task)
{
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex errorMutex;
    std::size_t firstFailure = count;
    std::optional<QString> error;

    auto work = [&] {
        for (std::size_t i = next++; i < count && !failed; i = next++) {
            std::optional<QString> message = task(i);
            if (!message)
                continue;
            failed = true;
            const std::lock_guard lock(errorMutex);
            if (i < firstFailure) {
                firstFailure = i;
                error = std::move(message);
            }
        }
    };
    std::vector<std::thread> workers;
    for (int j = 1; j < std::clamp(jobs, 1, 8); ++j)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    return error;
}
