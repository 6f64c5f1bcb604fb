#include "audio/CaptureDevice.h"

#include "audio/AudioLibraries.h"

#include <SDL.h>

CaptureDevice::CaptureDevice(uint32_t device, int channels)
    : m_device(device), m_channels(channels)
{
}

CaptureDevice::~CaptureDevice()
{
    SDL_CloseAudioDevice(m_device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::unique_ptr<CaptureDevice> CaptureDevice::Open(int channels, int sampleRate)
{
    if ((channels != 1 && channels != 2) || sampleRate <= 0)
        return nullptr;
    if (!InitSdlAudio())
        return nullptr;
    SDL_AudioSpec wanted{};
    wanted.freq = sampleRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = Uint8(channels);
    wanted.samples = 1024;
    wanted.callback = nullptr; // SDL queues; we dequeue
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 1, &wanted, nullptr, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    SDL_PauseAudioDevice(device, 0);
    return std::unique_ptr<CaptureDevice>(new CaptureDevice(device, channels));
}

void CaptureDevice::Drain(std::vector<float>& samples)
{
    for (;;) {
        const Uint32 queued = SDL_GetQueuedAudioSize(m_device) / sizeof(float);
        // Whole frames only, so the interleaving stays aligned.
        const Uint32 wanted = queued - queued % Uint32(m_channels);
        if (wanted == 0)
            return;
        const size_t at = samples.size();
        samples.resize(at + wanted);
        const Uint32 got = SDL_DequeueAudio(m_device, samples.data() + at, wanted * sizeof(float));
        samples.resize(at + got / sizeof(float));
        if (got == 0)
            return;
    }
}
