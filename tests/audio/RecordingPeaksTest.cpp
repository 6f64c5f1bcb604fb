// The waveform of a stretch of a lesson recording, read on its own.
#include "LessonFixture.h"

#include "audio/LessonAudio.h"
#include "audio/RecordingPeaks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A seek primes the decoder afresh, which may change the last bit of a sample.
::testing::AssertionResult SamePeaks(const std::vector<PeakColumn>& a, const std::vector<PeakColumn>& b)
{
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << a.size() << " columns against " << b.size();
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::fabs(a[i].low - b[i].low) > 1e-5f || std::fabs(a[i].high - b[i].high) > 1e-5f)
            return ::testing::AssertionFailure() << "column " << i << ": " << a[i].low << ".." << a[i].high
                                                 << " against " << b[i].low << ".." << b[i].high;
    }
    return ::testing::AssertionSuccess();
}

TEST(RecordingPeaks, StretchesMatchTheFullDecode)
{
    for (int channels : {1, 2}) {
        const QByteArray mp3 = MakeTestMp3(3.0, channels, 22050, 64);
        const std::vector<float> all = LessonFixture::FullDecode(mp3);
        ASSERT_FALSE(all.empty());
        const int64_t length = static_cast<int64_t>(all.size()) / channels;
        struct Case {
            int beginMs;
            int endMs;
            int columns;
        } cases[] = {{500, 2100, 100}, {0, 3000, 760}, {1234, 1240, 50}, {-500, 500, 40}, {2500, 3500, 40}};
        for (const Case& c : cases) {
            const int64_t first = LessonAudio::MsToFrame(c.beginMs, 22050);
            const int64_t frames = LessonAudio::MsToFrame(c.endMs, 22050) - first;
            // Outside the recording the stretch is silence.
            std::vector<float> expected(static_cast<size_t>(frames * channels), 0.0f);
            for (int64_t f = std::max<int64_t>(first, 0); f < std::min(first + frames, length); ++f)
                for (int ch = 0; ch < channels; ++ch)
                    expected[static_cast<size_t>((f - first) * channels + ch)] = all[static_cast<size_t>(f * channels + ch)];
            EXPECT_TRUE(SamePeaks(RecordingPeaks(mp3, c.beginMs, c.endMs, c.columns),
                                  ComputeWaveformPeaks(expected.data(), frames, channels, c.columns)))
                << channels << " channels, " << c.beginMs << ".." << c.endMs;
        }
    }
}

TEST(RecordingPeaks, NothingToShow)
{
    const QByteArray mp3 = MakeTestMp3(1.0, 1, 22050, 64);
    EXPECT_TRUE(RecordingPeaks(QByteArray("not an mp3 at all"), 0, 1000, 10).empty());
    EXPECT_TRUE(RecordingPeaks(mp3, 500, 500, 10).empty());
    EXPECT_TRUE(RecordingPeaks(mp3, 0, 1000, 0).empty());
}

}  // namespace
