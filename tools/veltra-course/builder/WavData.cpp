#include "WavData.h"

#include <QtEndian>

#include <algorithm>

namespace {

// Byte by byte: callers have checked the bounds, and this keeps the
// optimiser from tracing the read into QByteArray's shared empty buffer.
uint32_t ReadLe32(const QByteArray& bytes, qsizetype at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(bytes.at(at + i));
    return value;
}

uint16_t ReadLe16(const QByteArray& bytes, qsizetype at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes.at(at)) | static_cast<uint8_t>(bytes.at(at + 1)) << 8);
}

void AppendLe32(QByteArray& out, uint32_t value)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    out.append(buffer, 4);
}

void AppendLe16(QByteArray& out, uint16_t value)
{
    char buffer[2];
    qToLittleEndian(value, buffer);
    out.append(buffer, 2);
}

} // namespace

std::optional<MonoPcm> ParseWav(const QByteArray& bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    MonoPcm pcm;
    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const qint64 declared = ReadLe32(bytes, at + 4);
        const qsizetype body = at + 8;
        const qsizetype available = bytes.size() - body;
        if (id == "fmt ") {
            if (declared < 16 || available < 16)
                return std::nullopt;
            const uint16_t format = ReadLe16(bytes, body);
            const uint16_t channels = ReadLe16(bytes, body + 2);
            const uint16_t bits = ReadLe16(bytes, body + 14);
            if (format != 1 || channels != 1 || bits != 16)
                return std::nullopt;
            pcm.sampleRate = static_cast<int>(ReadLe32(bytes, body + 4));
            haveFormat = pcm.sampleRate > 0;
        } else if (id == "data") {
            if (!haveFormat)
                return std::nullopt;
            const qsizetype length = std::min<qint64>(declared, available) & ~qint64(1);
            pcm.samples.resize(static_cast<std::size_t>(length / 2));
            for (std::size_t i = 0; i < pcm.samples.size(); ++i)
                pcm.samples[i] = static_cast<int16_t>(ReadLe16(bytes, body + static_cast<qsizetype>(i) * 2));
            return pcm;
        }
        if (declared > available)
            return std::nullopt;
        at = body + declared + (declared & 1);
    }
    return std::nullopt;
}

QByteArray MakeWav(const MonoPcm& pcm)
{
    const uint32_t dataBytes = static_cast<uint32_t>(pcm.samples.size() * 2);
    QByteArray out;
    out.reserve(44 + static_cast<qsizetype>(dataBytes));
    out.append("RIFF", 4);
    AppendLe32(out, 36 + dataBytes);
    out.append("WAVEfmt ", 8);
    AppendLe32(out, 16);
    AppendLe16(out, 1);  // PCM
    AppendLe16(out, 1);  // mono
    AppendLe32(out, static_cast<uint32_t>(pcm.sampleRate));
    AppendLe32(out, static_cast<uint32_t>(pcm.sampleRate) * 2);
    AppendLe16(out, 2);  // block align
    AppendLe16(out, 16);
    out.append("data", 4);
    AppendLe32(out, dataBytes);
    for (const int16_t sample : pcm.samples)
        AppendLe16(out, static_cast<uint16_t>(sample));
    return out;
}
