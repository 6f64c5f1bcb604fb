#include "analysis/FrameEnergy.h"

#include "analysis/AnalysisVoice.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

std::vector<float> FrameLevels(const std::vector<float>& voice)
{
    constexpr int kHalfWindow = kAnalysisRate * 25 / 1000 / 2;
    const int frames = FrameCount(voice.size());
    const int64_t size = int64_t(voice.size());
    std::vector<float> levels(static_cast<std::size_t>(frames));
    for (int k = 0; k < frames; ++k) {
        const int64_t from = std::max<int64_t>(0, int64_t(k) * kAnalysisHop - kHalfWindow);
        const int64_t to = std::min<int64_t>(size, int64_t(k) * kAnalysisHop + kHalfWindow);
        double sum = 0;
        for (int64_t i = from; i < to; ++i)
            sum += double(voice[std::size_t(i)]) * voice[std::size_t(i)];
        const double mean = to > from ? sum / double(to - from) : 0.0;
        levels[std::size_t(k)] = float(10.0 * std::log10(mean + 1e-12));
    }
    return levels;
}

std::vector<bool> QuietFrames(const std::vector<float>& levels)
{
    std::vector<bool> quiet(levels.size(), true);
    if (levels.empty())
        return quiet;
    const float loudest = *std::max_element(levels.begin(), levels.end());
    // Nothing above digital silence is speech.
    if (loudest < -100.0f)
        return quiet;
    for (std::size_t k = 0; k < levels.size(); ++k)
        quiet[k] = levels[k] < loudest - kQuietBelowPeakDb;
    return quiet;
}

FrameRange SpeechRange(const std::vector<bool>& quiet, int marginFrames)
{
    const auto first = std::find(quiet.begin(), quiet.end(), false);
    if (first == quiet.end())
        return {};
    const auto last = std::find(quiet.rbegin(), quiet.rend(), false);
    const int count = int(quiet.size());
    return {std::max(0, int(first - quiet.begin()) - marginFrames),
            std::min(count - 1, int(quiet.rend() - last) - 1 + marginFrames)};
}
