#include "analysis/TakeComparison.h"

#include "analysis/AnalysisVoice.h"
#include "analysis/FrameEnergy.h"
#include "analysis/Mfcc.h"
#include "analysis/PitchTrack.h"
#include "analysis/TimeWarp.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kSpeechMargin = 5;  // frames kept around the speech when warping
constexpr int kPaceHalf = 8;      // frames each side of a pace measurement
constexpr int kWarpSmoothHalf = 5;  // frames each side: irons out the path's stair steps
constexpr int kLeastPairs = 20;   // voiced frames in both before their medians are trusted

// One voice's frames: level, quiet mask, speech range, features and pitch.
struct VoiceFrames {
    std::vector<bool> quiet;
    FrameRange speech;
    FeatureFrames features;
    std::vector<float> hz;
};

VoiceFrames Analyse(const std::vector<float>& voice)
{
    VoiceFrames v;
    v.quiet = QuietFrames(FrameLevels(voice));
    v.speech = SpeechRange(v.quiet, kSpeechMargin);
    v.features = ComputeMfcc(voice, v.quiet);
    v.hz = TrackPitch(voice, v.quiet);
    return v;
}

// A moving average: still rising, but without the runs where the path stood
// on one take frame for several model frames and then jumped.
std::vector<double> Smoothed(const std::vector<double>& takeFrameAt)
{
    const int n = int(takeFrameAt.size());
    std::vector<double> out(takeFrameAt.size());
    for (int k = 0; k < n; ++k) {
        const int a = std::max(0, k - kWarpSmoothHalf);
        const int b = std::min(n - 1, k + kWarpSmoothHalf);
        double sum = 0;
        for (int i = a; i <= b; ++i)
            sum += takeFrameAt[std::size_t(i)];
        out[std::size_t(k)] = sum / (b - a + 1);
    }
    return out;
}

std::vector<float> Pace(const std::vector<double>& takeFrameAt)
{
    const int n = int(takeFrameAt.size());
    std::vector<float> pace(takeFrameAt.size(), 1.0f);
    for (int k = 0; k < n; ++k) {
        const int a = std::max(0, k - kPaceHalf);
        const int b = std::min(n - 1, k + kPaceHalf);
        if (b > a)
            pace[std::size_t(k)] = float((takeFrameAt[std::size_t(b)] - takeFrameAt[std::size_t(a)]) / (b - a));
    }
    return pace;
}

} // namespace

double TakeComparison::ModelSeconds() const
{
    return double(model.size()) / kAnalysisRate;
}

double TakeComparison::TakeSeconds() const
{
    return double(take.size()) / kAnalysisRate;
}

double TakeComparison::TakeSecondsAt(double modelSeconds) const
{
    if (takeFrameAt.empty())
        return std::clamp(modelSeconds, 0.0, TakeSeconds());
    const double at = std::clamp(modelSeconds / kFrameSeconds, 0.0, double(takeFrameAt.size() - 1));
    const std::size_t k = std::size_t(at);
    const double next = k + 1 < takeFrameAt.size() ? takeFrameAt[k + 1] : takeFrameAt[k];
    const double frame = takeFrameAt[k] + (next - takeFrameAt[k]) * (at - double(k));
    return std::clamp(frame * kFrameSeconds, 0.0, TakeSeconds());
}

float TakeComparison::TakePitchAtModelFrame(int k) const
{
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    if (k < 0 || std::size_t(k) >= takeFrameAt.size())
        return kNaN;
    const double at = takeFrameAt[std::size_t(k)];
    const std::size_t below = std::size_t(at);
    if (below >= takePitch.size())
        return kNaN;
    const std::size_t above = std::min(below + 1, takePitch.size() - 1);
    const float a = takePitch[below];
    const float b = takePitch[above];
    // Between two voiced frames the contour runs straight; next to an
    // unvoiced one, the nearer frame holds.
    if (!std::isnan(a) && !std::isnan(b))
        return a + (b - a) * float(at - double(below));
    return at - double(below) < 0.5 ? a : b;
}

TakeComparison CompareTake(const PcmAudio& model, const PcmAudio& take, const QString& modelText,
                           const std::vector<PlacedWord>& foundWords, std::stop_token stop)
{
    TakeComparison c;
    c.loudness = CheckLoudness(take);
    c.model = AnalysisVoice(model);
    c.take = AnalysisVoice(take);
    const auto longest = std::size_t(kLongestComparedSeconds * kAnalysisRate);
    for (std::vector<float>* voice : {&c.model, &c.take}) {
        if (voice->size() > longest) {
            voice->resize(longest);
            c.cut = true;
        }
    }
    if (stop.stop_requested())
        return c;
    const VoiceFrames m = Analyse(c.model);
    if (stop.stop_requested())
        return c;
    const VoiceFrames t = Analyse(c.take);
    if (stop.stop_requested())
        return c;

    const std::vector<WarpStep> path = WarpBanded(m.features, m.speech, m.quiet, t.features, t.speech, t.quiet);
    if (stop.stop_requested())
        return c;
    c.takeFrameAt = Smoothed(TakeFrameOfModelFrame(path, m.features.Count(), t.features.Count()));
    c.pace = Pace(c.takeFrameAt);
    // Before and after the speech nothing was paced.
    for (int k = 0; k < c.ModelFrames(); ++k) {
        if (path.empty() || k < path.front().model || k > path.back().model)
            c.pace[std::size_t(k)] = 1.0f;
    }

    // Each voice's median, over the frames voiced in both where there are
    // enough: a stretch only one of them voiced would otherwise pull one
    // median away from the other.
    std::vector<float> modelPaired;
    std::vector<float> takePaired;
    for (int k = 0; k < c.ModelFrames(); ++k) {
        const std::size_t at = std::size_t(std::lround(c.takeFrameAt[std::size_t(k)]));
        if (m.hz[std::size_t(k)] > 0 && at < t.hz.size() && t.hz[at] > 0) {
            modelPaired.push_back(m.hz[std::size_t(k)]);
            takePaired.push_back(t.hz[at]);
        }
    }
    const bool paired = int(modelPaired.size()) >= kLeastPairs;
    c.modelMedianHz = MedianPitch(paired ? modelPaired : m.hz);
    c.takeMedianHz = MedianPitch(paired ? takePaired : t.hz);
    c.modelPitch = SemitonesFrom(m.hz, c.modelMedianHz);
    c.takePitch = SemitonesFrom(t.hz, c.takeMedianHz);

    c.words = foundWords.empty() ? PlaceModelWords(modelText, c.model, SpeechRange(m.quiet, 0)) : foundWords;
    std::vector<float> takePitchOnModel(c.modelPitch.size());
    for (int k = 0; k < c.ModelFrames(); ++k)
        takePitchOnModel[std::size_t(k)] = c.TakePitchAtModelFrame(k);
    c.partings = FindPartings(ModelFrameCost(path, c.ModelFrames()), c.modelPitch, takePitchOnModel, m.speech);
    for (Parting& p : c.partings) {
        const double from = p.firstFrame * kFrameSeconds;
        const double to = (p.lastFrame + 1) * kFrameSeconds;
        for (const PlacedWord& w : c.words) {
            const double overlap = std::min(to, w.end) - std::max(from, w.begin);
            // A word counts as under the stretch when a good part of it, or
            // of the stretch, is shared.
            if (overlap > 0.3 * std::min(w.end - w.begin, to - from))
                p.words << w.text;
        }
    }
    return c;
}
