#pragma once

#include "analysis/FrameEnergy.h"
#include "analysis/Mfcc.h"

#include <vector>

// One cell of a warping path: a model frame paired with a take frame, and
// how far apart their features are.
struct WarpStep {
    int model = 0;
    int take = 0;
    float cost = 0;
};

// Dynamic time warping of the take's frames onto the model's, restricted to
// the two speech ranges (pauses before and after are not warped), over the
// Euclidean distance between feature vectors with symmetric steps. The path
// runs from the ranges' first frames to their last and keeps within a band
// around their diagonal, at least 0.3 s and a quarter of the longer range
// wide; each step off the diagonal costs a fifth of the mean distance along
// it, so that where the features say little the path keeps its pace. Where both frames are quiet the distance counts a quarter, so two
// pauses match whatever their background. Empty when either range is empty.
// Pure: callable from any thread.
std::vector<WarpStep> WarpBanded(const FeatureFrames& model, FrameRange modelRange, const std::vector<bool>& modelQuiet,
                                 const FeatureFrames& take, FrameRange takeRange, const std::vector<bool>& takeQuiet);

// For every model frame 0..modelFrames-1, the take frame it lies over: the
// mean of the take frames the path pairs it with; before and after the path,
// the take's time runs on at the model's pace from the path's ends (clamped
// to the take). Without a path the two are laid side by side from their starts.
std::vector<double> TakeFrameOfModelFrame(const std::vector<WarpStep>& path, int modelFrames, int takeFrames);

// For every model frame, the mean cost of the path's steps on it; NaN off the path.
std::vector<float> ModelFrameCost(const std::vector<WarpStep>& path, int modelFrames);
