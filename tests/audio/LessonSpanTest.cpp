// Sentence spans rendered straight from the mixer, compared frame by frame
// with a full decode of the same recording.
#include "SpanFixture.h"

#include <gtest/gtest.h>
#include <samplerate.h>

#include <algorithm>
#include <functional>
#include <cmath>

namespace {

const auto* const spanApp = ::testing::AddGlobalTestEnvironment(new AudioTestApp);

constexpr int kLessonRate = 44100;

// The span resampled in one piece by the same converter.
std::vector<float> Resampled(const std::vector<float>& in, double ratio, int channels = 2)
{
    const long inFrames = static_cast<long>(in.size()) / channels;
    std::vector<float> out(static_cast<size_t>((inFrames * ratio + 64) * channels));
    SRC_DATA data{};
    data.data_in = in.data();
    data.input_frames = inFrames;
    data.data_out = out.data();
    data.output_frames = static_cast<long>(out.size()) / channels;
    data.src_ratio = ratio;
    data.end_of_input = 1;
    if (src_simple(&data, SRC_SINC_FASTEST, channels) != 0)
        return {};
    out.resize(static_cast<size_t>(data.output_frames_gen * channels));
    return out;
}

class LessonSpanTest : public SpanFixture {};

TEST_F(LessonSpanTest, GaplessDecodeGivesBackEveryEncodedFrame)
{
    EXPECT_EQ(lengthFrames(), 4 * kLessonRate);
    EXPECT_EQ(audio.nativeRate(), kLessonRate);
}

TEST_F(LessonSpanTest, SpanEndsOnItsLastFrameAtEverySpeed)
{
    struct Case {
        std::vector<int> speeds;  // applied in turn before the span plays
        int beginMs;
        int endMs;
    };
    const Case cases[] = {
        {{10}, 0, 700},
        {{10}, 1234, 2345},
        {{12, 8, 10}, 1500, 1501},  // back at 10 the native rate is exact again
        {{12}, 987, 2100},
        {{8}, 333, 1200},
        {{8, 12}, 2000, 3999},  // 120 % of the native rate, not 96 %
        {{12, 0}, 2500, 2600},  // no such speed: the native rate
    };
    for (const Case& c : cases) {
        const int speed = c.speeds.back() == 0 ? 10 : c.speeds.back();
        SCOPED_TRACE(::testing::Message() << "span " << c.beginMs << ".." << c.endMs << " speed " << speed);
        for (int speed : c.speeds)
            audio.ApplySpeed(speed);
        audio.PlaySentence(c.beginMs, c.endMs, seaContinue);
        const std::vector<float> out = RenderUntilStopped(mixer, audio);
        const std::vector<float> span = Slice(reference, frame(c.beginMs), frame(c.endMs));

        if (speed == 10) {
            ASSERT_GE(out.size(), span.size());
            EXPECT_EQ(MaxDifference(out, span, span.size()), 0.0f);
            EXPECT_TRUE(AllSilent(out, span.size())) << "a frame past the span's end was played";
        } else {
            const double ratio = 10.0 / speed;
            const std::vector<float> expected = Resampled(span, ratio);
            ASSERT_GE(out.size(), expected.size());
            EXPECT_LT(MaxDifference(out, expected, expected.size()), 1e-4f);
            EXPECT_TRUE(AllSilent(out, expected.size()));
            // The comparison notices a span that runs on by a few frames.
            const std::vector<float> longer = Resampled(Slice(reference, frame(c.beginMs), frame(c.endMs) + 8), ratio);
            EXPECT_GT(MaxDifference(out, longer, expected.size()), 1e-3f);
        }
        DeliverQueuedCalls();
        ASSERT_EQ(done.size(), 1);
        EXPECT_EQ(done.takeFirst().at(0).toInt(), seaContinue);
    }
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(LessonSpanTest, NewSpanCancelsTheEndOfTheOneItInterrupts)
{
    // Cut off in the middle.
    audio.PlaySentence(100, 2000, seaContinue);
    Render(mixer, 4000);
    audio.PlaySentence(2500, 2700, seaPlayRecording);
    RenderUntilStopped(mixer, audio);
    DeliverQueuedCalls();
    ASSERT_EQ(done.size(), 1);
    EXPECT_EQ(done.takeFirst().at(0).toInt(), seaPlayRecording);

    // Ended and already queued, but not yet delivered, when the next span starts.
    audio.PlaySentence(100, 200, seaContinue);
    RenderUntilStopped(mixer, audio);
    audio.PlaySentence(300, 400, seaPlayRecording);
    DeliverQueuedCalls();
    EXPECT_EQ(done.size(), 0);
    RenderUntilStopped(mixer, audio);
    DeliverQueuedCalls();
    ASSERT_EQ(done.size(), 1);
    EXPECT_EQ(done.takeFirst().at(0).toInt(), seaPlayRecording);
}

// A span counts as heard when it played to its end, whatever ends it next;
// one cut off after 0.3 s was not heard.
TEST_F(LessonSpanTest, OnlyASpanPlayedToItsEndIsHeard)
{
    const int cut = int(LessonAudio::MsToFrame(300, kRate));
    struct Case {
        const char* how;
        std::function<void()> play;
        QList<QPair<int, int>> heard;
    };
    const Case cases[] = {
        {"to its end, no end action", [&] { audio.PlaySentence(100, 900, seaNone); RenderUntilStopped(mixer, audio); },
         {{100, 900}}},
        {"to its end, continuous reading", [&] { audio.PlaySentence(100, 900, seaContinue); RenderUntilStopped(mixer, audio); },
         {{100, 900}}},
        {"to the recording's end", [&] { audio.PlaySentence(3500, 1000, seaNone); RenderUntilStopped(mixer, audio); },
         {{3500, 1000}}},
        {"past the recording's end", [&] { audio.PlaySentence(3900, 60000, seaPlayRecording); RenderUntilStopped(mixer, audio); },
         {{3900, 60000}}},
        {"cut off by the next", [&] {
             audio.PlaySentence(100, 900, seaNone);
             Render(mixer, cut);
             audio.PlaySentence(1000, 1200, seaNone);
             RenderUntilStopped(mixer, audio);
         }, {{1000, 1200}}},
        {"stopped", [&] { audio.PlaySentence(100, 900, seaContinue); Render(mixer, cut); audio.StopLessonAudio(); },
         {}},
        {"lesson changed", [&] {
             audio.PlaySentence(100, 900, seaNone);
             Render(mixer, cut);
             ASSERT_TRUE(audio.OpenLessonAudio(fixture.dataDir(), 1, 1, 10));
             Render(mixer, 44100);
         }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        QSignalSpy heard(&audio, &LessonAudio::spanHeard);
        c.play();
        DeliverQueuedCalls();
        QList<QPair<int, int>> spans;
        for (const QList<QVariant>& args : heard)
            spans.append({args.at(0).toInt(), args.at(1).toInt()});
        EXPECT_EQ(spans, c.heard);
    }
}

TEST_F(LessonSpanTest, EndNotAfterBeginPlaysToTheEndUnreported)
{
    for (const auto& [beginMs, endMs] : {std::pair{3000, 3000}, std::pair{3500, 1000}}) {
        audio.PlaySentence(beginMs, endMs, seaContinue);
        const std::vector<float> out = RenderUntilStopped(mixer, audio);
        const std::vector<float> rest = Slice(reference, frame(beginMs), lengthFrames() - 1);
        ASSERT_GE(out.size(), rest.size());
        EXPECT_EQ(MaxDifference(out, rest, rest.size()), 0.0f);
        EXPECT_TRUE(AllSilent(out, rest.size()));
        DeliverQueuedCalls();
        EXPECT_EQ(done.size(), 0);
    }
}

TEST_F(LessonSpanTest, EndPastTheRecordingEndsWithItAndIsReported)
{
    audio.PlaySentence(3900, 60000, seaContinue);
    const std::vector<float> out = RenderUntilStopped(mixer, audio);
    const std::vector<float> rest = Slice(reference, frame(3900), lengthFrames() - 1);
    EXPECT_EQ(MaxDifference(out, rest, rest.size()), 0.0f);
    DeliverQueuedCalls();
    ASSERT_EQ(done.size(), 1);
}

TEST_F(LessonSpanTest, SpeedChangeMidSpanStillEndsAtTheSamePlace)
{
    const std::vector<float> tail = PlayWithSpeedChangesMidSpan(256);

    // Input left after the fast stretch, played at 80 %: about 1.25 output
    // frames each. The glides between ratios blur this by a few blocks.
    const double leftAfterFast = InputLeftAfterFastPart();
    const auto lastSound = std::find_if(tail.rbegin(), tail.rend(), [](float x) { return x != 0.0f; }).base();
    EXPECT_NEAR(double(lastSound - tail.begin()) / 2, leftAfterFast * 1.25, 2048);
    DeliverQueuedCalls();
    ASSERT_EQ(done.size(), 1);
}

TEST_F(LessonSpanTest, DecoderIsReadExactlyToTheSpanEndWhateverTheSpeedChanges)
{
    ExpectDecoderReadToSpanEnd(false);
}

TEST_F(LessonSpanTest, StopSilencesAndKeepsAnEndAlreadyOnItsWay)
{
    audio.PlaySentence(100, 1000, seaContinue);
    Render(mixer, 2000);
    audio.StopLessonAudio();
    EXPECT_TRUE(AllSilent(Render(mixer, 4000), 0));
    DeliverQueuedCalls();
    EXPECT_EQ(done.size(), 0);

    audio.PlaySentence(100, 150, seaContinue);
    RenderUntilStopped(mixer, audio);
    audio.StopLessonAudio();
    DeliverQueuedCalls();
    EXPECT_EQ(done.size(), 1);
}

TEST_F(LessonSpanTest, MonoLessonAtAnotherRateIsResampledToTheMixer)
{
    const QByteArray mono = MakeTestMp3(2.0, 1, 22050, 64);
    fixture.addLesson(2, mono);
    ASSERT_TRUE(audio.OpenLessonAudio(fixture.dataDir(), 1, 2, 10));
    EXPECT_EQ(audio.nativeRate(), 22050);
    const std::vector<float> ref = LessonFixture::FullDecode(mono);
    audio.PlaySentence(200, 1200, seaPlayRecording);
    const std::vector<float> out = RenderUntilStopped(mixer, audio);
    const int64_t first = LessonAudio::MsToFrame(200, 22050);
    const int64_t last = LessonAudio::MsToFrame(1200, 22050);
    const std::vector<float> expected = Resampled({ref.begin() + first, ref.begin() + last + 1}, 2.0, 1);
    ASSERT_FALSE(expected.empty());
    ASSERT_GE(out.size(), expected.size() * 2);
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_NEAR(out[2 * i], expected[i], 1e-4f) << i;
        ASSERT_EQ(out[2 * i], out[2 * i + 1]);
    }
    EXPECT_TRUE(AllSilent(out, expected.size() * 2));
    DeliverQueuedCalls();
    ASSERT_EQ(done.size(), 1);
    EXPECT_EQ(done.takeFirst().at(0).toInt(), seaPlayRecording);
}

} // namespace
