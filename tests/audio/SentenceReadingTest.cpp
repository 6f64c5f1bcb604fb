#include "audio/SentenceReading.h"

#include "ReadingFakes.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

class SentenceReadingTest : public ::testing::Test {
protected:
    SentenceReadingTest() : audio(log), reading(sentences, audio, timer, [this] { return speakCount; })
    {
        FillSentences(sentences, {{1, "A", 0, 1000}, {2, "B", 1000, 2500}, {3, "C", 2500, 4000}});
    }

    // One pacing round: the timer's step, then the end of what it played.
    void Round()
    {
        ASSERT_TRUE(timer.active) << "a step came while the timer was disarmed";
        reading.TimerStep();
        if (audio.FinishSpan() == SpanEnd::Continue)
            reading.SpanEnded();
    }

    // The begin positions of the sentences played, as row letters.
    QString PlayedRows()
    {
        QString rows;
        for (const QString& call : log.Take()) {
            if (call.startsWith(QLatin1String("play 0-")))
                rows += 'A';
            else if (call.startsWith(QLatin1String("play 1000-")))
                rows += 'B';
            else if (call.startsWith(QLatin1String("play 2500-")))
                rows += 'C';
        }
        return rows;
    }

    // Starts the reading and lets the start's play reach its end.
    void Begin()
    {
        ASSERT_TRUE(reading.Start());
        ASSERT_EQ(audio.FinishSpan(), SpanEnd::Continue);
        reading.SpanEnded();
    }

    CallLog log;
    TLessonDataSet sentences;
    FakeSentenceAudio audio;
    FakeTimer timer;
    int speakCount = 3;
    SentenceReading reading;
};

TEST_F(SentenceReadingTest, PlaysEachRowItsCountTimesAndWrapsAfterTheLast)
{
    sentences.MoveTo(1);
    ASSERT_TRUE(reading.Start());
    EXPECT_EQ(audio.pending, SpanEnd::Continue);
    // The timer waits for the start's play to end.
    EXPECT_FALSE(timer.active);
    ASSERT_EQ(audio.FinishSpan(), SpanEnd::Continue);
    reading.SpanEnded();
    for (int i = 0; i < 9; ++i)
        Round();
    EXPECT_EQ(PlayedRows(), "BBBCCCAAAB");
    EXPECT_EQ(sentences.RecNo(), 1);
    EXPECT_EQ(reading.RepeatCounter(), 1);
}

// Plays and pauses on one time line: each play lasts `playMs` unless the next
// play cuts it, the timer fires `pauseMs` after it was armed.
struct TimedPlay {
    int row;
    int startMs;
    bool cut;
};

TEST_F(SentenceReadingTest, EveryRowIsHeardItsCountTimesInFullPauseApart)
{
    constexpr int playMs = 800;
    constexpr int pauseMs = 100;  // shorter than a sentence
    for (int count : {1, 3}) {
        SCOPED_TRACE(count);
        speakCount = count;
        reading.Stop();
        sentences.First();
        log.Take();

        QList<TimedPlay> plays;
        int now = 0;
        int armedAt = -1;
        auto notePlays = [&] {
            for (const QString& call : log.Take()) {
                if (!call.startsWith(QLatin1String("play ")))
                    continue;
                if (!plays.isEmpty() && now < plays.last().startMs + playMs)
                    plays.last().cut = true;
                plays.append({sentences.RecNo(), now, false});
            }
        };
        auto watchTimer = [&] {
            if (timer.active && armedAt < 0)
                armedAt = now;
            if (!timer.active)
                armedAt = -1;
        };
        ASSERT_TRUE(reading.Start());
        notePlays();
        watchTimer();
        while (plays.size() < 3 * count + 1) {
            const int spanEnd = audio.pending >= 0 ? plays.last().startMs + playMs : INT_MAX;
            const int step = armedAt >= 0 ? armedAt + pauseMs : INT_MAX;
            ASSERT_TRUE(spanEnd != INT_MAX || step != INT_MAX) << "the reading stalled";
            if (step < spanEnd) {
                now = step;
                reading.TimerStep();
            } else {
                now = spanEnd;
                if (audio.FinishSpan() == SpanEnd::Continue)
                    reading.SpanEnded();
            }
            watchTimer();
            notePlays();
        }
        QString rows;
        for (int i = 0; i < plays.size(); ++i) {
            rows += QChar('A' + plays[i].row);
            EXPECT_FALSE(plays[i].cut) << "play " << i;
            if (i > 0) {
                EXPECT_EQ(plays[i].startMs - plays[i - 1].startMs, playMs + pauseMs) << "play " << i;
            }
        }
        EXPECT_EQ(rows, count == 1 ? QString("ABCA") : QString("AAABBBCCCA"));
    }
}

