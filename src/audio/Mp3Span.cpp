#include "audio/Mp3Span.h"

#include "audio/LessonAudio.h"
#include "audio/Mp3Decoder.h"

#include <algorithm>

std::optional<PcmAudio> DecodeMp3Span(const QByteArray& mp3, int beginMs, int endMs)
{
    const std::unique_ptr<Mp3Decoder> decoder = Mp3Decoder::open(mp3);
    if (!decoder)
        return std::nullopt;
    const int64_t length = decoder->lengthFrames();
    const int64_t first = std::clamp<int64_t>(LessonAudio::MsToFrame(beginMs, decoder->rate()), 0, length);
    const int64_t last = endMs > beginMs ? std::min(LessonAudio::MsToFrame(endMs, decoder->rate()), length - 1) : length - 1;
    PcmAudio span;
    span.channels = decoder->channels();
    span.sampleRate = decoder->rate();
    const int64_t frames = std::max<int64_t>(0, last - first + 1);
    span.samples.resize(std::size_t(frames * span.channels));
    if (frames > 0 && !decoder->seek(first))
        return std::nullopt;
    int64_t got = 0;
    while (got < frames) {
        const long n = decoder->read(span.samples.data() + got * span.channels, long(frames - got));
        if (n <= 0)
            break;
        got += n;
    }
    span.samples.resize(std::size_t(got * span.channels));
    return span;
}
