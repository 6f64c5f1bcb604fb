#pragma once

#include <aubio/aubio.h>

#include <functional>
#include <memory>
#include <vector>

// Owners for the aubio objects the analysis creates.
struct AubioDeleter {
    void operator()(fvec_t* v) const { del_fvec(v); }
    void operator()(cvec_t* v) const { del_cvec(v); }
    void operator()(aubio_pitch_t* p) const { del_aubio_pitch(p); }
    void operator()(aubio_mfcc_t* m) const { del_aubio_mfcc(m); }
    void operator()(aubio_fft_t* f) const { del_aubio_fft(f); }
};
template <class T>
using AubioPtr = std::unique_ptr<T, AubioDeleter>;

// Feeds `voice` hop by hop to an aubio object that looks at the last `window`
// samples it was given, so that the result handed to `frame` with index k
// belongs to the window centred on analysis frame k (see AnalysisVoice.h).
// `step` receives each hop of input and returns nothing; `frame(k)` is
// called after the step that completes frame k, for every frame of the voice.
void FeedCentred(const std::vector<float>& voice, int window,
                 const std::function<void(const fvec_t& hop)>& step,
                 const std::function<void(int frame)>& frame);

// The voice with a faint fixed noise added (about −100 dBFS): digital
// silence has no spectrum to take the logarithm of, and recorded silence is
// never digital.
std::vector<float> Dithered(const std::vector<float>& voice);
