#pragma once

// Rendering a lesson voice straight from the mixer, and comparing what came
// out with decoded frames.
#include "audio/LessonAudio.h"
#include "audio/Mixer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// Renders in blocks of `block` frames until the lesson voice stops (a minute
// at most); returns the stereo output of every block rendered.
inline std::vector<float> RenderUntilStopped(Mixer& mixer, LessonAudio& audio, int block = 1024)
{
    std::vector<float> out;
    std::vector<float> buffer(static_cast<size_t>(block) * 2);
    for (int64_t frames = 0; frames < 60 * 44100 && audio.isPlaying(); frames += block) {
        mixer.render(buffer.data(), block);
        out.insert(out.end(), buffer.begin(), buffer.end());
    }
    return out;
}

inline std::vector<float> Render(Mixer& mixer, int frames)
{
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    mixer.render(out.data(), frames);
    return out;
}

// Frames first..last (inclusive) of an interleaved stereo signal.
inline std::vector<float> Slice(const std::vector<float>& stereo, int64_t first, int64_t last)
{
    return {stereo.begin() + first * 2, stereo.begin() + (last + 1) * 2};
}

inline float MaxDifference(const std::vector<float>& a, const std::vector<float>& b, size_t values)
{
    float worst = 0.0f;
    for (size_t i = 0; i < values; ++i)
        worst = std::max(worst, std::abs(a[i] - b[i]));
    return worst;
}

inline bool AllSilent(const std::vector<float>& v, size_t from)
{
    return std::all_of(v.begin() + static_cast<std::ptrdiff_t>(from), v.end(), [](float x) { return x == 0.0f; });
}
