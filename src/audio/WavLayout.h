#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

// What a WAV file's chunks say about its audio, read without decoding it.
struct WavLayout {
    uint16_t formatTag = 0;
    int channels = 0;
    int64_t blockAlign = 0;
    int64_t samplesPerBlock = 0;          // ADPCM "fmt " extension; 0 when not stated
    std::optional<int64_t> statedFrames;  // from the "fact" chunk
    int64_t dataOffset = -1;              // first byte of the samples; -1 without a "data" chunk
    int64_t dataLength = 0;               // as stated in the chunk header
};

// Nothing when the bytes are no RIFF WAVE file.
std::optional<WavLayout> ReadWavLayout(const QByteArray& bytes);

bool IsAdpcm(const WavLayout& layout);

// A header whose writer never came back to fill in the sizes (RIFF and data
// both 0, samples present) made whole: the data runs to the end of the file,
// as common players read it. Any other bytes come back unchanged.
QByteArray MendUnfinishedHeader(const QByteArray& bytes);

// The true length of ADPCM audio: what the "fact" chunk states, or without
// one, what a short last block holds. Nothing when neither tells.
std::optional<int64_t> TrueAdpcmFrames(const QByteArray& bytes);
