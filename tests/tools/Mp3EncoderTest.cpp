#include "DecodeMp3.h"
#include "LessonRecording.h"
#include "Mp3Encoder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

MonoPcm Tone(int rate, std::size_t count)
{
    MonoPcm pcm{rate, std::vector<int16_t>(count)};
    for (std::size_t i = 0; i < count; ++i)
        pcm.samples[i] = static_cast<int16_t>(8000.0 * std::sin(2.0 * M_PI * 440.0 * double(i) / rate));
    return pcm;
}

// A gapless decoder must give back exactly the encoded length, whatever the
// input length (the encoder pads to whole frames) and input rate.
TEST(Mp3Encoder, GaplessDecodingReturnsExactlyTheEncodedSamples)
{
    struct Case {
        int rate;
        std::size_t samples;
        qint64 decoded;
    };
    const Case cases[] = {
        {44100, 1, 1}, {44100, 1152, 1152}, {44100, 44100 + 7, 44107}, {22050, 22050, 44100}, {22050, 12345, 24690},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.rate << " Hz, " << c.samples << " samples");
        QString error;
        const auto mp3 = EncodeMp3(Tone(c.rate, c.samples), error);
        ASSERT_TRUE(mp3) << error.toStdString();
        EXPECT_NEAR(double(mp3->frames), double(c.decoded), 2.0);  // resampling may round the length
        const auto decoded = DecodeMp3(mp3->bytes);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->rate, kMp3SampleRate);
        EXPECT_EQ(decoded->channels, 2);
        EXPECT_EQ(static_cast<qint64>(decoded->frames()), mp3->frames);
    }
}

// Encoder delay and resampling must not move sound in time: sentence spans
// are computed on the input and played on the decoded output.
TEST(Mp3Encoder, SoundStaysWhereItWas)
{
    MonoPcm pcm{22050, std::vector<int16_t>(22050)};
    const MonoPcm burst = Tone(22050, 2205);  // 100 ms at 0.5 s
    std::copy(burst.samples.begin(), burst.samples.end(), pcm.samples.begin() + 11025);
    QString error;
    const auto mp3 = EncodeMp3(pcm, error);
    ASSERT_TRUE(mp3) << error.toStdString();
    const auto decoded = DecodeMp3(mp3->bytes);
    ASSERT_TRUE(decoded);
    const auto rms = [&](int fromMs, int toMs) {
        double sum = 0;
        const std::size_t from = std::size_t(fromMs) * 44100 / 1000;
        const std::size_t to = std::size_t(toMs) * 44100 / 1000;
        for (std::size_t i = from; i < to; ++i)
            sum += std::pow(double(decoded->samples[i * 2]), 2);
        return std::sqrt(sum / double(to - from));
    };
    EXPECT_LT(rms(440, 495), 100.0);
    EXPECT_GT(rms(505, 595), 4000.0);
    EXPECT_LT(rms(605, 660), 100.0);
}

TEST(Mp3Encoder, SameInputGivesSameBytes)
{
    QString error;
    const auto a = EncodeMp3(Tone(22050, 30000), error);
    const auto b = EncodeMp3(Tone(22050, 30000), error);
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(a->bytes == b->bytes);
}

TEST(LessonRecording, SpansCoverTheirClipsAndStayOutOfThePauses)
{
    // Clip lengths that do not fall on whole milliseconds.
    const std::vector<MonoPcm> clips = {Tone(22050, 1000), Tone(22050, 2205), Tone(22050, 1)};
    const LessonRecording recording = AssembleLesson(clips);
    ASSERT_EQ(recording.spans.size(), 3u);
    const int rate = 22050;
    std::size_t at = std::size_t(kLeadingSilenceMs) * rate / 1000;
    for (std::size_t i = 0; i < clips.size(); ++i) {
        const SentenceSpan span = recording.spans[i];
        const std::size_t end = at + clips[i].samples.size();
        EXPECT_LE(std::int64_t(span.beginMs) * rate, std::int64_t(at) * 1000) << i;
        EXPECT_GT(std::int64_t(span.beginMs + 1) * rate, std::int64_t(at) * 1000) << i;
        EXPECT_GE(std::int64_t(span.endMs) * rate, std::int64_t(end) * 1000) << i;
        EXPECT_LT(std::int64_t(span.endMs - 1) * rate, std::int64_t(end) * 1000) << i;
        EXPECT_TRUE(std::equal(clips[i].samples.begin(), clips[i].samples.end(), recording.pcm.samples.begin() + std::ptrdiff_t(at)));
        at = end + std::size_t(kPauseMs) * rate / 1000;
    }
    EXPECT_EQ(recording.pcm.samples.size(), at - std::size_t(kPauseMs) * rate / 1000 + std::size_t(kTrailingSilenceMs) * rate / 1000);
}

} // namespace
