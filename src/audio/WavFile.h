#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// Decoded audio: interleaved float samples in -1..1, frames × channels values.
struct PcmAudio {
    int channels = 0;
    int sampleRate = 0;
    std::vector<float> samples;

    int64_t Frames() const { return channels > 0 ? int64_t(samples.size()) / channels : 0; }
};

// Reads every WAV layout libsndfile knows (PCM 8/16/24/32, float, IMA and MS
// ADPCM, µ-law, A-law). ADPCM data is stored in whole blocks, so the last
// block is padded; where the file states its true length (the "fact" chunk)
// the padding is cut off. Nothing when the bytes are not a WAV file libsndfile
// can decode, or hold no channels or no rate.
// Pure functions: callable from any thread.
std::optional<PcmAudio> DecodeWav(const QByteArray& bytes);
std::optional<PcmAudio> DecodeWavFile(const QString& path);

// The true length in frames stated by a compressed WAV's "fact" chunk, or
// nothing for PCM and float data (whose length is exact) and for files that
// state none. Exposed for the decoder's tests.
std::optional<int64_t> StatedAdpcmFrames(const QByteArray& bytes);
