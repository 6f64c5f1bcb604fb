#include "support/VoiceSamples.h"

#include "SpeechSynthesizer.h"
#include "WavData.h"

#include <SoundTouch.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kRate = 22050;

// The synthetic voice's shape at time `t` of its own (unstretched) time line.
double Fundamental(double t, double seconds, bool question)
{
    const double x = t / seconds;
    if (question && x >= 0.75)
        return 125.0 + 380.0 * (x - 0.75);
    return x < 0.5 ? 110.0 + 100.0 * x : 160.0 - 140.0 * (x - 0.5);
}

double Formant(double t, double low, double high, double rate)
{
    return low + (high - low) * (0.5 + 0.5 * std::sin(2.0 * M_PI * rate * t));
}

PcmAudio Mono(std::vector<float> samples)
{
    PcmAudio audio;
    audio.channels = 1;
    audio.sampleRate = kRate;
    audio.samples = std::move(samples);
    return audio;
}

PcmAudio ThroughSoundTouch(const PcmAudio& audio, double tempo, double semitones)
{
    soundtouch::SoundTouch touch;
    touch.setChannels(uint(audio.channels));
    touch.setSampleRate(uint(audio.sampleRate));
    touch.setTempo(tempo);
    touch.setPitchSemiTones(semitones);
    touch.putSamples(audio.samples.data(), uint(audio.Frames()));
    touch.flush();
    PcmAudio out;
    out.channels = audio.channels;
    out.sampleRate = audio.sampleRate;
    std::vector<float> block(4096 * std::size_t(audio.channels));
    while (const uint got = touch.receiveSamples(block.data(), 4096))
        out.samples.insert(out.samples.end(), block.begin(), block.begin() + std::ptrdiff_t(got * uint(audio.channels)));
    // Flushing pads the end; keep the length the tempo gives.
    out.samples.resize(std::size_t(std::lround(double(audio.Frames()) / tempo)) * std::size_t(audio.channels));
    return out;
}

} // namespace

PcmAudio SyntheticVoice(double seconds, double durationFactor, double semitones, bool question)
{
    const double pitch = std::pow(2.0, semitones / 12.0);
    const auto frames = std::size_t(std::lround(seconds * durationFactor * kRate));
    std::vector<float> samples(frames);
    double phase = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        // The point of the unstretched voice this sample stands for.
        const double t = double(i) / kRate / durationFactor;
        const double f0 = Fundamental(t, seconds, question) * pitch;
        phase += 2.0 * M_PI * f0 / kRate;
        const double f1 = Formant(t, 300.0, 800.0, 1.3);
        const double f2 = Formant(t, 900.0, 2300.0, 0.7);
        double v = 0;
        for (int h = 1; h * f0 < 5000.0; ++h) {
            const double f = h * f0;
            const double gain = std::exp(-std::pow((f - f1) / 150.0, 2)) + 0.5 * std::exp(-std::pow((f - f2) / 250.0, 2))
                + 0.02;
            v += gain * std::sin(h * phase);
        }
        const double syllables = std::pow(std::sin(M_PI * 4.0 * t), 2);
        samples[i] = float(0.12 * syllables * v);
    }
    return Mono(std::move(samples));
}

std::optional<PcmAudio> SynthesisedSpeech(const QString& text, QString& error, const QString& voice,
                                          int wordsPerMinute)
{
    SpeechSynthesizer::Options options;
    options.voice = voice;
    options.wordsPerMinute = wordsPerMinute;
    options.jobs = 1;
    auto spoken = SpeechSynthesizer(options).speak({text}, error);
    if (!spoken)
        return std::nullopt;
    const MonoPcm& pcm = spoken->front();
    PcmAudio audio;
    audio.channels = 1;
    audio.sampleRate = pcm.sampleRate;
    audio.samples.reserve(pcm.samples.size());
    for (int16_t s : pcm.samples)
        audio.samples.push_back(float(s) / 32768.0f);
    return audio;
}

PcmAudio Stretched(const PcmAudio& audio, double durationFactor)
{
    return ThroughSoundTouch(audio, 1.0 / durationFactor, 0.0);
}

PcmAudio PitchShifted(const PcmAudio& audio, double semitones)
{
    return ThroughSoundTouch(audio, 1.0, semitones);
}

PcmAudio Joined(const PcmAudio& a, const PcmAudio& b)
{
    PcmAudio out = a;
    out.samples.insert(out.samples.end(), b.samples.begin(), b.samples.end());
    return out;
}

PcmAudio SilenceLike(const PcmAudio& audio)
{
    PcmAudio out = audio;
    std::fill(out.samples.begin(), out.samples.end(), 0.0f);
    return out;
}

PcmAudio Scaled(const PcmAudio& audio, float gain)
{
    PcmAudio out = audio;
    for (float& s : out.samples)
        s = std::clamp(s * gain, -1.0f, 1.0f);
    return out;
}

QByteArray WavBytes(const PcmAudio& mono)
{
    MonoPcm pcm;
    pcm.sampleRate = mono.sampleRate;
    for (float s : mono.samples)
        pcm.samples.push_back(int16_t(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f)));
    return MakeWav(pcm);
}
