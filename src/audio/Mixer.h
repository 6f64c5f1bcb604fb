#pragma once

#include <array>
#include <atomic>
#include <cstdint>

class MixerVoice;

// Mixes the program's voices (lesson stream, word player, recorder's take)
// into one interleaved stereo float signal at a fixed rate.
//
// Threads: render() runs on the audio thread of the device that owns the
// mixer, or directly on a test's thread when no device is attached.
// addVoice()/removeVoice() and every change a voice makes to its own state
// happen on the GUI thread inside a MixerLock, which for a device-backed
// mixer is SDL's device lock (the callback never waits on any lock of ours).
class Mixer {
public:
    static constexpr int kChannels = 2;
    static constexpr int kDefaultRate = 44100;
    static constexpr int kMaxVoices = 8;

    // `device` is the SDL audio device whose callback calls render(); 0 for
    // a mixer that tests drive directly.
    explicit Mixer(int rate = kDefaultRate, uint32_t device = 0);
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    int rate() const { return m_rate; }

    // Registers a voice (not owned). Returns false when all slots are taken.
    // A voice must be removed before it is destroyed.
    bool addVoice(MixerVoice* voice);
    void removeVoice(MixerVoice* voice);

    // Writes `frames` frames of interleaved stereo into `out`: the sum of all
    // voices, clipped to [-1, 1].
    void render(float* out, int frames);

    // Taking the lock wakes a device paused for silence: whatever the GUI
    // thread does to a voice next may sound.
    void lock();
    void unlock();

    // Frames rendered since a voice last sounded (or since the last lock).
    int64_t silentFrames() const { return m_silentFrames.load(std::memory_order_relaxed); }

private:
    friend class AudioDevice;  // sets m_device once open, pauses it when silent

    int m_rate;
    uint32_t m_device;
    std::array<MixerVoice*, kMaxVoices> m_voices{};
    // Written by render() and by lock() while it holds the device's lock.
    std::atomic<int64_t> m_silentFrames{0};
    bool m_paused = false;  // GUI thread only
};

// Holds the mixer's lock for a scope; keep such scopes short.
class MixerLock {
public:
    explicit MixerLock(Mixer& mixer) : m_mixer(mixer) { m_mixer.lock(); }
    ~MixerLock() { m_mixer.unlock(); }
    MixerLock(const MixerLock&) = delete;
    MixerLock& operator=(const MixerLock&) = delete;

private:
    Mixer& m_mixer;
};
