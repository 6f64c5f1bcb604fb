#pragma once

#include <QObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// The time source of a thread timer. The worker thread calls both members;
// the steady clock is the default, tests inject a clock they move by hand.
class TimerClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~TimerClock() = default;
    virtual TimePoint Now() const = 0;
    // Blocks on `wake` (with `lock` held on entry and on return) until
    // `deadline` has passed on this clock or `wake` is notified. May return
    // early; the caller checks again.
    virtual void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                           TimePoint deadline) = 0;
};

// The steady clock; shared by every timer that is given no clock.
TimerClock& SteadyTimerClock();

// Calls OnTimer on the GUI thread again and again, Delay milliseconds apart.
// A worker thread sleeps and hands each step to the GUI thread, then waits
// until the step has run, so calls never overlap and never queue up.
//
// Setting Active to false freezes the worker wherever it stands: a frozen
// sleep keeps its due time (reactivated after it, the next call comes at
// once), and a worker frozen after a step starts a fresh full sleep when
// reactivated. No handler call starts while Active is false or once
// destruction has begun, and destruction never waits for the GUI thread.
//
// A handler that throws ends the loop silently; the exception goes no
// further. Active keeps its value, and the next change of Active from false
// to true starts a fresh worker, so a stopped-and-restarted reading runs again.
//
// Thread use: construct, destroy and call every member on the GUI thread
// (the thread the object lives in, which must run an event loop). The
// handler runs there too and may change Active and Delay, or delete the timer.
class TkznThreadTimer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(TkznThreadTimer* sender)>;

    // `clock` (not owned) must outlive the timer.
    explicit TkznThreadTimer(QObject* parent = nullptr, TimerClock& clock = SteadyTimerClock());
    ~TkznThreadTimer() override;

    TkznThreadTimer(const TkznThreadTimer&) = delete;
    TkznThreadTimer& operator=(const TkznThreadTimer&) = delete;

    bool Active() const { return m_active; }
    void SetActive(bool active);

    // Milliseconds; taken at the start of the next sleep. Values below zero
    // sleep not at all, like zero.
    int Delay() const { return m_delay.load(); }
    void SetDelay(int milliseconds);

    void SetOnTimer(Handler handler);

private:
    void StartWorker();
    void StopWorker();
    void WorkerLoop();
    // Sleeps until the due time, frozen while inactive. False when told to end.
    bool Sleep(std::unique_lock<std::mutex>& lock);
    void RunStep(std::uint64_t ticket);

    TimerClock& m_clock;
    Handler m_handler;
    std::atomic<int> m_delay{100};

    // Shared with the worker, guarded by m_mutex.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_active = false;
    bool m_terminate = false;
    bool m_loopEnded = false;      // the handler threw; the worker has left its loop
    bool m_stepPending = false;    // a step was handed over and has not run yet
    std::uint64_t m_ticket = 0;    // tells a handed-over step from a stale one

    std::thread m_worker;
};
