#pragma once

#include "WavData.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The lesson recordings' MP3 format: 44.1 kHz joint stereo, 128 kbit/s CBR,
// with a LAME info tag carrying encoder delay and padding so that a gapless
// decoder gives back exactly the encoded samples.
inline constexpr int kMp3SampleRate = 44100;
inline constexpr int kMp3Kbps = 128;

struct EncodedMp3 {
    QByteArray bytes;
    qint64 frames = 0;  // samples per channel a gapless decoder returns
};

// Resamples to 44.1 kHz when needed, then encodes. Deterministic: the same
// input gives the same bytes. Each call owns its encoder, so calls may run
// on several threads at once.
std::optional<EncodedMp3> EncodeMp3(const MonoPcm& pcm, QString& error);
