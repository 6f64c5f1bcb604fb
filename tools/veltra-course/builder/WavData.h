#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

// 16-bit mono PCM as the speech synthesizer produces it. The functions below
// are pure: callable from any thread.
struct MonoPcm {
    int sampleRate = 0;
    std::vector<int16_t> samples;
};

// Reads 16-bit mono PCM WAV bytes. Tolerates the placeholder chunk sizes a
// writer on a pipe leaves behind (the data chunk then runs to the end).
std::optional<MonoPcm> ParseWav(const QByteArray& bytes);

// A canonical 44-byte-header WAV file of 16-bit mono PCM.
QByteArray MakeWav(const MonoPcm& pcm);
