#include "audio/AudioDevice.h"

#include "audio/AudioLibraries.h"

#include <QCoreApplication>

#include <SDL2/SDL.h>

namespace {

void SDLCALL RenderCallback(void* user, Uint8* stream, int bytes)
{
    const int frames = bytes / static_cast<int>(sizeof(float) * Mixer::kChannels);
    static_cast<Mixer*>(user)->render(reinterpret_cast<float*>(stream), frames);
}

std::unique_ptr<AudioDevice>& SharedSlot()
{
    static std::unique_ptr<AudioDevice> device;
    return device;
}

} // namespace

AudioDevice::AudioDevice(uint32_t device) : m_device(device), m_mixer(Mixer::kDefaultRate, device) {}

AudioDevice::~AudioDevice()
{
    delete m_idleCheck.data();
    SDL_CloseAudioDevice(m_device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::unique_ptr<AudioDevice> AudioDevice::open()
{
    // Without a sound card SDL_InitSubSystem still succeeds on most drivers;
    // the failure shows when the device is opened.
    if (!InitSdlAudio())
        return nullptr;
    std::unique_ptr<AudioDevice> device(new AudioDevice(0));
    SDL_AudioSpec want{};
    want.freq = Mixer::kDefaultRate;
    want.format = AUDIO_F32SYS;
    want.channels = Mixer::kChannels;
    want.samples = 1024;
    want.callback = RenderCallback;
    want.userdata = &device->m_mixer;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts, so the mixer's rate and layout hold.
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id == 0) {
        device.reset();  // quits the subsystem again; closing device 0 is a no-op
        return nullptr;
    }
    device->m_device = id;
    device->m_mixer.m_device = id;
    SDL_PauseAudioDevice(id, 0);
    // Without an event loop nothing checks, and the device simply keeps running.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        device->m_idleCheck = new QTimer(app);
        AudioDevice* self = device.get();
        QObject::connect(device->m_idleCheck, &QTimer::timeout, [self] { self->PauseWhenSilent(); });
        device->m_idleCheck->start(500);
    }
    return device;
}

AudioDevice* AudioDevice::shared()
{
    std::unique_ptr<AudioDevice>& slot = SharedSlot();
    if (!slot)
        slot = open();
    return slot.get();
}

void AudioDevice::PauseWhenSilent()
{
    const int64_t idleFrames = int64_t(kIdlePauseMs) * m_mixer.rate() / 1000;
    if (m_mixer.m_paused || m_mixer.silentFrames() < idleFrames)
        return;
    SDL_PauseAudioDevice(m_device, 1);
    m_mixer.m_paused = true;
}

bool AudioDevice::paused() const
{
    return SDL_GetAudioDeviceStatus(m_device) == SDL_AUDIO_PAUSED;
}
