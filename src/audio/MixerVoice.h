#pragma once

// One source of sound inside the Mixer.
//
// mix() runs on the audio thread (or on the thread of a test that renders the
// mixer directly) while the mixer's lock is held. It must not allocate, wait
// or touch Qt objects; the only exception is posting a completion with a
// queued QMetaObject::invokeMethod. Everything else of a voice is called on
// the GUI thread, and whatever mix() reads is changed there only inside a
// MixerLock.
class MixerVoice {
public:
    virtual ~MixerVoice() = default;

    // Adds `frames` frames of interleaved stereo float at the mixer's rate
    // into `out`. An idle voice adds nothing.
    virtual void mix(float* out, int frames) = 0;

    // Whether the voice is playing, so the output device must keep running.
    // Read by mix's thread under the same lock.
    virtual bool sounding() const { return true; }
};

// Adds `frames` frames of mono or interleaved stereo `in` (`channels` 1 or 2)
// into the interleaved stereo `out`; mono goes to both sides.
inline void AddToStereo(float* out, const float* in, long frames, int channels)
{
    if (channels == 1) {
        for (long i = 0; i < frames; ++i) {
            out[2 * i] += in[i];
            out[2 * i + 1] += in[i];
        }
    } else {
        for (long i = 0; i < 2 * frames; ++i)
            out[i] += in[i];
    }
}
