#include "audio/Resampler.h"

#include <samplerate.h>

Resampler::Resampler(int channels, Source source, void* user) : m_channels(channels)
{
    int error = 0;
    m_state = src_callback_new(source, SRC_SINC_FASTEST, channels, &error, user);
}

Resampler::~Resampler()
{
    if (m_state)
        src_delete(m_state);
}

void Resampler::reset()
{
    if (m_state)
        src_reset(m_state);
}

long Resampler::read(double ratio, float* out, long frames)
{
    if (!m_state)
        return 0;
    return src_callback_read(m_state, ratio, frames, out);
}
