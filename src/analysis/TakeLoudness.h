#pragma once

struct PcmAudio;

// The loudness faults of a take that spoil every other comparison.
struct TakeLoudness {
    float peakDbfs = 0;     // −inf for silence
    bool tooQuiet = false;  // peak below kTooQuietDbfs
    bool clipped = false;   // flat tops at full scale, several times
};

constexpr float kTooQuietDbfs = -30.0f;

// Pure: callable from any thread. An empty take is too quiet.
TakeLoudness CheckLoudness(const PcmAudio& take);
