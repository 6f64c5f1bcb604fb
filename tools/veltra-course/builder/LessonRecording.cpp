#include "LessonRecording.h"

#include <cassert>

namespace {

std::size_t SamplesFor(int ms, int rate)
{
    return static_cast<std::size_t>(static_cast<int64_t>(ms) * rate / 1000);
}

} // namespace

LessonRecording AssembleLesson(const std::vector<MonoPcm>& clips)
{
    LessonRecording recording;
    if (clips.empty())
        return recording;
    const int rate = clips.front().sampleRate;
    recording.pcm.sampleRate = rate;
    std::vector<int16_t>& out = recording.pcm.samples;
    out.assign(SamplesFor(kLeadingSilenceMs, rate), 0);
    for (std::size_t i = 0; i < clips.size(); ++i) {
        assert(clips[i].sampleRate == rate);
        if (i > 0)
            out.insert(out.end(), SamplesFor(kPauseMs, rate), 0);
        const int64_t begin = static_cast<int64_t>(out.size());
        out.insert(out.end(), clips[i].samples.begin(), clips[i].samples.end());
        const int64_t end = static_cast<int64_t>(out.size());
        recording.spans.push_back({static_cast<int>(begin * 1000 / rate), static_cast<int>((end * 1000 + rate - 1) / rate)});
    }
    out.insert(out.end(), SamplesFor(kTrailingSilenceMs, rate), 0);
    return recording;
}
