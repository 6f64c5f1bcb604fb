#include "controls/kznThreadTimer.h"

#include "EventPump.h"
#include "ManualClock.h"
#include "support/FileEnvironment.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <thread>

using std::chrono::milliseconds;

namespace {

class CoreAppEnvironment : public AppEnvironment {
public:
    explicit CoreAppEnvironment(std::source_location where = std::source_location::current())
        : AppEnvironment(Kind::Core, where)
    {
    }
};

const auto* const timerApp = ::testing::AddGlobalTestEnvironment(new CoreAppEnvironment);

// A timer on a hand-moved clock that counts its calls.
struct ManualTimer {
    explicit ManualTimer(int delay)
    {
        timer->SetDelay(delay);
        timer->SetOnTimer([this](TkznThreadTimer* sender) {
            EXPECT_EQ(sender, timer.get());
            ++calls;
            if (onCall)
                onCall();
        });
    }

    // Advances the clock and gives the GUI thread time to run what falls due.
    void AdvanceExpectingNoCall(int ms)
    {
        const int before = calls;
        clock.Advance(ms);
        PumpFor(40);
        EXPECT_EQ(calls, before) << "at " << clock.Elapsed().count() << " ms";
    }
    ::testing::AssertionResult AdvanceExpectingCall(int ms)
    {
        const int before = calls;
        clock.Advance(ms);
        if (PumpUntil([&] { return calls == before + 1; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "no call at " << clock.Elapsed().count() << " ms";
    }

    ManualClock clock;
    std::unique_ptr<TkznThreadTimer> timer = std::make_unique<TkznThreadTimer>(nullptr, clock);
    int calls = 0;
    std::function<void()> onCall;
};

} // namespace

TEST(ThreadTimer, StartsInactiveWithDefaultDelay)
{
    TkznThreadTimer timer;
    EXPECT_FALSE(timer.Active());
    EXPECT_EQ(timer.Delay(), 100);
}

TEST(ThreadTimer, FirstCallOneDelayAfterActivationThenEveryDelay)
{
    ManualTimer t(1000);
    t.AdvanceExpectingNoCall(5000); // inactive: the clock means nothing yet
    t.timer->SetActive(true);
    t.timer->SetActive(true); // a second write changes nothing
    ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(6000)));
    t.AdvanceExpectingNoCall(999);
    EXPECT_TRUE(t.AdvanceExpectingCall(1));
    ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(7000)));
    t.AdvanceExpectingNoCall(999);
    EXPECT_TRUE(t.AdvanceExpectingCall(1));
}

TEST(ThreadTimer, NewDelayTakesEffectFromTheNextSleep)
{
    ManualTimer t(1000);
    t.timer->SetActive(true);
    ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(1000)));
    t.timer->SetDelay(300);
    EXPECT_EQ(t.timer->Delay(), 300);
    t.AdvanceExpectingNoCall(500);
    EXPECT_TRUE(t.AdvanceExpectingCall(500));
    ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(1300)));
    EXPECT_TRUE(t.AdvanceExpectingCall(300));
}

TEST(ThreadTimer, HandlerThatDeactivatesGetsAFullDelayAfterReactivation)
{
    ManualTimer t(1000);
    t.onCall = [&] { t.timer->SetActive(false); };
    t.timer->SetActive(true);
    ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(1000)));
    EXPECT_TRUE(t.AdvanceExpectingCall(1000));
    t.AdvanceExpectingNoCall(10000);
    t.timer->SetActive(true);
    ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(12000)));
    t.AdvanceExpectingNoCall(999);
    EXPECT_TRUE(t.AdvanceExpectingCall(1));
}

TEST(ThreadTimer, SleepFrozenFromOutsideKeepsItsDueTime)
{
    struct Case {
        int pausedMs;
        int remainingAfterReactivation; // 0: called at once
    };
    for (const Case c : {Case{5000, 0}, Case{2000, 0}, Case{1000, 1000}}) {
        SCOPED_TRACE(c.pausedMs);
        ManualTimer t(3000);
        t.timer->SetActive(true);
        ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(3000)));
        t.AdvanceExpectingNoCall(1000);
        t.timer->SetActive(false);
        t.timer->SetActive(false);
        t.AdvanceExpectingNoCall(c.pausedMs);
        t.timer->SetActive(true);
        if (c.remainingAfterReactivation == 0) {
            EXPECT_TRUE(PumpUntil([&] { return t.calls == 1; }));
        } else {
            t.AdvanceExpectingNoCall(c.remainingAfterReactivation - 1);
            EXPECT_TRUE(t.AdvanceExpectingCall(1));
        }
    }
}

TEST(ThreadTimer, DeactivationAfterTheHandOverPreventsTheCall)
{
    ManualTimer t(1000);
    t.timer->SetActive(true);
    ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(1000)));
    t.clock.Advance(1000);
    // Let the worker hand the step over without running the GUI thread.
    std::this_thread::sleep_for(milliseconds(200));
    t.timer->SetActive(false);
    PumpFor(40);
    EXPECT_EQ(t.calls, 0);
    t.timer->SetActive(true);
    ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(2000)));
    EXPECT_TRUE(t.AdvanceExpectingCall(1000));
}

