#include "audio/WavFile.h"

#include "audio/WavLayout.h"

#include <QFile>

#include <sndfile.h>

#include <algorithm>
#include <cstring>

namespace {

// A read-only view of a byte array for sf_open_virtual.
struct MemoryReader {
    const QByteArray& bytes;
    sf_count_t offset = 0;
};

sf_count_t GetLength(void* data)
{
    return static_cast<MemoryReader*>(data)->bytes.size();
}

sf_count_t Seek(sf_count_t offset, int whence, void* data)
{
    auto* reader = static_cast<MemoryReader*>(data);
    sf_count_t base = 0;
    if (whence == SEEK_CUR)
        base = reader->offset;
    else if (whence == SEEK_END)
        base = reader->bytes.size();
    reader->offset = std::clamp<sf_count_t>(base + offset, 0, reader->bytes.size());
    return reader->offset;
}

sf_count_t Read(void* out, sf_count_t count, void* data)
{
    auto* reader = static_cast<MemoryReader*>(data);
    const sf_count_t available = reader->bytes.size() - reader->offset;
    const sf_count_t n = std::clamp<sf_count_t>(count, 0, available);
    std::memcpy(out, reader->bytes.constData() + reader->offset, size_t(n));
    reader->offset += n;
    return n;
}

sf_count_t Write(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t Tell(void* data)
{
    return static_cast<MemoryReader*>(data)->offset;
}

// The decoded length without the last block's padding. Only padding is cut:
// a stated length of zero or one shorter by a whole block or more is a
// careless writer's, and the audio is kept whole.
int64_t TrimmedFrames(const QByteArray& bytes, int64_t decodedFrames)
{
    const std::optional<int64_t> trueFrames = TrueAdpcmFrames(bytes);
    const std::optional<WavLayout> layout = ReadWavLayout(bytes);
    if (!trueFrames || !layout)
        return decodedFrames;
    const int64_t frames = *trueFrames;
    if (frames <= 0 || frames >= decodedFrames || decodedFrames - frames >= layout->samplesPerBlock)
        return decodedFrames;
    return frames;
}

} // namespace

std::optional<int64_t> StatedAdpcmFrames(const QByteArray& bytes)
{
    const std::optional<WavLayout> layout = ReadWavLayout(bytes);
    return layout && IsAdpcm(*layout) ? layout->statedFrames : std::nullopt;
}

std::optional<PcmAudio> DecodeWav(const QByteArray& original)
{
    const QByteArray bytes = MendUnfinishedHeader(original);
    MemoryReader reader{bytes};
    SF_VIRTUAL_IO io{GetLength, Seek, Read, Write, Tell};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &reader);
    if (!file)
        return std::nullopt;
    const bool isWav = (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV ||
                       (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAVEX;
    // No codec yields more than a few samples per byte; a larger count is a
    // damaged header and must not decide how much memory we take.
    const bool plausible = info.channels > 0 && info.samplerate > 0 && info.frames >= 0 &&
                           info.frames <= int64_t(bytes.size()) * 8 / info.channels;
    std::optional<PcmAudio> result;
    if (isWav && plausible) {
        PcmAudio audio;
        audio.channels = info.channels;
        audio.sampleRate = info.samplerate;
        audio.samples.resize(size_t(info.frames) * size_t(info.channels));
        const sf_count_t got = sf_readf_float(file, audio.samples.data(), info.frames);
        const int64_t frames = TrimmedFrames(bytes, std::max<sf_count_t>(got, 0));
        audio.samples.resize(size_t(frames) * size_t(info.channels));
        result = std::move(audio);
    }
    sf_close(file);
    return result;
}

std::optional<PcmAudio> DecodeWavFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return DecodeWav(file.readAll());
}
