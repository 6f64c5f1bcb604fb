#include "audio/RecordingPeaks.h"

#include "audio/LessonAudio.h"
#include "audio/Mp3Decoder.h"

#include <algorithm>

std::vector<PeakColumn> RecordingPeaks(const QByteArray& mp3, int beginMs, int endMs, int columns)
{
    std::unique_ptr<Mp3Decoder> reader = endMs > beginMs && columns > 0 ? Mp3Decoder::open(mp3) : nullptr;
    if (!reader)
        return {};
    const int channels = reader->channels();
    const int64_t windowFirst = LessonAudio::MsToFrame(beginMs, reader->rate());
    const int64_t windowFrames = LessonAudio::MsToFrame(endMs, reader->rate()) - windowFirst;
    WaveformPeaks peaks(windowFrames, columns);
    const int64_t first = std::clamp<int64_t>(windowFirst, 0, reader->lengthFrames());
    peaks.Skip(first - windowFirst);
    if (!reader->seek(first))
        return {};
    constexpr long kBlock = 8192;
    std::vector<float> block(static_cast<size_t>(kBlock * channels));
    while (peaks.FramesSeen() < windowFrames) {
        const long got = reader->read(block.data(), kBlock);
        if (got <= 0)
            break;
        peaks.Add(block.data(), got, channels);
    }
    return peaks.Columns();
}
