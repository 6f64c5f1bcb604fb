// Any bytes as a word recording: decoding fails cleanly or gives whole
// frames of a sane format, and never more frames than the bytes can hold.
#include "audio/WavFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray wav(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<PcmAudio> audio = DecodeWav(wav);
    if (!audio)
        return 0;
    if (audio->channels < 1 || audio->sampleRate < 1
        || audio->samples.size() % size_t(audio->channels) != 0
        || audio->Frames() > int64_t(size) * 8)
        std::abort();
    StatedAdpcmFrames(wav);
    return 0;
}
