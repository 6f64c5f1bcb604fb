#include "analysis/AubioFrames.h"

#include "analysis/AnalysisVoice.h"

#include <cstdint>

void FeedCentred(const std::vector<float>& voice, int window,
                 const std::function<void(const fvec_t& hop)>& step,
                 const std::function<void(int frame)>& frame)
{
    // aubio keeps the last `window` samples; after call i the window ends at
    // padded sample (i + 1) × hop. Leading zeros make that centre fall on a
    // frame's centre, `delay` calls later.
    const int half = window / 2;
    const int pad = (kAnalysisHop - half % kAnalysisHop) % kAnalysisHop;
    const int delay = (half + pad) / kAnalysisHop - 1;
    const int frames = FrameCount(voice.size());
    const AubioPtr<fvec_t> hop(new_fvec(kAnalysisHop));
    const int64_t size = int64_t(voice.size());
    for (int call = 0; call < frames + delay; ++call) {
        for (int j = 0; j < kAnalysisHop; ++j) {
            const int64_t at = int64_t(call) * kAnalysisHop + j - pad;
            hop->data[j] = at >= 0 && at < size ? voice[std::size_t(at)] : 0.0f;
        }
        step(*hop);
        if (call >= delay)
            frame(call - delay);
    }
}

std::vector<float> Dithered(const std::vector<float>& voice)
{
    std::vector<float> out(voice);
    uint32_t state = 0x9E3779B9u;
    for (float& s : out) {
        state = state * 1664525u + 1013904223u;
        s += (float(state >> 8) / float(1u << 24) - 0.5f) * 2e-5f;
    }
    return out;
}
