#include "audio/LessonVoice.h"

#include "audio/LessonAudio.h"
#include "audio/Mixer.h"
#include "audio/Mp3Decoder.h"
#include "audio/Resampler.h"
#include "audio/Stretcher.h"

#include <algorithm>

LessonVoice::LessonVoice(Mixer& mixer, std::unique_ptr<Mp3Decoder> decoder, LessonAudio* owner)
    : m_mixer(mixer),
      m_decoder(std::move(decoder)),
      m_resampler(std::make_unique<Resampler>(m_decoder->channels(), &LessonVoice::pull, this)),
      m_stretcher(std::make_unique<Stretcher>(m_decoder->channels(), m_decoder->rate(), &LessonVoice::stretchSource,
                                              this)),
      m_owner(owner)
{
    m_mixer.addVoice(this);
}

LessonVoice::~LessonVoice()
{
    m_mixer.removeVoice(this);
}

bool LessonVoice::isValid() const
{
    return m_resampler->isValid();
}

double LessonVoice::ratio() const
{
    // The stretcher changes the tempo; the resampler then only bridges the
    // recording's rate to the mixer's. Otherwise the playback rate is
    // truncated to whole hertz, as a rate setting would be.
    const int speed = m_stretching ? 10 : m_speed;
    const int64_t rate = int64_t(speed) * m_decoder->rate() / 10;
    return double(m_mixer.rate()) / double(rate);
}

// Under the lock, with nothing of the span buffered anywhere yet.
void LessonVoice::choosePath()
{
    m_stretching = m_keepPitch;
    if (m_stretching)
        m_stretcher->reset();
    m_resampling = ratio() != 1.0;
    if (m_resampling)
        m_resampler->reset();
    m_inputDone = false;
}

void LessonVoice::playSpan(int64_t first, int64_t last, uint32_t sync, int action)
{
    MixerLock lock(m_mixer);
    m_decoder->seek(first);
    m_inputPos = std::clamp<int64_t>(first, 0, m_decoder->lengthFrames());
    m_last = last;
    m_sync = sync;
    m_action = action;
    choosePath();
    m_playing = true;
}

void LessonVoice::stop()
{
    MixerLock lock(m_mixer);
    m_playing = false;
}

void LessonVoice::setSpeed(int speed)
{
    MixerLock lock(m_mixer);
    m_speed = speed;
    // A span so far copied untouched takes the resampler or the stretcher
    // from the next frame on; one already resampling glides to the new
    // ratio, one already stretching to the new tempo.
    if (m_playing && !m_resampling && !m_stretching && ratio() != 1.0)
        choosePath();
}

void LessonVoice::setKeepPitch(bool keepPitch)
{
    MixerLock lock(m_mixer);
    m_keepPitch = keepPitch;
}

bool LessonVoice::isPlaying() const
{
    MixerLock lock(m_mixer);
    return m_playing;
}

int64_t LessonVoice::inputPosition() const
{
    MixerLock lock(m_mixer);
    return m_inputPos;
}

long LessonVoice::decodeBlock(float* out, long frames)
{
    const long got = frames > 0 ? m_decoder->read(out, frames) : 0;
    m_inputPos += got;
    return got;
}

// The rest of the span, up to `frames` of it.
long LessonVoice::decodeSpan(float* out, long frames)
{
    return decodeBlock(out, static_cast<long>(std::min<int64_t>(frames, m_last + 1 - m_inputPos)));
}

long LessonVoice::stretchSource(void* user, float* out, long frames, bool* ended)
{
    auto* self = static_cast<LessonVoice*>(user);
    const long got = self->decodeSpan(out, frames);
    *ended = got < frames || self->m_inputPos > self->m_last;
    return got;
}

long LessonVoice::pull(void* user, float** data)
{
    auto* self = static_cast<LessonVoice*>(user);
    const long got = self->m_stretching ? self->m_stretcher->read(self->m_speed, self->m_input.data(), kBlockFrames)
                                        : self->decodeSpan(self->m_input.data(), kBlockFrames);
    if (got <= 0)
        self->m_inputDone = true;
    *data = self->m_input.data();
    return std::max(got, 0L);
}

void LessonVoice::mix(float* out, int frames)
{
    if (!m_playing)
        return;
    long done = 0;
    bool ended = false;
    while (done < frames && !ended) {
        const long want = std::min<long>(frames - done, kBlockFrames);
        long got = 0;
        if (m_resampling) {
            got = m_resampler->read(ratio(), m_block.data(), want);
            ended = got < want && m_inputDone;
        } else if (m_stretching) {
            got = m_stretcher->read(m_speed, m_block.data(), want);
            ended = m_stretcher->finished();
        } else {
            const long n = static_cast<long>(std::min<int64_t>(want, m_last + 1 - m_inputPos));
            got = decodeBlock(m_block.data(), n);
            ended = m_inputPos > m_last || got < n;
        }
        AddToStereo(out + 2 * done, m_block.data(), got, m_decoder->channels());
        done += got;
        if (got == 0)
            ended = true;
    }
    if (!ended)
        return;
    m_playing = false;
    if (m_sync != 0) {
        LessonAudio* owner = m_owner;
        const uint32_t sync = m_sync;
        const int action = m_action;
        QMetaObject::invokeMethod(
            owner, [owner, sync, action] { owner->SentenceEndSync(sync, action); }, Qt::QueuedConnection);
    }
}
