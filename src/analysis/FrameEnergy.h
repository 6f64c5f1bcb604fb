#pragma once

#include <vector>

// Loudness of each analysis frame in dB (RMS over 25 ms), and what follows
// from it. Pure functions: callable from any thread.
std::vector<float> FrameLevels(const std::vector<float>& voice);

// Frames more than this far below the voice's loudest frame count as quiet:
// pauses, breath, room noise.
constexpr float kQuietBelowPeakDb = 35.0f;
std::vector<bool> QuietFrames(const std::vector<float>& levels);

// The frames from the first to the last one that is not quiet, widened by
// `marginFrames` on each side; an empty range (first > last) when every
// frame is quiet.
struct FrameRange {
    int first = 0;
    int last = -1;
    bool Empty() const { return last < first; }
    int Count() const { return Empty() ? 0 : last - first + 1; }
};
FrameRange SpeechRange(const std::vector<bool>& quiet, int marginFrames);
