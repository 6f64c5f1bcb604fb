#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

// Decodes MP3 bytes with libmpg123, gapless, to 16-bit interleaved samples:
// the recording as the program's player sees it.
struct DecodedMp3 {
    long rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;  // interleaved
    std::size_t frames() const { return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0; }
};

std::optional<DecodedMp3> DecodeMp3(const QByteArray& mp3);
