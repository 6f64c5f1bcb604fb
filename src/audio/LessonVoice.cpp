#include "audio/LessonVoice.h"

#include "audio/LessonAudio.h"
#include "audio/Mixer.h"
#include "audio/Mp3Decoder.h"
#include "audio/Resampler.h"

#include <algorithm>

LessonVoice::LessonVoice(Mixer& mixer, std::unique_ptr<Mp3Decoder> decoder, LessonAudio* owner)
    : m_mixer(mixer),
      m_decoder(std::move(decoder)),
      m_resampler(std::make_unique<Resampler>(m_decoder->channels(), &LessonVoice::pull, this)),
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
    // The playback rate is truncated to whole hertz, as a rate setting would be.
    const int64_t rate = int64_t(m_speed) * m_decoder->rate() / 10;
    return double(m_mixer.rate()) / double(rate);
}

void LessonVoice::playSpan(int64_t first, int64_t last, uint32_t sync, int action)
{
    MixerLock lock(m_mixer);
    m_decoder->seek(first);
    m_inputPos = std::clamp<int64_t>(first, 0, m_decoder->lengthFrames());
    m_last = last;
    m_sync = sync;
    m_action = action;
    m_resampling = ratio() != 1.0;
    if (m_resampling)
        m_resampler->reset();
    m_inputDone = false;
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
    // A span started at the native rate switches to the resampler from the
    // next frame on; one already resampling just glides to the new ratio.
    if (m_playing && !m_resampling && ratio() != 1.0) {
        m_resampler->reset();
        m_inputDone = false;
        m_resampling = true;
    }
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

long LessonVoice::pull(void* user, float** data)
{
    auto* self = static_cast<LessonVoice*>(user);
    const long want = static_cast<long>(std::min<int64_t>(kBlockFrames, self->m_last + 1 - self->m_inputPos));
    const long got = self->decodeBlock(self->m_input.data(), want);
    if (got <= 0)
        self->m_inputDone = true;
    *data = self->m_input.data();
    return std::max(got, 0L);
}

void LessonVoice::add(float* out, const float* in, long frames) const
{
    if (m_decoder->channels() == 1) {
        for (long i = 0; i < frames; ++i) {
            out[2 * i] += in[i];
            out[2 * i + 1] += in[i];
        }
    } else {
        for (long i = 0; i < 2 * frames; ++i)
            out[i] += in[i];
    }
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
        } else {
            const long n = static_cast<long>(std::min<int64_t>(want, m_last + 1 - m_inputPos));
            got = decodeBlock(m_block.data(), n);
            ended = m_inputPos > m_last || got < n;
        }
        add(out + 2 * done, m_block.data(), got);
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
