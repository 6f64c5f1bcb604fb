#pragma once

#include "analysis/Partings.h"
#include "analysis/TakeLoudness.h"
#include "analysis/WordPlacement.h"

#include <QString>

#include <stop_token>
#include <vector>

struct PcmAudio;

// A take set against its model, everything on the model's time line: the
// two voices, the take's time warped onto the model's, both pitch contours
// around each speaker's own median, the model's words and the stretches
// where the two part most.
struct TakeComparison {
    std::vector<float> model;  // mono voices at the analysis rate
    std::vector<float> take;
    // Per model frame: the take frame over it (fractional), and how many take
    // frames the take spends on one model frame there (above 1: slower; 1
    // outside the speech).
    std::vector<double> takeFrameAt;
    std::vector<float> pace;
    // Semitones around each voice's median pitch; NaN where unvoiced. The
    // model's per model frame, the take's per take frame.
    std::vector<float> modelPitch;
    std::vector<float> takePitch;
    float modelMedianHz = 0;  // 0 when no frame is voiced
    float takeMedianHz = 0;
    std::vector<PlacedWord> words;
    std::vector<Parting> partings;
    TakeLoudness loudness;
    bool cut = false;  // the model or the take ran past kLongestComparedSeconds

    int ModelFrames() const { return int(takeFrameAt.size()); }
    double ModelSeconds() const;
    double TakeSeconds() const;
    // Where in the take the model's `seconds` lie.
    double TakeSecondsAt(double modelSeconds) const;
    // The take's pitch over model frame k, NaN where unvoiced.
    float TakePitchAtModelFrame(int k) const;
};

// Longer voices are compared over their beginning only: a take left running
// would otherwise cost the warping time and memory for nothing.
constexpr double kLongestComparedSeconds = 30.0;

// Analyses a take against its model and the model's text (a sentence or a
// word). `foundWords` are the model's words where the speech recogniser
// found them; without them the words are spread over the model's speech.
// Either voice may be empty; what cannot be found then stays empty. The
// take's loudness is judged on the whole take. Pure and self-contained: run
// it off the GUI thread. A stop requested through `stop` ends the work
// between its stages; what it returns then is to be thrown away.
TakeComparison CompareTake(const PcmAudio& model, const PcmAudio& take, const QString& modelText,
                           const std::vector<PlacedWord>& foundWords = {}, std::stop_token stop = {});