TEST_F(SentenceReadingTest, SpeakCountIsReadAtEveryStep)
{
    speakCount = 1;
    Begin();
    Round();  // B
    speakCount = 2;
    Round();  // B again
    Round();  // C
    speakCount = 1;
    Round();  // A: the counter already reached the new count
    EXPECT_EQ(PlayedRows(), "ABBCA");
}

TEST_F(SentenceReadingTest, StopSilencesResetsAndIgnoresALateEnd)
{
    Begin();
    Round();
    ASSERT_EQ(reading.RepeatCounter(), 2);
    // The sentence has ended and its end message is still on its way.
    reading.TimerStep();
    const int lateEnd = audio.FinishSpan();
    log.Take();
    reading.Stop();
    EXPECT_EQ(log.Take(), QStringList{"stop"});
    EXPECT_FALSE(reading.Running());
    EXPECT_EQ(reading.RepeatCounter(), 0);
    EXPECT_FALSE(timer.active);

    ASSERT_EQ(lateEnd, SpanEnd::Continue);
    reading.SpanEnded();
    EXPECT_FALSE(timer.active);
    EXPECT_TRUE(log.calls.isEmpty());

    // Starting again begins where the reading stopped.
    const int stoppedAt = sentences.RecNo();
    ASSERT_TRUE(reading.Start());
    EXPECT_EQ(sentences.RecNo(), stoppedAt);
    EXPECT_EQ(PlayedRows(), "A");
}

TEST_F(SentenceReadingTest, ASingleSentenceReplacesThePendingEnd)
{
    Begin();
    // While a continuous play runs: the single sentence takes its end over,
    // so no re-arming follows and the reading waits, still running.
    reading.TimerStep();
    ASSERT_TRUE(reading.SpeakCurrent());
    EXPECT_EQ(audio.FinishSpan(), SpanEnd::None);
    EXPECT_FALSE(timer.active);
    EXPECT_TRUE(reading.Running());

    // During a pause: the next step comes as usual and cuts it off.
    reading.Stop();
    Begin();
    ASSERT_TRUE(reading.SpeakCurrent());
    log.Take();
    Round();
    EXPECT_EQ(log.Take(), QStringList{"play 0-1000 end1"});
    EXPECT_TRUE(timer.active);
}

TEST_F(SentenceReadingTest, NothingPlaysWithoutACurrentRow)
{
    TLessonDataSet inactive;
    SentenceReading unopened(inactive, audio, timer, [] { return 1; });
    FillSentences(sentences, {});
    for (SentenceReading* r : {&reading, &unopened}) {
        EXPECT_FALSE(r->SpeakCurrent());
        EXPECT_FALSE(r->PlayForCompare());
        EXPECT_FALSE(r->Start());
        EXPECT_FALSE(r->Running());
    }
    EXPECT_TRUE(log.calls.isEmpty());
    EXPECT_FALSE(timer.active);
}

TEST_F(SentenceReadingTest, CompareCarriesTheRecordingEndAction)
{
    sentences.MoveTo(2);
    ASSERT_TRUE(reading.PlayForCompare());
    EXPECT_EQ(log.Take(), QStringList{"play 2500-4000 end2"});
}

}  // namespace
