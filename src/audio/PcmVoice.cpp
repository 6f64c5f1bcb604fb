#include "audio/PcmVoice.h"

#include "audio/Mixer.h"
#include "audio/MixerVoice.h"
#include "audio/Resampler.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr long kBlockFrames = 1024;

} // namespace

// The voice state the audio thread sees. Written by the GUI thread only
// inside a MixerLock; mix() runs with that lock held.
struct PcmVoice::Shared final : MixerVoice {
    PcmVoice* owner = nullptr;
    const float* samples = nullptr;
    int channels = 0;
    int64_t frames = 0;
    Resampler* resampler = nullptr;  // null when the rates match
    double ratio = 1.0;               // mixer rate / buffer rate

    bool playing = false;
    bool paused = false;
    bool inputDone = false;
    int64_t startFrame = 0;
    int64_t inputPos = 0;     // next frame handed to the mix or the resampler
    int64_t outProduced = 0;  // frames mixed since startFrame

    std::array<float, kBlockFrames * Mixer::kChannels> block{};

    static long pull(void* user, float** data)
    {
        auto* self = static_cast<Shared*>(user);
        const int64_t n = std::min<int64_t>(kBlockFrames, self->frames - self->inputPos);
        if (n <= 0) {
            self->inputDone = true;
            return 0;
        }
        *data = const_cast<float*>(self->samples + self->inputPos * self->channels);
        self->inputPos += n;
        return static_cast<long>(n);
    }

    bool sounding() const override { return playing && !paused; }

    void mix(float* out, int frameCount) override
    {
        if (!playing || paused)
            return;
        long done = 0;
        bool ended = false;
        while (done < frameCount && !ended) {
            const long want = std::min<long>(frameCount - done, kBlockFrames);
            long got = 0;
            if (resampler) {
                got = resampler->read(ratio, block.data(), want);
                ended = got < want && inputDone;
                AddToStereo(out + 2 * done, block.data(), got, channels);
            } else {
                got = static_cast<long>(std::min<int64_t>(want, frames - inputPos));
                AddToStereo(out + 2 * done, samples + inputPos * channels, got, channels);
                inputPos += got;
                ended = inputPos >= frames;
            }
            done += got;
            outProduced += got;
            if (got == 0)
                ended = true;
        }
        if (ended) {
            playing = false;
            startFrame = inputPos = frames;
            outProduced = 0;
            owner->postEnd(End::ReachedEnd);
        }
    }

    int64_t position() const
    {
        if (!resampler)
            return inputPos;
        const auto pos = startFrame + static_cast<int64_t>(std::llround(double(outProduced) / ratio));
        return std::min(pos, frames);
    }
};

PcmVoice::PcmVoice(Mixer& mixer, QObject* parent)
    : QObject(parent), m_mixer(mixer), m_shared(std::make_unique<Shared>())
{
    m_shared->owner = this;
    m_mixer.addVoice(m_shared.get());
}

PcmVoice::~PcmVoice()
{
    m_mixer.removeVoice(m_shared.get());
}

bool PcmVoice::setBuffer(std::vector<float> samples, int channels, int sampleRate)
{
    clear();
    if (channels < 1 || channels > 2 || sampleRate < kMinRate || sampleRate > kMaxRate
        || samples.size() % static_cast<size_t>(channels) != 0)
        return false;
    std::unique_ptr<Resampler> resampler;
    if (sampleRate != m_mixer.rate()) {
        resampler = std::make_unique<Resampler>(channels, &Shared::pull, m_shared.get());
        if (!resampler->isValid())
            return false;
    }
    m_samples = std::move(samples);
    m_channels = channels;
    m_sampleRate = sampleRate;
    m_frames = static_cast<int64_t>(m_samples.size()) / channels;
    m_resampler = std::move(resampler);

    MixerLock lock(m_mixer);
    Shared& s = *m_shared;
    s.samples = m_samples.data();
    s.channels = channels;
    s.frames = m_frames;
    s.resampler = m_resampler.get();
    s.ratio = double(m_mixer.rate()) / sampleRate;
    s.inputPos = 0;
    s.startFrame = 0;
    s.outProduced = 0;
    return true;
}

void PcmVoice::clear()
{
    {
        MixerLock lock(m_mixer);
        stopLocked();
        Shared& s = *m_shared;
        s.samples = nullptr;
        s.channels = 0;
        s.frames = 0;
        s.resampler = nullptr;
        s.inputPos = 0;
    }
    // Freed outside the lock: the audio thread no longer points at them.
    m_resampler.reset();
    std::vector<float>().swap(m_samples);
    m_channels = 0;
    m_sampleRate = 0;
    m_frames = 0;
}

bool PcmVoice::play(int64_t fromFrame)
{
    if (!hasBuffer() || fromFrame < 0 || fromFrame > m_frames)
        return false;
    MixerLock lock(m_mixer);
    stopLocked();
    Shared& s = *m_shared;
    if (s.resampler)
        s.resampler->reset();
    s.startFrame = fromFrame;
    s.inputPos = fromFrame;
    s.outProduced = 0;
    s.inputDone = false;
    s.paused = false;
    s.playing = true;
    return true;
}

void PcmVoice::stop()
{
    MixerLock lock(m_mixer);
    stopLocked();
}

void PcmVoice::stopLocked()
{
    Shared& s = *m_shared;
    if (!s.playing)
        return;
    // Freeze the position where the sound stopped.
    const int64_t pos = s.position();
    s.playing = false;
    s.paused = false;
    s.inputPos = pos;
    s.startFrame = pos;
    s.outProduced = 0;
    postEnd(End::Stopped);
}

void PcmVoice::pause()
{
    MixerLock lock(m_mixer);
    if (m_shared->playing)
        m_shared->paused = true;
}

void PcmVoice::resume()
{
    MixerLock lock(m_mixer);
    m_shared->paused = false;
}

bool PcmVoice::isPlaying() const
{
    MixerLock lock(m_mixer);
    return m_shared->playing;
}

bool PcmVoice::isPaused() const
{
    MixerLock lock(m_mixer);
    return m_shared->playing && m_shared->paused;
}

int64_t PcmVoice::position() const
{
    MixerLock lock(m_mixer);
    return m_shared->position();
}

void PcmVoice::postEnd(End reason)
{
    QMetaObject::invokeMethod(
        this, [this, reason] { emit finished(reason); }, Qt::QueuedConnection);
}