TEST(ThreadTimer, WithoutHandlerTheWorkerStillLoops)
{
    ManualTimer t(1000);
    t.timer->SetOnTimer(nullptr);
    t.timer->SetActive(true);
    for (int due = 1000; due <= 3000; due += 1000) {
        ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(due)));
        t.clock.Advance(1000);
    }
    int calls = 0;
    t.timer->SetOnTimer([&](TkznThreadTimer*) { ++calls; });
    ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(4000)));
    t.clock.Advance(1000);
    EXPECT_TRUE(PumpUntil([&] { return calls == 1; }));
}

TEST(ThreadTimer, ThrowingHandlerEndsTheLoopUntilActiveChangesToTrue)
{
    ManualTimer t(1000);
    t.onCall = [&] {
        if (t.calls == 1)
            throw std::runtime_error("word audio missing");
    };
    t.timer->SetActive(true);
    ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(1000)));
    EXPECT_TRUE(t.AdvanceExpectingCall(1000));
    t.AdvanceExpectingNoCall(5000);
    // Writes after the error do no harm; writing true again is no change.
    t.timer->SetDelay(500);
    t.timer->SetActive(true);
    t.AdvanceExpectingNoCall(5000);
    EXPECT_TRUE(t.timer->Active());

    t.timer->SetActive(false);
    t.timer->SetActive(true);
    ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(11500)));
    t.AdvanceExpectingNoCall(499);
    EXPECT_TRUE(t.AdvanceExpectingCall(1));
    ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(12000)));
    EXPECT_TRUE(t.AdvanceExpectingCall(500));
}

TEST(ThreadTimer, DestructionInAnyStateEndsWithoutFurtherCalls)
{
    enum class State { NeverActive, Sleeping, FrozenInSleep, FrozenAfterStep, HandedOver };
    for (const State state : {State::NeverActive, State::Sleeping, State::FrozenInSleep,
                              State::FrozenAfterStep, State::HandedOver}) {
        SCOPED_TRACE(static_cast<int>(state));
        ManualTimer t(1000);
        int expected = 0;
        if (state != State::NeverActive) {
            t.timer->SetActive(true);
            ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(1000)));
        }
        if (state == State::FrozenInSleep)
            t.timer->SetActive(false);
        if (state == State::FrozenAfterStep) {
            t.onCall = [&] { t.timer->SetActive(false); };
            ASSERT_TRUE(t.AdvanceExpectingCall(1000));
            expected = 1;
        }
        if (state == State::HandedOver) {
            t.clock.Advance(1000);
            std::this_thread::sleep_for(milliseconds(200));
        }
        t.timer.reset();
        t.clock.Advance(10000);
        PumpFor(40);
        EXPECT_EQ(t.calls, expected);
    }
}

TEST(ThreadTimer, HandlerMayDestroyItsTimer)
{
    ManualTimer t(1000);
    t.onCall = [&] { t.timer.reset(); };
    t.timer->SetActive(true);
    ASSERT_TRUE(t.clock.WaitForSleepUntil(milliseconds(1000)));
    EXPECT_TRUE(t.AdvanceExpectingCall(1000));
    EXPECT_EQ(t.timer, nullptr);
    t.AdvanceExpectingNoCall(5000);
}

// Real time, with margins wide enough for a loaded machine.
TEST(ThreadTimerRealTime, ZeroAndShortDelaysKeepCalling)
{
    for (const int delay : {0, 5}) {
        SCOPED_TRACE(delay);
        TkznThreadTimer timer;
        int calls = 0;
        bool inside = false;
        timer.SetOnTimer([&](TkznThreadTimer*) {
            EXPECT_FALSE(inside) << "calls overlap";
            inside = true;
            ++calls;
            QCoreApplication::processEvents(); // a handler that runs the loop itself
            inside = false;
        });
        timer.SetDelay(delay);
        timer.SetActive(true);
        EXPECT_TRUE(PumpUntil([&] { return calls >= 20; }));
        timer.SetActive(false);
        const int atStop = calls;
        PumpFor(50);
        EXPECT_EQ(calls, atStop);
    }
}

TEST(ThreadTimerRealTime, CreatingAndDestroyingBusyTimersNeverHangs)
{
    for (int round = 0; round < 100; ++round) {
        auto timer = std::make_unique<TkznThreadTimer>();
        bool destroyed = false;
        timer->SetDelay(round % 3);
        timer->SetOnTimer([&](TkznThreadTimer*) { EXPECT_FALSE(destroyed); });
        timer->SetActive(true);
        if (round % 2)
            QCoreApplication::processEvents();
        if (round % 5 == 0)
            timer->SetActive(false);
        timer.reset();
        destroyed = true;
        QCoreApplication::processEvents();
    }
}
