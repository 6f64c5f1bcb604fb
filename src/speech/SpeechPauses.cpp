#include "speech/SpeechPauses.h"

#include "speech/SpeechDecoder.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSamplesPerStep = kSpeechRate / 1000 * SpeechPauses::kStepMs;
constexpr int kWindowSteps = 2;  // loudness over 10 ms around each step
// Sound is what rises this far above the noise floor, but never more than
// kBelowSpeech under the level of the speech itself.
constexpr double kAboveFloorDb = 12;
constexpr double kBelowSpeechDb = 40;
constexpr double kSilenceDb = -90;

double PercentileDb(std::vector<double> levels, double p)
{
    if (levels.empty())
        return kSilenceDb;
    const auto k = std::size_t(p * double(levels.size() - 1));
    std::nth_element(levels.begin(), levels.begin() + long(k), levels.end());
    return levels[k];
}

} // namespace

SpeechPauses::SpeechPauses(std::span<const int16_t> pcm)
{
    const std::size_t steps = pcm.size() / kSamplesPerStep;
    std::vector<double> levels(steps);
    for (std::size_t s = 0; s < steps; ++s) {
        const std::size_t first = s >= 1 ? (s - 1) * kSamplesPerStep : 0;
        const std::size_t last = std::min(pcm.size(), (s + kWindowSteps) * kSamplesPerStep);
        double energy = 0;
        for (std::size_t i = first; i < last; ++i)
            energy += double(pcm[i]) * double(pcm[i]);
        const double rms = std::sqrt(energy / double(std::max<std::size_t>(last - first, 1))) / 32768.0;
        levels[s] = std::max(kSilenceDb, 20.0 * std::log10(std::max(rms, 1e-9)));
    }
    const double floor = PercentileDb(levels, 0.1);
    const double speech = PercentileDb(levels, 0.95);
    const double threshold = std::max(floor + kAboveFloorDb, speech - kBelowSpeechDb);
    m_loud.resize(steps);
    for (std::size_t s = 0; s < steps; ++s)
        m_loud[s] = levels[s] > threshold;
}

bool SpeechPauses::quietAt(int ms) const
{
    const int step = ms / kStepMs;
    return step < 0 || step >= int(m_loud.size()) || !m_loud[std::size_t(step)];
}

std::vector<SpeechPauses::Pause> SpeechPauses::pausesIn(int fromMs, int toMs, int minMs) const
{
    std::vector<Pause> found;
    const int steps = int(m_loud.size());
    int s = std::clamp(fromMs / kStepMs, 0, steps);
    const int last = std::clamp((toMs + kStepMs - 1) / kStepMs, 0, steps);
    // A pause reaching into the window is taken whole.
    while (s > 0 && s < steps && !m_loud[std::size_t(s)] && !m_loud[std::size_t(s - 1)])
        --s;
    while (s < last) {
        if (m_loud[std::size_t(s)]) {
            ++s;
            continue;
        }
        int e = s;
        while (e < steps && !m_loud[std::size_t(e)])
            ++e;
        if ((e - s) * kStepMs >= minMs)
            found.push_back({s * kStepMs, e * kStepMs});
        s = e;
    }
    return found;
}

namespace {

// The step boundary nearest to `ms` (within `reach`) where loudness turns
// from `before` to `!before`.
int NearestTurn(const std::vector<bool>& loud, int ms, int reachMs, bool before)
{
    const int center = ms / SpeechPauses::kStepMs;
    const int reach = reachMs / SpeechPauses::kStepMs;
    for (int d = 0; d <= reach; ++d) {
        for (const int edge : {center - d, center + d}) {
            if (edge <= 0 || edge >= int(loud.size()))
                continue;
            if (loud[std::size_t(edge - 1)] == before && loud[std::size_t(edge)] != before)
                return edge * SpeechPauses::kStepMs;
        }
    }
    return ms;
}

} // namespace

int SpeechPauses::onsetNear(int ms, int reachMs) const
{
    return NearestTurn(m_loud, ms, reachMs, false);
}

int SpeechPauses::offsetNear(int ms, int reachMs) const
{
    return NearestTurn(m_loud, ms, reachMs, true);
}
