#pragma once

#include "audio/Mixer.h"

#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <memory>

// The program's one output device: the default SDL output, float stereo at
// 44,100 Hz, whose callback renders the one Mixer. SDL converts to whatever
// the hardware wants, so the mixer's rate is always 44,100 Hz.
//
// After kIdlePauseMs without a sounding voice the device is paused, so
// nothing mixes silence; the mixer's next lock resumes it (checked from the
// GUI thread's event loop).
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

    static constexpr int kIdlePauseMs = 4000;
    bool paused() const;

private:
    explicit AudioDevice(uint32_t device);
    void PauseWhenSilent();

    uint32_t m_device;
    Mixer m_mixer;
    QPointer<QTimer> m_idleCheck;  // a child of the application, which may go first
};
