#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// The default SDL capture device, recording interleaved float at a format we
// choose (SDL converts from whatever the hardware delivers). SDL queues what
// it captures; we collect it with Drain, so no code of ours runs on SDL's
// audio thread.
//
// Threads: every member on one thread (the GUI thread in the program).
class CaptureDevice {
public:
    ~CaptureDevice();
    CaptureDevice(const CaptureDevice&) = delete;
    CaptureDevice& operator=(const CaptureDevice&) = delete;

    // Opens and starts the capture device. Nothing when SDL's audio or the
    // device cannot be opened, or for a channel count other than 1 or 2.
    static std::unique_ptr<CaptureDevice> Open(int channels, int sampleRate);

    int Channels() const { return m_channels; }

    // Appends everything captured so far to `samples`.
    void Drain(std::vector<float>& samples);

private:
    CaptureDevice(uint32_t device, int channels);

    uint32_t m_device;
    int m_channels;
};
