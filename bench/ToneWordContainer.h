#pragma once

// A word container, as the course ships them, around a WAV of a steady tone.
#include "audio/Container.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sndfile.h>

#include <cmath>
#include <vector>

// `frames` frames of a mono sine at `hz` with peak `amplitude` (of full
// scale), written to `wavPath` as a WAV of `subformat` (SF_FORMAT_PCM_16,
// SF_FORMAT_IMA_ADPCM, ...) and packed. Empty when the WAV cannot be written.
inline QByteArray PackedToneWav(const QString& wavPath, int rate, int frames, double hz, float amplitude,
                                int subformat)
{
    std::vector<float> samples(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        samples[static_cast<size_t>(i)] = amplitude * float(std::sin(2 * M_PI * hz * i / rate));
    SF_INFO info{};
    info.channels = 1;
    info.samplerate = rate;
    info.format = SF_FORMAT_WAV | subformat;
    SNDFILE* file = sf_open(QFile::encodeName(wavPath).constData(), SFM_WRITE, &info);
    if (!file)
        return {};
    sf_writef_float(file, samples.data(), frames);
    sf_close(file);
    QFile in(wavPath);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return PackContainer(in.readAll());
}
