#include "audio/WavLayout.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t LittleEndian32(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return uint32_t(u[0]) | uint32_t(u[1]) << 8 | uint32_t(u[2]) << 16 | uint32_t(u[3]) << 24;
}

uint16_t LittleEndian16(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return uint16_t(u[0] | u[1] << 8);
}

void PutLittleEndian32(char* p, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((value >> (8 * i)) & 0xFF);
}

constexpr uint16_t kMsAdpcm = 0x0002;
constexpr uint16_t kImaAdpcm = 0x0011;

// Samples per channel in the first `bytes` bytes of an ADPCM block: a
// header per channel with its first samples, then nibbles.
int64_t SamplesInBlock(const WavLayout& layout, int64_t bytes)
{
    const int64_t ch = layout.channels;
    if (layout.formatTag == kImaAdpcm) {
        // Four header bytes (one sample) per channel, then four bytes of
        // eight samples per channel in turn.
        return bytes < 4 * ch ? 0 : 1 + 8 * ((bytes - 4 * ch) / (4 * ch));
    }
    // Seven header bytes (two samples) per channel, then two nibbles a byte.
    return bytes < 7 * ch ? 0 : 2 + (bytes - 7 * ch) * 2 / ch;
}

} // namespace

std::optional<WavLayout> ReadWavLayout(const QByteArray& bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    WavLayout layout;
    // Chunks are word-aligned. A length running past the end stops the walk;
    // the data chunk is still noted, its length being the writer's word.
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const char* header = bytes.constData() + at;
        const int64_t length = LittleEndian32(header + 4);
        if (std::memcmp(header, "data", 4) == 0 && layout.dataOffset < 0) {
            layout.dataOffset = at + 8;
            layout.dataLength = length;
        }
        if (at + 8 + length > bytes.size())
            break;
        if (std::memcmp(header, "fmt ", 4) == 0 && length >= 14) {
            layout.formatTag = LittleEndian16(header + 8);
            layout.channels = LittleEndian16(header + 10);
            layout.blockAlign = LittleEndian16(header + 20);
            if (length >= 20)
                layout.samplesPerBlock = LittleEndian16(header + 8 + 18);
        } else if (std::memcmp(header, "fact", 4) == 0 && length >= 4) {
            layout.statedFrames = LittleEndian32(header + 8);
        }
        at += 8 + length + (length & 1);
    }
    return layout;
}

bool IsAdpcm(const WavLayout& layout)
{
    return layout.formatTag == kMsAdpcm || layout.formatTag == kImaAdpcm;
}

QByteArray MendUnfinishedHeader(const QByteArray& bytes)
{
    const std::optional<WavLayout> layout = ReadWavLayout(bytes);
    if (!layout || layout->dataOffset < 0 || layout->dataLength != 0 || LittleEndian32(bytes.constData() + 4) != 0
        || layout->dataOffset >= bytes.size())
        return bytes;
    const int64_t length = std::min<int64_t>(bytes.size() - layout->dataOffset, UINT32_MAX);
    QByteArray mended = bytes;
    PutLittleEndian32(mended.data() + 4, uint32_t(std::min<int64_t>(bytes.size() - 8, UINT32_MAX)));
    PutLittleEndian32(mended.data() + layout->dataOffset - 4, uint32_t(length));
    return mended;
}

std::optional<int64_t> TrueAdpcmFrames(const QByteArray& bytes)
{
    const std::optional<WavLayout> layout = ReadWavLayout(bytes);
    if (!layout || !IsAdpcm(*layout))
        return std::nullopt;
    if (layout->statedFrames)
        return layout->statedFrames;
    if (layout->dataOffset < 0 || layout->channels < 1 || layout->blockAlign < 1 || layout->samplesPerBlock < 1)
        return std::nullopt;
    const int64_t data = std::min(layout->dataLength, int64_t(bytes.size()) - layout->dataOffset);
    const int64_t rest = data % layout->blockAlign;
    if (rest == 0)
        return std::nullopt;
    return data / layout->blockAlign * layout->samplesPerBlock + SamplesInBlock(*layout, rest);
}
