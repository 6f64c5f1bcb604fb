#pragma once

#include "WavData.h"

#include <vector>

// Where one sentence lies in its lesson recording, in milliseconds.
struct SentenceSpan {
    int beginMs = 0;
    int endMs = 0;
};

struct LessonRecording {
    MonoPcm pcm;
    std::vector<SentenceSpan> spans;  // one per clip, in order
};

// Silence around and between the sentences of a lesson recording.
inline constexpr int kLeadingSilenceMs = 500;
inline constexpr int kPauseMs = 400;
inline constexpr int kTrailingSilenceMs = 500;

// Pure; callable from any thread.
// Joins the sentence clips (all at one sample rate) into one recording:
// leading silence, the clips with a pause between each two, trailing
// silence. Spans are taken from the sample counts, widened outwards to
// whole milliseconds, so each covers its clip and stays out of the pauses.
LessonRecording AssembleLesson(const std::vector<MonoPcm>& clips);
