#include "analysis/PitchTrack.h"

#include "analysis/AnalysisVoice.h"
#include "analysis/AubioFrames.h"
#include "analysis/Median.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kYinWindow = 1024;       // two periods of 60 Hz fit in the half YIN searches
constexpr float kLowestHz = 60.0f;
constexpr float kHighestHz = 600.0f;
constexpr float kLeastConfidence = 0.75f;  // 1 − YIN's aperiodicity at the chosen period
constexpr int kShortestRun = 8;
constexpr double kLowPassHz = 900.0;
constexpr int kStrayHalf = 10;       // frames each side
constexpr float kStrayLimit = 4.0f;  // semitones

// The voice through a 4th-order Butterworth low-pass (two biquads): YIN
// then sees the fundamental and the first harmonics, not the formants and
// hiss whose short periods it would otherwise pick.
std::vector<float> LowPassed(std::vector<float> voice)
{
    const double w = 2.0 * M_PI * kLowPassHz / kAnalysisRate;
    const double c = std::cos(w);
    const double alpha = std::sin(w) / (2.0 * M_SQRT1_2);
    const double norm = 1.0 + alpha;
    const double b0 = (1.0 - c) / 2.0 / norm;
    const double b1 = (1.0 - c) / norm;
    const double a1 = -2.0 * c / norm;
    const double a2 = (1.0 - alpha) / norm;
    for (int stage = 0; stage < 2; ++stage) {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (float& sample : voice) {
            const double y = b0 * sample + b1 * x1 + b0 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = sample;
            y2 = y1;
            y1 = y;
            sample = float(y);
        }
    }
    return voice;
}

void DropShortRuns(std::vector<float>& hz)
{
    std::size_t k = 0;
    while (k < hz.size()) {
        if (hz[k] <= 0) {
            ++k;
            continue;
        }
        std::size_t end = k;
        while (end < hz.size() && hz[end] > 0)
            ++end;
        if (end - k < kShortestRun)
            std::fill(hz.begin() + std::ptrdiff_t(k), hz.begin() + std::ptrdiff_t(end), 0.0f);
        k = end;
    }
}

// Frames more than kStrayLimit semitones from the median of the voiced
// frames around them are octave slips or a harmonic taken for the
// fundamental; they count as unvoiced.
void DropStrays(std::vector<float>& hz)
{
    std::vector<float> kept(hz);
    for (std::size_t k = 0; k < hz.size(); ++k) {
        if (hz[k] <= 0)
            continue;
        std::vector<float> around;
        for (std::ptrdiff_t d = -kStrayHalf; d <= kStrayHalf; ++d) {
            const std::ptrdiff_t at = std::ptrdiff_t(k) + d;
            if (at >= 0 && at < std::ptrdiff_t(hz.size()) && hz[std::size_t(at)] > 0)
                around.push_back(hz[std::size_t(at)]);
        }
        if (std::fabs(12.0f * std::log2(hz[k] / MedianOf(std::move(around)))) > kStrayLimit)
            kept[k] = 0.0f;
    }
    hz = std::move(kept);
}

// A median over up to five voiced neighbours, within a voiced run.
std::vector<float> MedianSmoothed(const std::vector<float>& hz)
{
    std::vector<float> out(hz);
    for (std::size_t k = 0; k < hz.size(); ++k) {
        if (hz[k] <= 0)
            continue;
        std::vector<float> window;
        for (std::ptrdiff_t d = -2; d <= 2; ++d) {
            const std::ptrdiff_t at = std::ptrdiff_t(k) + d;
            if (at >= 0 && at < std::ptrdiff_t(hz.size()) && hz[std::size_t(at)] > 0)
                window.push_back(hz[std::size_t(at)]);
        }
        out[k] = MedianOf(std::move(window));
    }
    return out;
}

} // namespace

std::vector<float> TrackPitch(const std::vector<float>& voice, const std::vector<bool>& quiet)
{
    std::vector<float> hz(std::size_t(FrameCount(voice.size())), 0.0f);
    if (hz.empty())
        return hz;
    const AubioPtr<aubio_pitch_t> yin(new_aubio_pitch("yinfast", kYinWindow, kAnalysisHop, kAnalysisRate));
    aubio_pitch_set_unit(yin.get(), "Hz");
    aubio_pitch_set_tolerance(yin.get(), 0.15f);
    // Quiet frames are judged by our own level, relative to the voice.
    aubio_pitch_set_silence(yin.get(), -120.0f);
    const AubioPtr<fvec_t> found(new_fvec(1));
    FeedCentred(
        LowPassed(Dithered(voice)), kYinWindow, [&](const fvec_t& hop) { aubio_pitch_do(yin.get(), &hop, found.get()); },
        [&](int k) {
            const float f = found->data[0];
            const bool voiced = std::size_t(k) < quiet.size() && !quiet[std::size_t(k)]
                && aubio_pitch_get_confidence(yin.get()) >= kLeastConfidence && f >= kLowestHz && f <= kHighestHz;
            hz[std::size_t(k)] = voiced ? f : 0.0f;
        });
    DropStrays(hz);
    DropShortRuns(hz);
    return MedianSmoothed(hz);
}

float MedianPitch(const std::vector<float>& hz)
{
    std::vector<float> voiced;
    std::copy_if(hz.begin(), hz.end(), std::back_inserter(voiced), [](float f) { return f > 0; });
    return MedianOf(std::move(voiced));
}

float SemitonesBetween(float fromHz, float toHz)
{
    if (fromHz <= 0 || toHz <= 0)
        return std::numeric_limits<float>::quiet_NaN();
    return 12.0f * std::log2(toHz / fromHz);
}

std::vector<float> SemitonesFrom(const std::vector<float>& hz, float referenceHz)
{
    std::vector<float> out(hz.size());
    std::transform(hz.begin(), hz.end(), out.begin(), [&](float f) { return SemitonesBetween(referenceHz, f); });
    return out;
}
