// Any bytes as a lesson recording: opening fails cleanly or gives a decoder
// that seeks to a span and reads to the span's end, never past the recording.
// The first four bytes choose the span as fractions of the recording.
#include "audio/Mp3Decoder.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    const QByteArray mp3(reinterpret_cast<const char*>(data + 4), qsizetype(size - 4));
    const std::unique_ptr<Mp3Decoder> decoder = Mp3Decoder::open(mp3);
    if (!decoder)
        return 0;
    const int64_t length = decoder->lengthFrames();
    if (length <= 0 || decoder->channels() < 1 || decoder->channels() > 2 || decoder->rate() <= 0)
        std::abort();
    const int64_t first = length * (data[0] << 8 | data[1]) / 65536;
    const int64_t last = std::min(length - 1, first + length * (data[2] << 8 | data[3]) / 65536);
    if (!decoder->seek(first))
        return 0;
    std::vector<float> block(1024 * size_t(decoder->channels()));
    int64_t at = first;
    while (at <= last) {
        const long want = long(std::min<int64_t>(1024, last + 1 - at));
        const long got = decoder->read(block.data(), want);
        if (got < 0 || got > want)
            std::abort();
        if (got == 0)
            break;
        at += got;
    }
    // Nothing is ever read past the recording's end.
    if (decoder->read(block.data(), 1024) > length - at)
        std::abort();
    return 0;
}
