// The lesson voice with the pitch kept: how long a span lasts at each speed,
// where it ends, and what becomes of a tone's pitch.
#include "AudioTestApp.h"
#include "LessonFixture.h"
#include "SpanRender.h"

#include "audio/LessonAudio.h"
#include "audio/LessonVoice.h"
#include "audio/Mixer.h"
#include "support/RecordingMessages.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new AudioTestApp);

constexpr int kRate = 44100;
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
    const auto frames = static_cast<int64_t>(seconds * kRate);
    std::vector<int16_t> pcm(static_cast<size_t>(frames * 2));
    for (int64_t i = 0; i < frames; ++i) {
        const auto v = static_cast<int16_t>(std::lround(16000.0 * std::sin(2.0 * M_PI * kToneHz * double(i) / kRate)));
        pcm[static_cast<size_t>(2 * i)] = v;
        pcm[static_cast<size_t>(2 * i + 1)] = v;
    }
    return EncodeMp3(pcm, 2, kRate, 128);
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
    return double(crossings - 1) * kRate / (lastCrossing - firstCrossing);
}

class KeepPitchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mp3 = MakeTestMp3(4.0, 2, kRate, 128);
        ASSERT_FALSE(mp3.isEmpty());
        fixture.addLesson(1, mp3);
        reference = LessonFixture::FullDecode(mp3);
        audio.ApplyKeepPitch(true);
        ASSERT_TRUE(audio.OpenLessonAudio(fixture.dataDir(), 1, 1, 10));
    }

    int64_t frame(int ms) const { return LessonAudio::MsToFrame(ms, kRate); }

    RecordingMessages messages;
    ScopedMessages installed{&messages};
    LessonFixture fixture;
    QByteArray mp3;
    std::vector<float> reference;
    Mixer mixer;
    LessonAudio audio{mixer};
    QSignalSpy done{&audio, &LessonAudio::speakDone};
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
    const int64_t first = frame(500);
    const int64_t last = frame(3500);
    audio.PlaySentence(500, 3500, seaContinue);
    const std::vector<float> head = Render(mixer, 20000);  // still at 10: copied untouched
    EXPECT_EQ(MaxDifference(head, Slice(reference, first, first + 19999), head.size()), 0.0f);
    audio.ApplySpeed(12);
    Render(mixer, 30000);
    audio.ApplySpeed(8);
    const std::vector<float> tail = RenderUntilStopped(mixer, audio, 1);

    // Input left after the fast stretch, played at 80 %. What the stretch
    // still held when the speed changed blurs this by about a block.
    const double leftAfterFast = double(last + 1 - first - 20000) - 30000 * 1.2;
    EXPECT_NEAR(double(tail.size() / 2), leftAfterFast * 1.25, 2048);
    DeliverQueuedCalls();
    ASSERT_EQ(done.size(), 1);

    // The decoder stops on the span's last frame whatever the changes were.
    LessonVoice voice(mixer, Mp3Decoder::open(mp3), &audio);
    voice.setKeepPitch(true);
    const std::vector<std::vector<int>> changes = {{12}, {8}, {12, 8}, {8, 10}, {12, 10, 8, 12}};
    for (const std::vector<int>& speeds : changes) {
        voice.setSpeed(10);
        voice.playSpan(10000, 150000, 0, seaNone);
        for (int speed : speeds) {
            Render(mixer, 9000);
            voice.setSpeed(speed);
        }
        for (int guard = 0; guard < 1000 && voice.isPlaying(); ++guard)
            Render(mixer, 700);
        EXPECT_FALSE(voice.isPlaying());
        EXPECT_EQ(voice.inputPosition(), 150001);
    }
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
