#pragma once

// Changes the rate of a signal that is pulled from a source as it is needed
// (libsamplerate's callback API, fastest sinc): the output has exactly the
// length the ratio gives, and a ratio changed between reads glides smoothly.
//
// Threads: construction and destruction allocate, so they belong to the GUI
// thread. reset() runs on the GUI thread inside the mixer's lock; read() and
// the source it calls run on the audio thread.
class Resampler {
public:
    // Hands out the next block of interleaved input through *data and
    // returns its length in frames; 0 means the input has ended.
    using Source = long (*)(void* user, float** data);

    Resampler(int channels, Source source, void* user);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    bool isValid() const { return m_state != nullptr; }
    int channels() const { return m_channels; }

    // Forgets all buffered input and the end of input; the next read starts
    // afresh from whatever the source hands out then.
    void reset();

    // Writes up to `frames` output frames (ratio = output rate / input rate)
    // and returns how many it wrote. Fewer than asked only once the input
    // has ended and everything buffered has come out.
    long read(double ratio, float* out, long frames);

private:
    struct SRC_STATE_tag* m_state = nullptr;
    int m_channels;
};
