#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sndfile.h>

#include <cmath>
#include <vector>

// Interleaved test signal: a different tone on each channel at half scale.
inline std::vector<float> Tone(int frames, int channels, int rate)
{
    std::vector<float> samples(size_t(frames) * size_t(channels));
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            samples[size_t(f) * channels + c] =
                0.5f * float(std::sin(2.0 * M_PI * (440.0 + 220.0 * c) * f / rate));
    return samples;
}

// Writes a WAV file with libsndfile; `subformat` is one of SF_FORMAT_PCM_16 etc.
inline bool WriteWav(const QString& path, int subformat, int channels, int rate,
                     const std::vector<float>& samples)
{
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = rate;
    info.format = SF_FORMAT_WAV | subformat;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const sf_count_t frames = sf_count_t(samples.size()) / channels;
    const bool ok = sf_writef_float(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && ok;
}

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
