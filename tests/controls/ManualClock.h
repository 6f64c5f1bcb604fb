#pragma once

#include "controls/kznThreadTimer.h"

#include "EventPump.h"

#include <chrono>
#include <mutex>

// A clock that moves only when the test says so. The worker polls it every
// millisecond of real time, so Advance needs no access to the timer's lock.
class ManualClock final : public TimerClock {
public:
    TimePoint Now() const override
    {
        std::lock_guard lock(m_mutex);
        return m_now;
    }

    void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                   TimePoint deadline) override
    {
        {
            std::lock_guard own(m_mutex);
            m_lastDeadline = deadline;
            if (m_now >= deadline)
                return;
        }
        wake.wait_for(lock, std::chrono::milliseconds(1));
    }

    void Advance(int milliseconds)
    {
        std::lock_guard lock(m_mutex);
        m_now += std::chrono::milliseconds(milliseconds);
    }

    // Milliseconds since the clock's start, for readable expectations.
    std::chrono::milliseconds Elapsed() const
    {
        std::lock_guard lock(m_mutex);
        return std::chrono::duration_cast<std::chrono::milliseconds>(m_now - TimePoint{});
    }

    // True while the worker sleeps towards `elapsed` ms after the clock's start.
    bool SleepsUntil(std::chrono::milliseconds elapsed) const
    {
        std::lock_guard lock(m_mutex);
        return m_lastDeadline == TimePoint{} + elapsed;
    }

    // Runs the GUI thread's events (steps are handed over there) until the
    // worker sleeps towards `elapsed`; false after a generous real-time limit.
    bool WaitForSleepUntil(std::chrono::milliseconds elapsed) const
    {
        return PumpUntil([&] { return SleepsUntil(elapsed); });
    }

private:
    mutable std::mutex m_mutex;
    TimePoint m_now{};
    TimePoint m_lastDeadline{};
};
