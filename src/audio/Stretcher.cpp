#include "audio/Stretcher.h"

#include <SoundTouch.h>

#include <algorithm>

namespace {

// Silence pushed after the input to bring out what the stretch still holds:
// far more than its latency at any speed, so only a broken stretch trips it.
constexpr int kMaxFlushBlocks = 32;

// Input fed at each extreme speed when the stretcher is made, without taking
// any output: the stretch's inner buffers grow to several times what a read
// ever makes them hold, so no read has to grow them.
constexpr int kWarmUpBlocks = 12;

} // namespace

Stretcher::Stretcher(int channels, int rate, Source source, void* user)
    : m_touch(std::make_unique<soundtouch::SoundTouch>()),
      m_channels(std::clamp(channels, 1, 2)),
      m_source(source),
      m_user(user)
{
    m_touch->setChannels(static_cast<uint>(m_channels));
    m_touch->setSampleRate(static_cast<uint>(rate));
    // The rate is never changed, so there is nothing to alias.
    m_touch->setSetting(SETTING_USE_AA_FILTER, 0);
    warmUp();
}

Stretcher::~Stretcher() = default;

void Stretcher::warmUp()
{
    for (int speed : {8, 12}) {
        setSpeed(speed);
        for (int i = 0; i < kWarmUpBlocks; ++i)
            m_touch->putSamples(m_silence.data(), kBlockFrames);
    }
    reset();
}

void Stretcher::reset()
{
    m_touch->clear();
    m_engaged = false;
    m_inputEnded = false;
    m_finished = false;
    m_flushBlocks = 0;
    m_expectedUnits = 0;
    m_target = 0;
    m_delivered = 0;
}

void Stretcher::setSpeed(int speed)
{
    if (speed == m_speed)
        return;
    m_speed = speed;
    m_touch->setTempo(speed / 10.0);
}

long Stretcher::takeOutput(float* out, long frames)
{
    long n = std::min<long>(frames, static_cast<long>(m_touch->numSamples()));
    if (m_inputEnded)
        n = static_cast<long>(std::min<int64_t>(n, m_target - m_delivered));
    n = static_cast<long>(m_touch->receiveSamples(out, static_cast<uint>(n)));
    m_delivered += n;
    if (m_inputEnded && m_delivered >= m_target)
        m_finished = true;
    return n;
}

long Stretcher::read(int speed, float* out, long frames)
{
    speed = std::clamp(speed, 8, 12);  // the output count is exact for these only
    long done = 0;
    while (done < frames && !m_finished) {
        float* at = out + done * m_channels;
        if (!m_engaged && speed == 10) {
            // Nothing is held inside the stretch yet: the input passes untouched.
            bool ended = false;
            done += std::max(m_source(m_user, at, frames - done, &ended), 0L);
            m_finished = ended;
            continue;
        }
        m_engaged = true;
        if (m_touch->numSamples() > 0 || (m_inputEnded && m_delivered >= m_target)) {
            done += takeOutput(at, frames - done);
            continue;
        }
        if (!m_inputEnded) {
            setSpeed(speed);
            bool ended = false;
            const long got = std::max(m_source(m_user, m_block.data(), kBlockFrames, &ended), 0L);
            m_touch->putSamples(m_block.data(), static_cast<uint>(got));
            m_expectedUnits += got * (10 * kUnitsPerFrame / m_speed);
            if (ended) {
                m_inputEnded = true;
                m_target = (m_expectedUnits + kUnitsPerFrame / 2) / kUnitsPerFrame;
            }
            continue;
        }
        if (m_flushBlocks++ >= kMaxFlushBlocks) {
            m_finished = true;
            continue;
        }
        m_touch->putSamples(m_silence.data(), kBlockFrames);
    }
    return done;
}
