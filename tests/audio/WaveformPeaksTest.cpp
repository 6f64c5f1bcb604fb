// Minimum and maximum per column of a stretch of samples.
#include "audio/WaveformPeaks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<std::pair<float, float>> Pairs(const std::vector<PeakColumn>& columns)
{
    std::vector<std::pair<float, float>> pairs;
    for (const PeakColumn& c : columns)
        pairs.emplace_back(c.low, c.high);
    return pairs;
}

TEST(WaveformPeaks, ColumnsOfAStretch)
{
    struct Case {
        const char* name;
        std::vector<float> samples;
        int channels;
        int columns;
        std::vector<std::pair<float, float>> expected;
    } cases[] = {
        {"two frames a column", {0.1f, -0.2f, 0.5f, 0.3f, -0.9f, 0.0f, 0.2f, 0.2f}, 1, 4,
         {{-0.2f, 0.1f}, {0.3f, 0.5f}, {-0.9f, 0.0f}, {0.2f, 0.2f}}},
        {"uneven split: 3, 3 and 4 frames", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 1, 3, {{1, 3}, {4, 6}, {7, 10}}},
        {"both channels count", {0.1f, -0.7f, 0.6f, 0.0f, -0.1f, 0.2f, 0.3f, 0.4f}, 2, 2,
         {{-0.7f, 0.6f}, {-0.1f, 0.4f}}},
        {"fewer frames than columns", {0.5f, -0.5f}, 1, 4, {{0.5f, 0.5f}, {0.5f, 0.5f}, {-0.5f, -0.5f}, {-0.5f, -0.5f}}},
        {"one column", {0.25f, -0.75f, 0.5f}, 1, 1, {{-0.75f, 0.5f}}},
        {"nothing to show", {}, 1, 4, {}},
        {"no columns", {0.1f}, 1, 0, {}},
    };
    for (const Case& c : cases) {
        const int64_t frames = static_cast<int64_t>(c.samples.size()) / c.channels;
        EXPECT_EQ(Pairs(ComputeWaveformPeaks(c.samples.data(), frames, c.channels, c.columns)), c.expected) << c.name;
    }
}

TEST(WaveformPeaks, BlocksOfAnySizeGiveTheWholeStretchsPeaks)
{
    std::vector<float> signal(2 * 10007);
    for (size_t i = 0; i < signal.size(); ++i)
        signal[i] = float(std::sin(0.013 * double(i)) * std::cos(0.0007 * double(i)));
    const int64_t frames = static_cast<int64_t>(signal.size() / 2);
    for (int columns : {7, 760, 20000}) {
        const std::vector<PeakColumn> whole = ComputeWaveformPeaks(signal.data(), frames, 2, columns);
        for (int64_t block : {1, 3, 4096}) {
            WaveformPeaks peaks(frames, columns);
            for (int64_t at = 0; at < frames; at += block)
                peaks.Add(signal.data() + 2 * at, std::min(block, frames - at), 2);
            EXPECT_EQ(Pairs(peaks.Columns()), Pairs(whole)) << columns << " columns, blocks of " << block;
            EXPECT_EQ(peaks.FramesSeen(), frames);
        }
    }
}

TEST(WaveformPeaks, SkippedAndMissingFramesShowAsSilence)
{
    const std::vector<float> ones(4, 1.0f);
    WaveformPeaks peaks(12, 3);
    peaks.Skip(4);                    // before the recording began
    peaks.Add(ones.data(), 4, 1);     // the second column
    peaks.Add(ones.data(), 0, 1);
    EXPECT_EQ(Pairs(peaks.Columns()), (std::vector<std::pair<float, float>>{{0, 0}, {1, 1}, {0, 0}}));
    peaks.Add(ones.data(), 4, 1);
    peaks.Add(ones.data(), 4, 1);     // past the stretch: ignored
    EXPECT_EQ(peaks.FramesSeen(), 12);
    EXPECT_EQ(Pairs(peaks.Columns()), (std::vector<std::pair<float, float>>{{0, 0}, {1, 1}, {1, 1}}));
}

}  // namespace
