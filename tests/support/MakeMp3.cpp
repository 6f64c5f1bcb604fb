#include "support/MakeMp3.h"

#include <lame/lame.h>

#include <cmath>
#include <cstring>
#include <memory>

std::vector<int16_t> MakeTestSignal(int64_t frames, int channels, int rate)
{
    std::vector<int16_t> pcm(static_cast<size_t>(frames * channels));
    uint32_t noise = 12345;
    double phaseA = 0.0;
    double phaseB = 0.0;
    for (int64_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        phaseA += 2.0 * M_PI * (220.0 + 180.0 * std::sin(0.7 * t)) / rate;
        phaseB += 2.0 * M_PI * (1250.0 + 400.0 * std::sin(1.3 * t)) / rate;
        for (int c = 0; c < channels; ++c) {
            noise = noise * 1664525u + 1013904223u;
            const double n = (double(noise >> 16) / 65535.0 - 0.5) * 0.02;
            const double v = 0.35 * std::sin(phaseA + c) + 0.15 * std::sin(phaseB) + n;
            pcm[static_cast<size_t>(i * channels + c)] = static_cast<int16_t>(std::lround(v * 32767.0));
        }
    }
    return pcm;
}

QByteArray EncodeMp3(const std::vector<int16_t>& pcm, int channels, int rate, int kbps, bool infoTag)
{
    std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> lame(lame_init(), lame_close);
    if (!lame)
        return {};
    lame_set_num_channels(lame.get(), channels);
    lame_set_in_samplerate(lame.get(), rate);
    lame_set_out_samplerate(lame.get(), rate);
    lame_set_brate(lame.get(), kbps);
    lame_set_mode(lame.get(), channels == 1 ? MONO : JOINT_STEREO);
    lame_set_quality(lame.get(), 7);  // fast; the fixtures need no finesse
    lame_set_bWriteVbrTag(lame.get(), infoTag ? 1 : 0);
    if (lame_init_params(lame.get()) < 0)
        return {};

    const int frames = static_cast<int>(pcm.size() / static_cast<size_t>(channels));
    QByteArray out;
    std::vector<unsigned char> buffer(static_cast<size_t>(1.25 * 4096 + 7200));
    constexpr int kChunk = 4096;
    std::vector<int16_t> mono;
    for (int at = 0; at < frames; at += kChunk) {
        const int n = std::min(kChunk, frames - at);
        int written = 0;
        if (channels == 2) {
            written = lame_encode_buffer_interleaved(lame.get(), const_cast<short*>(pcm.data() + 2 * at), n,
                                                     buffer.data(), static_cast<int>(buffer.size()));
        } else {
            written = lame_encode_buffer(lame.get(), pcm.data() + at, pcm.data() + at, n, buffer.data(),
                                         static_cast<int>(buffer.size()));
        }
        if (written < 0)
            return {};
        out.append(reinterpret_cast<const char*>(buffer.data()), written);
    }
    const int tail = lame_encode_flush(lame.get(), buffer.data(), static_cast<int>(buffer.size()));
    if (tail < 0)
        return {};
    out.append(reinterpret_cast<const char*>(buffer.data()), tail);
    if (!infoTag)
        return out;

    // The first frame was a placeholder for the tag that states the encoder
    // delay and padding; put the real one in its place. At the lowest bit
    // rates a frame has no room for the tag and LAME writes none (0 here),
    // as its own command-line encoder does: the frames are all there is.
    const size_t tagSize = lame_get_lametag_frame(lame.get(), buffer.data(), buffer.size());
    if (tagSize == 0)
        return out;
    if (tagSize > static_cast<size_t>(out.size()))
        return {};
    std::memcpy(out.data(), buffer.data(), tagSize);
    return out;
}

QByteArray MakeTestMp3(double seconds, int channels, int rate, int kbps)
{
    const auto frames = static_cast<int64_t>(std::llround(seconds * rate));
    return EncodeMp3(MakeTestSignal(frames, channels, rate), channels, rate, kbps);
}
