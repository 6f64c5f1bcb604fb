#include "audio/Mixer.h"

#include "audio/MixerVoice.h"

#include <SDL2/SDL.h>

#include <algorithm>

Mixer::Mixer(int rate, uint32_t device) : m_rate(rate), m_device(device) {}

bool Mixer::addVoice(MixerVoice* voice)
{
    MixerLock lock(*this);
    for (MixerVoice*& slot : m_voices) {
        if (!slot) {
            slot = voice;
            return true;
        }
    }
    return false;
}

void Mixer::removeVoice(MixerVoice* voice)
{
    MixerLock lock(*this);
    std::replace(m_voices.begin(), m_voices.end(), voice, static_cast<MixerVoice*>(nullptr));
}

void Mixer::render(float* out, int frames)
{
    const int values = frames * kChannels;
    std::fill(out, out + values, 0.0f);
    bool sounding = false;
    for (MixerVoice* voice : m_voices) {
        if (voice) {
            voice->mix(out, frames);
            sounding = sounding || voice->sounding();
        }
    }
    if (sounding)
        m_silentFrames.store(0, std::memory_order_relaxed);
    else
        m_silentFrames.fetch_add(frames, std::memory_order_relaxed);
    for (int i = 0; i < values; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

void Mixer::lock()
{
    if (m_device == 0)
        return;
    SDL_LockAudioDevice(m_device);
    m_silentFrames.store(0, std::memory_order_relaxed);
    if (m_paused) {
        // The callback runs again at the device's next period, so the sound
        // starts no later than it would on a running device.
        m_paused = false;
        SDL_PauseAudioDevice(m_device, 0);
    }
}

void Mixer::unlock()
{
    if (m_device != 0)
        SDL_UnlockAudioDevice(m_device);
}
