#include "audio/FollowReading.h"

#include "ReadingFakes.h"

#include <gtest/gtest.h>

namespace {

TEST(FollowReadingTest, TakeStopsIntoPlaybackOrSilentlyAndEnablesCompare)
{
    CallLog log;
    FakeRecorder recorder(log);
    FollowReading follow(recorder, QStringLiteral("/data/tmpwav.wav"));
    EXPECT_FALSE(follow.CanCompare());

    follow.StartTake();
    EXPECT_TRUE(follow.Recording());
    EXPECT_FALSE(follow.CanCompare());
    EXPECT_EQ(log.Take(), (QStringList{"rec open /data/tmpwav.wav", "rec record"}));
    follow.StopTake();
    EXPECT_EQ(log.Take(), (QStringList{"rec stop", "rec rewind", "rec play"}));
    EXPECT_TRUE(follow.CanCompare());

    // A second take disables compare while it runs; leaving the page ends it unheard.
    follow.StartTake();
    EXPECT_FALSE(follow.CanCompare());
    log.Take();
    follow.EndTakeSilently();
    EXPECT_EQ(log.Take(), QStringList{"rec stop"});
    EXPECT_TRUE(follow.CanCompare());
    follow.EndTakeSilently();
    follow.StopTake();
    EXPECT_TRUE(log.calls.isEmpty());
}

TEST(FollowReadingTest, LeavingThePageDuringTheFirstTakeEnablesCompare)
{
    CallLog log;
    FakeRecorder recorder(log);
    FollowReading follow(recorder, QStringLiteral("t.wav"));
    follow.StartTake();
    follow.EndTakeSilently();
    EXPECT_TRUE(follow.CanCompare());
}

TEST(FollowReadingTest, AFailedStartLeavesThePageIdle)
{
    CallLog log;
    FakeRecorder recorder(log);
    FollowReading follow(recorder, QStringLiteral("t.wav"));

    // The model word cannot be opened: the recorder is never touched.
    EXPECT_THROW(follow.StartTake([] { throw std::runtime_error("文件不存在！"); }), std::runtime_error);
    EXPECT_FALSE(follow.Recording());
    EXPECT_FALSE(follow.CanCompare());
    EXPECT_TRUE(log.calls.isEmpty());

    // The recorder cannot be opened.
    recorder.failOpen = true;
    EXPECT_THROW(follow.StartTake(), std::runtime_error);
    EXPECT_FALSE(follow.Recording());

    recorder.failOpen = false;
    bool prepared = false;
    follow.StartTake([&] { prepared = true; });
    EXPECT_TRUE(prepared);
    EXPECT_TRUE(follow.Recording());
}

TEST(FollowReadingTest, HooksSeeATakeStartOnceRecordingAndEndOnceStopped)
{
    CallLog log;
    FakeRecorder recorder(log);
    FollowReading follow(recorder, QStringLiteral("t.wav"));
    follow.SetTakeHooks({[&] { log.calls << QStringLiteral("started"); }, [&] { log.calls << QStringLiteral("ended"); }});

    follow.StartTake();
    follow.StopTake();
    EXPECT_EQ(log.Take(), (QStringList{"rec open t.wav", "rec record", "started", "rec stop", "ended", "rec rewind",
                                       "rec play"}));
    follow.StartTake();
    follow.EndTakeSilently();
    EXPECT_EQ(log.Take(), (QStringList{"rec open t.wav", "rec record", "started", "rec stop", "ended"}));

    // A take that never started is neither.
    recorder.failOpen = true;
    EXPECT_THROW(follow.StartTake(), std::runtime_error);
    follow.StopTake();
    EXPECT_TRUE(log.calls.isEmpty());
}

}  // namespace
