#include "controls/kznThreadTimer.h"

#include <QMetaObject>
#include <QPointer>

namespace {

class SteadyClock final : public TimerClock {
public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
    void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                   TimePoint deadline) override
    {
        wake.wait_until(lock, deadline);
    }
};

} // namespace

TimerClock& SteadyTimerClock()
{
    static SteadyClock clock;
    return clock;
}

TkznThreadTimer::TkznThreadTimer(QObject* parent, TimerClock& clock)
    : QObject(parent), m_clock(clock)
{
    StartWorker();
}

TkznThreadTimer::~TkznThreadTimer()
{
    StopWorker();
    // A step still queued for this object is discarded with it by QObject.
}

void TkznThreadTimer::SetActive(bool active)
{
    std::thread finished;
    {
        std::lock_guard lock(m_mutex);
        if (active == m_active)
            return;
        m_active = active;
        if (active && m_loopEnded)
            finished = std::move(m_worker);
    }
    if (finished.joinable()) {
        // The handler threw earlier; that worker has left its loop and ends
        // without needing this thread.
        finished.join();
        {
            std::lock_guard lock(m_mutex);
            m_loopEnded = false;
            m_stepPending = false;
        }
        StartWorker();
        return;
    }
    m_wake.notify_all();
}

void TkznThreadTimer::SetDelay(int milliseconds)
{
    m_delay.store(milliseconds);
}

void TkznThreadTimer::SetOnTimer(Handler handler)
{
    m_handler = std::move(handler);
}

void TkznThreadTimer::StartWorker()
{
    m_worker = std::thread([this] { WorkerLoop(); });
}

void TkznThreadTimer::StopWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_terminate = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void TkznThreadTimer::WorkerLoop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        // Inactive from the start, or frozen after the last step: the next
        // sleep starts only once the timer is active.
        m_wake.wait(lock, [this] { return m_active || m_terminate; });
        if (m_terminate || !Sleep(lock))
            return;

        // Posted under the lock so destruction cannot slip in between the
        // check above and the post; QObject drops the event if we are gone.
        const std::uint64_t ticket = ++m_ticket;
        m_stepPending = true;
        QMetaObject::invokeMethod(this, [this, ticket] { RunStep(ticket); }, Qt::QueuedConnection);
        m_wake.wait(lock, [this] { return !m_stepPending || m_terminate; });
        if (m_terminate || m_loopEnded)
            return;
    }
}

bool TkznThreadTimer::Sleep(std::unique_lock<std::mutex>& lock)
{
    const int delay = m_delay.load();
    const TimerClock::TimePoint due =
        m_clock.Now() + std::chrono::milliseconds(delay > 0 ? delay : 0);
    for (;;) {
        if (m_terminate)
            return false;
        if (!m_active) {
            // Frozen mid-sleep: the due time stays what it was.
            m_wake.wait(lock, [this] { return m_active || m_terminate; });
            continue;
        }
        if (m_clock.Now() >= due)
            return true;
        m_clock.WaitUntil(lock, m_wake, due);
    }
}

void TkznThreadTimer::RunStep(std::uint64_t ticket)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_stepPending || ticket != m_ticket || m_terminate)
            return;
    }
    bool failed = false;
    // The handler may delete this timer; then nothing more is touched.
    const QPointer<TkznThreadTimer> self(this);
    // A copy, so the handler may replace itself while it runs.
    const Handler handler = m_handler;
    if (m_active && handler) {
        try {
            handler(this);
        } catch (...) {
            failed = true;
        }
    }
    if (!self)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stepPending = false;
        if (failed)
            m_loopEnded = true;
    }
    m_wake.notify_all();
}
