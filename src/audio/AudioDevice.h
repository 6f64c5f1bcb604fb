#pragma once

#include "audio/Mixer.h"

#include <cstdint>
#include <memory>

// The program's one output device: the default SDL output, float stereo at
// 44,100 Hz, whose callback renders the one Mixer. SDL converts to whatever
// the hardware wants, so the mixer's rate is always 44,100 Hz.
//
// Threads: open(), shared() and the destructor on the GUI thread only. The
// mixer is used as Mixer documents.
class AudioDevice {
public:
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // Opens the default output device and starts it (it plays silence while
    // no voice sounds). nullptr when SDL's audio or the device cannot be
    // opened.
    static std::unique_ptr<AudioDevice> open();

    // The device shared by the whole program, opened on first use (the word
    // player and tests need no main window for it). nullptr when it cannot
    // be opened; a later call tries again. Closed at program exit, after
    // every voice has gone.
    static AudioDevice* shared();

    Mixer& mixer() { return m_mixer; }

private:
    explicit AudioDevice(uint32_t device);

    uint32_t m_device;
    Mixer m_mixer;
};
