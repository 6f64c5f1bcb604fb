#pragma once

#include "analysis/AnalysisVoice.h"
#include "analysis/FrameEnergy.h"
#include "analysis/PitchTrack.h"
#include "analysis/TakeComparison.h"

#include <algorithm>
#include <cmath>
#include <vector>

// Figures that judge a comparison against what is known of its take; shared
// by the tests and the benchmark.

// The median distance, in ms, between where the warp puts each sounding
// model frame in the take and where a take `durationFactor` times as long
// has it.
inline double WarpMedianErrorMs(const TakeComparison& c, double durationFactor)
{
    const std::vector<bool> quiet = QuietFrames(FrameLevels(c.model));
    std::vector<double> errors;
    for (int k = 0; k < c.ModelFrames(); ++k) {
        if (!quiet[std::size_t(k)])
            errors.push_back(std::fabs(c.takeFrameAt[std::size_t(k)] - k * durationFactor) * kFrameSeconds * 1000.0);
    }
    if (errors.empty())
        return INFINITY;
    std::nth_element(errors.begin(), errors.begin() + std::ptrdiff_t(errors.size() / 2), errors.end());
    return errors[errors.size() / 2];
}

// Semitones from the model's median pitch to the take's.
inline double PitchOffset(const TakeComparison& c)
{
    return SemitonesBetween(c.modelMedianHz, c.takeMedianHz);
}

// The share of model frames voiced in both where the two median-normalised
// contours lie within `semitones` of each other.
inline double PitchAgreement(const TakeComparison& c, double semitones)
{
    int both = 0;
    int close = 0;
    for (int k = 0; k < c.ModelFrames(); ++k) {
        const float model = c.modelPitch[std::size_t(k)];
        const float take = c.TakePitchAtModelFrame(k);
        if (std::isnan(model) || std::isnan(take))
            continue;
        ++both;
        close += std::fabs(model - take) <= semitones;
    }
    return both ? double(close) / both : 0.0;
}

// How much of begin..end seconds (on the model's time line) the strongest
// parting covers, 0..1; 0 without one.
inline double FirstPartingCover(const TakeComparison& c, double begin, double end)
{
    if (c.partings.empty() || end <= begin)
        return 0.0;
    const Parting& p = c.partings.front();
    const double from = p.firstFrame * kFrameSeconds;
    const double to = (p.lastFrame + 1) * kFrameSeconds;
    return std::max(0.0, std::min(end, to) - std::max(begin, from)) / (end - begin);
}
