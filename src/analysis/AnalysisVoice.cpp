#include "analysis/AnalysisVoice.h"

#include "audio/WavFile.h"

#include <samplerate.h>

#include <cmath>

int FrameCount(std::size_t samples)
{
    return int((samples + kAnalysisHop - 1) / kAnalysisHop);
}

std::vector<float> AnalysisVoice(const PcmAudio& audio)
{
    const int64_t frames = audio.Frames();
    if (frames == 0 || audio.sampleRate <= 0)
        return {};
    std::vector<float> mono(static_cast<std::size_t>(frames));
    for (int64_t f = 0; f < frames; ++f) {
        float sum = 0;
        for (int c = 0; c < audio.channels; ++c)
            sum += audio.samples[std::size_t(f * audio.channels + c)];
        mono[std::size_t(f)] = sum / float(audio.channels);
    }
    if (audio.sampleRate == kAnalysisRate)
        return mono;

    const double ratio = double(kAnalysisRate) / audio.sampleRate;
    std::vector<float> out(static_cast<std::size_t>(std::ceil(double(frames) * ratio)) + 1);
    SRC_DATA data{};
    data.data_in = mono.data();
    data.input_frames = long(mono.size());
    data.data_out = out.data();
    data.output_frames = long(out.size());
    data.src_ratio = ratio;
    // Pitch and spectra below 8 kHz need no better filter than the fastest sinc.
    if (src_simple(&data, SRC_SINC_FASTEST, 1) != 0)
        return {};
    out.resize(std::size_t(data.output_frames_gen));
    return out;
}
