#include "analysis/Partings.h"

#include "analysis/Median.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int kSmoothHalf = 7;            // frames each side: 150 ms in all
constexpr float kSoundAboveMedian = 1.8f; // times the speech's median cost
constexpr int kPitchHalf = 15;            // frames each side: a 300 ms movement
constexpr float kLeastMovement = 1.0f;    // semitones
constexpr int kLeastPitchFrames = 10;     // voiced in both within the window
constexpr int kShortestStretch = 8;       // frames
constexpr int kBridgedGap = 10;           // frames between two runs that make one stretch

// Runs of frames where `strength` is above 0, bridged over short gaps, and
// scored by the strength they hold.
std::vector<Parting> Stretches(const std::vector<float>& strength, bool sound)
{
    std::vector<Parting> found;
    const int n = int(strength.size());
    int k = 0;
    while (k < n) {
        if (strength[std::size_t(k)] <= 0) {
            ++k;
            continue;
        }
        Parting p;
        p.firstFrame = k;
        p.lastFrame = k;
        p.sound = sound;
        p.pitch = !sound;
        int gap = 0;
        for (; k < n && gap <= kBridgedGap; ++k) {
            if (strength[std::size_t(k)] > 0) {
                p.lastFrame = k;
                p.score += strength[std::size_t(k)];
                gap = 0;
            } else {
                ++gap;
            }
        }
        if (p.lastFrame - p.firstFrame + 1 >= kShortestStretch)
            found.push_back(p);
    }
    return found;
}

std::vector<float> SoundStrength(const std::vector<float>& frameCost, FrameRange speech)
{
    const int n = int(frameCost.size());
    std::vector<float> smooth(frameCost.size(), 0.0f);
    std::vector<float> inSpeech;
    for (int k = speech.first; k <= speech.last && k < n; ++k) {
        float sum = 0;
        int count = 0;
        for (int d = -kSmoothHalf; d <= kSmoothHalf; ++d) {
            const int at = k + d;
            if (at >= speech.first && at <= speech.last && at < n && !std::isnan(frameCost[std::size_t(at)])) {
                sum += frameCost[std::size_t(at)];
                ++count;
            }
        }
        smooth[std::size_t(k)] = count ? sum / float(count) : 0.0f;
        inSpeech.push_back(smooth[std::size_t(k)]);
    }
    const float median = MedianOf(std::move(inSpeech));
    std::vector<float> strength(frameCost.size(), 0.0f);
    if (median <= 0)
        return strength;
    // In units of the median, above the threshold. The path is pinned to the
    // speech's first and last frames, so its cost there says little.
    for (int k = speech.first + kSmoothHalf; k <= speech.last - kSmoothHalf && k < n; ++k)
        strength[std::size_t(k)] = std::max(0.0f, smooth[std::size_t(k)] / median - kSoundAboveMedian);
    return strength;
}

// The movement of `pitch` over the window, in semitones, from a straight
// line fitted through its voiced frames there.
struct Movement {
    float model = 0;
    float take = 0;
};

std::optional<Movement> MovementAround(int k, const std::vector<float>& modelPitch, const std::vector<float>& takePitch)
{
    const int n = int(std::min(modelPitch.size(), takePitch.size()));
    double sd = 0, sm = 0, st = 0, sdd = 0, sdm = 0, sdt = 0;
    int count = 0;
    for (int d = -kPitchHalf; d <= kPitchHalf; ++d) {
        const int at = k + d;
        if (at < 0 || at >= n || std::isnan(modelPitch[std::size_t(at)]) || std::isnan(takePitch[std::size_t(at)]))
            continue;
        const double m = modelPitch[std::size_t(at)];
        const double t = takePitch[std::size_t(at)];
        sd += d;
        sm += m;
        st += t;
        sdd += double(d) * d;
        sdm += d * m;
        sdt += d * t;
        ++count;
    }
    // A third of the window voiced in both, or the line means little.
    if (count < kLeastPitchFrames)
        return std::nullopt;
    const double spread = sdd - sd * sd / count;
    if (spread <= 0)
        return std::nullopt;
    const double span = 2.0 * kPitchHalf;
    return Movement{float((sdm - sd * sm / count) / spread * span), float((sdt - sd * st / count) / spread * span)};
}

std::vector<float> PitchStrength(const std::vector<float>& modelPitch, const std::vector<float>& takePitch,
                                 FrameRange speech)
{
    std::vector<float> strength(modelPitch.size(), 0.0f);
    const int n = int(strength.size());
    for (int k = speech.first; k <= speech.last && k < n; ++k) {
        const std::optional<Movement> moved = MovementAround(k, modelPitch, takePitch);
        if (!moved)
            continue;
        const float least = std::min(std::fabs(moved->model), std::fabs(moved->take));
        if (moved->model * moved->take >= 0 || least < kLeastMovement)
            continue;
        // The movement belongs to the middle of its window.
        for (int m = std::max(0, k - kPitchHalf / 2); m <= std::min(n - 1, k + kPitchHalf / 2); ++m)
            strength[std::size_t(m)] = std::max(strength[std::size_t(m)], least / kLeastMovement);
    }
    return strength;
}

bool Overlap(const Parting& a, const Parting& b)
{
    return a.firstFrame <= b.lastFrame && b.firstFrame <= a.lastFrame;
}

} // namespace

std::vector<Parting> FindPartings(const std::vector<float>& frameCost, const std::vector<float>& modelPitch,
                                  const std::vector<float>& takePitch, FrameRange modelSpeech)
{
    if (modelSpeech.Empty())
        return {};
    std::vector<Parting> all = Stretches(SoundStrength(frameCost, modelSpeech), true);
    std::vector<Parting> pitch = Stretches(PitchStrength(modelPitch, takePitch, modelSpeech), false);
    for (const Parting& p : pitch) {
        const auto same = std::find_if(all.begin(), all.end(), [&](const Parting& s) { return s.sound && Overlap(s, p); });
        if (same == all.end()) {
            all.push_back(p);
            continue;
        }
        same->pitch = true;
        same->score += p.score;
        same->firstFrame = std::min(same->firstFrame, p.firstFrame);
        same->lastFrame = std::max(same->lastFrame, p.lastFrame);
    }
    std::stable_sort(all.begin(), all.end(), [](const Parting& a, const Parting& b) { return a.score > b.score; });
    const auto bestPitch = std::find_if(all.begin(), all.end(), [](const Parting& p) { return p.pitch; });
    if (bestPitch != all.end() && bestPitch - all.begin() >= kMostPartings)
        std::rotate(all.begin() + kMostPartings - 1, bestPitch, bestPitch + 1);
    if (all.size() > std::size_t(kMostPartings))
        all.resize(kMostPartings);
    return all;
}
