#include "speech/SpeechSamples.h"

#include "audio/Mp3Decoder.h"
#include "audio/Resampler.h"
#include "speech/SpeechDecoder.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr long kFeedBlockFrames = 4096;

// Hands the resampler mono blocks pulled from `fill`, which writes up to
// kFeedBlockFrames interleaved frames and returns how many it wrote.
struct MonoFeed {
    int channels = 1;
    std::function<long(float*, long)> fill;
    std::vector<float> interleaved;
    std::vector<float> mono;

    static long Pull(void* user, float** data)
    {
        auto* feed = static_cast<MonoFeed*>(user);
        const long frames = feed->fill(feed->interleaved.data(), kFeedBlockFrames);
        for (long f = 0; f < frames; ++f) {
            float sum = 0;
            for (int c = 0; c < feed->channels; ++c)
                sum += feed->interleaved[std::size_t(f * feed->channels + c)];
            feed->mono[std::size_t(f)] = sum / float(feed->channels);
        }
        *data = feed->mono.data();
        return std::max(frames, 0L);
    }
};

std::vector<int16_t> Resampled(MonoFeed& feed, int rate, int64_t frames)
{
    feed.interleaved.resize(std::size_t(kFeedBlockFrames * feed.channels));
    feed.mono.resize(std::size_t(kFeedBlockFrames));
    const double ratio = double(kSpeechRate) / double(rate);
    const auto expected = std::size_t(std::llround(double(frames) * ratio));
    std::vector<int16_t> out;
    out.reserve(expected);
    Resampler resampler(1, &MonoFeed::Pull, &feed);
    if (!resampler.isValid())
        return out;
    std::vector<float> block(static_cast<std::size_t>(kFeedBlockFrames));
    while (out.size() < expected) {
        const long got = resampler.read(ratio, block.data(), long(std::min<std::size_t>(kFeedBlockFrames, expected - out.size())));
        if (got <= 0)
            break;
        for (long i = 0; i < got; ++i)
            out.push_back(int16_t(std::lround(std::clamp(block[std::size_t(i)], -1.0f, 1.0f) * 32767.0f)));
    }
    return out;
}

} // namespace

std::optional<std::vector<int16_t>> SpeechSamplesOfMp3(const QByteArray& mp3)
{
    std::unique_ptr<Mp3Decoder> decoder = Mp3Decoder::open(mp3);
    if (!decoder)
        return std::nullopt;
    MonoFeed feed;
    feed.channels = decoder->channels();
    feed.fill = [&decoder](float* out, long frames) { return decoder->read(out, frames); };
    return Resampled(feed, decoder->rate(), decoder->lengthFrames());
}

std::vector<int16_t> SpeechSamplesOf(const PcmAudio& audio)
{
    if (audio.channels <= 0 || audio.sampleRate <= 0)
        return {};
    MonoFeed feed;
    feed.channels = audio.channels;
    int64_t position = 0;
    feed.fill = [&](float* out, long frames) {
        const long n = long(std::min<int64_t>(frames, audio.Frames() - position));
        std::copy_n(audio.samples.begin() + long(position * audio.channels), n * audio.channels, out);
        position += n;
        return n;
    };
    return Resampled(feed, audio.sampleRate, audio.Frames());
}
