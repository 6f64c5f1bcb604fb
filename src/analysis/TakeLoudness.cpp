#include "analysis/TakeLoudness.h"

#include "audio/WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// A 16-bit capture tops out a hair below 1.0.
constexpr float kFullScale = 0.99f;
// One full-scale sample is a loud voice; a run of them is a flattened wave.
constexpr int kFlatRun = 3;
constexpr int kFlatRunsForClipping = 3;

} // namespace

TakeLoudness CheckLoudness(const PcmAudio& take)
{
    float peak = 0;
    int flatRuns = 0;
    const int channels = std::max(take.channels, 1);
    for (int c = 0; c < channels; ++c) {
        int run = 0;
        for (std::size_t i = std::size_t(c); i < take.samples.size(); i += std::size_t(channels)) {
            const float a = std::fabs(take.samples[i]);
            peak = std::max(peak, a);
            run = a >= kFullScale ? run + 1 : 0;
            if (run == kFlatRun)
                ++flatRuns;
        }
    }
    TakeLoudness result;
    result.peakDbfs = peak > 0 ? 20.0f * std::log10(peak) : -std::numeric_limits<float>::infinity();
    result.tooQuiet = result.peakDbfs < kTooQuietDbfs;
    result.clipped = flatRuns >= kFlatRunsForClipping;
    return result;
}
