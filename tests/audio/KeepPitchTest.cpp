// The lesson voice with the pitch kept: how long a span lasts at each speed,
// where it ends, and what becomes of a tone's pitch.
#include "SpanFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const auto* const keepPitchApp = ::testing::AddGlobalTestEnvironment(new AudioTestApp);

constexpr int kToneRate = 44100;
constexpr double kToneHz = 441.0;

double Rms(const std::vector<float>& v)
{
    double sum = 0.0;
    for (float x : v)
        sum += double(x) * x;
    return v.empty() ? 0.0 : std::sqrt(sum / double(v.size()));
}

// A steady sine in both channels.
QByteArray ToneMp3(double seconds)
{
    const auto frames = static_cast<int64_t>(seconds * kToneRate);
    std::vector<int16_t> pcm(static_cast<size_t>(frames * 2));
    for (int64_t i = 0; i < frames; ++i) {
        const auto v = static_cast<int16_t>(std::lround(16000.0 * std::sin(2.0 * M_PI * kToneHz * double(i) / kToneRate)));
        pcm[static_cast<size_t>(2 * i)] = v;
        pcm[static_cast<size_t>(2 * i + 1)] = v;
    }
    return EncodeMp3(pcm, 2, kToneRate, 128);
}

// The frequency of the left channel of a stereo signal, from the times of its
// rising zero crossings (interpolated between frames) over its middle part.
double FrequencyHz(const std::vector<float>& stereo)
{
    const size_t frames = stereo.size() / 2;
    double firstCrossing = -1.0;
    double lastCrossing = -1.0;
    int crossings = 0;
    for (size_t i = frames / 5; i + 1 < frames * 4 / 5; ++i) {
        const float a = stereo[2 * i];
        const float b = stereo[2 * i + 2];
        if (a < 0.0f && b >= 0.0f) {
            const double at = double(i) + double(a) / double(a - b);
            if (crossings++ == 0)
                firstCrossing = at;
            lastCrossing = at;
        }
    }
    if (crossings < 2)
        return 0.0;
    return double(crossings - 1) * kToneRate / (lastCrossing - firstCrossing);
}

class KeepPitchTest : public SpanFixture {
protected:
    void SetUp() override
    {
        audio.ApplyKeepPitch(true);
        SpanFixture::SetUp();
    }
};

// Rendered one frame at a time, the voice stops on exactly the frame that
// ends the span, so the output's length is the number of frames heard.
TEST_F(KeepPitchTest, SpanLastsItsLengthAtTheSpeedAndEndsWithIt)
{
    struct Case {
        std::vector<int> speeds;  // applied in turn before the span plays
        int beginMs;
        int endMs;
    };
    const Case cases[] = {
        {{10}, 0, 700},
        {{10}, 1234, 2345},
        {{12, 8, 10}, 1500, 1501},  // back at 10 the copy is exact again
        {{12}, 987, 2100},
        {{8}, 333, 1200},
        {{8, 12}, 2000, 3999},
        {{12}, 3000, 3010},  // shorter than the stretch's own window
        {{8}, 3500, 60000},  // ends with the recording
    };
    for (const Case& c : cases) {
        const int speed = c.speeds.back();
        SCOPED_TRACE(::testing::Message() << "span " << c.beginMs << ".." << c.endMs << " speed " << speed);
        for (int s : c.speeds)
            audio.ApplySpeed(s);
        audio.PlaySentence(c.beginMs, c.endMs, seaContinue);
        const std::vector<float> out = RenderUntilStopped(mixer, audio, 1);
        const int64_t last = std::min<int64_t>(frame(c.endMs), static_cast<int64_t>(reference.size() / 2) - 1);
        const std::vector<float> span = Slice(reference, frame(c.beginMs), last);
        const auto spanFrames = static_cast<int64_t>(span.size() / 2);

        EXPECT_EQ(static_cast<int64_t>(out.size() / 2), std::llround(double(spanFrames) * 10.0 / speed));
        if (speed == 10) {
            EXPECT_EQ(MaxDifference(out, span, span.size()), 0.0f);
        } else if (spanFrames > 4096) {
            EXPECT_NEAR(Rms(out) / Rms(span), 1.0, 0.15) << "the stretch lost or added sound";
        }
        EXPECT_TRUE(AllSilent(Render(mixer, 2048), 0)) << "sound after the span's end";
        DeliverQueuedCalls();
        ASSERT_EQ(done.size(), 1);
        EXPECT_EQ(done.takeFirst().at(0).toInt(), seaContinue);
    }
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(KeepPitchTest, SpeedChangeMidSpanStillEndsAtTheSamePlace)
{
    const std::vector<float> tail = PlayWithSpeedChangesMidSpan(1);

    // Input left after the fast stretch, played at 80 %. What the stretch
    // still held when the speed changed blurs this by about a block.
    const double leftAfterFast = InputLeftAfterFastPart();
    EXPECT_NEAR(double(tail.size() / 2), leftAfterFast * 1.25, 2048);
    DeliverQueuedCalls();
    ASSERT_EQ(done.size(), 1);

    // The decoder stops on the span's last frame whatever the changes were.
    ExpectDecoderReadToSpanEnd(true);
}

// The option decides how a span leaves the recorded speed: once it has,
// switching the option waits for the next span.
TEST_F(KeepPitchTest, ToneKeepsItsPitchOnlyWithTheOptionOn)
{
    fixture.addLesson(2, ToneMp3(2.0));
    struct Case {
        bool keepPitch;
        int speed;
        bool keepPitchLater;
        int speedLater;
        double pitchRatio;  // of what plays after the change
    } const cases[] = {
        {true, 8, true, 8, 1.0},
        {true, 12, true, 12, 1.0},
        {false, 8, false, 8, 0.8},
        {false, 12, false, 12, 1.2},
        {false, 10, true, 8, 1.0},   // switched on before the span left speed 10
        {false, 8, true, 8, 0.8},    // the span already resamples
        {true, 12, false, 8, 1.0},   // the span already stretches
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "keep pitch " << c.keepPitch << " speed " << c.speed << ", then "
                                          << c.keepPitchLater << " speed " << c.speedLater);
        audio.ApplyKeepPitch(c.keepPitch);
        ASSERT_TRUE(audio.OpenLessonAudio(fixture.dataDir(), 1, 2, c.speed));
        audio.PlaySentence(100, 1900, seaNone);
        Render(mixer, 4096);
        audio.ApplyKeepPitch(c.keepPitchLater);
        audio.ApplySpeed(c.speedLater);
        const std::vector<float> out = RenderUntilStopped(mixer, audio);
        EXPECT_NEAR(FrequencyHz(out) / kToneHz, c.pitchRatio, 0.01);
    }
    EXPECT_TRUE(messages.entries.empty());
}

} // namespace
