#pragma once

#include "audio/MixerVoice.h"

#include <array>
#include <cstdint>
#include <memory>

class LessonAudio;
class Mixer;
class Mp3Decoder;
class Resampler;
class Stretcher;

// The open lesson recording as a mixer voice: plays one span of frames at a
// time, at 80..120 % of the recorded speed, and stops on the span's last
// frame. Speed 10 at the mixer's own rate copies decoded frames untouched.
// Otherwise the speed either changes the rate (the resampler: tempo and
// pitch together) or, with the pitch kept, stretches the tempo (the
// stretcher, followed by the resampler when the recording's rate is not the
// mixer's). Either way the output stays as long as the span at that speed.
//
// Threads: construction (which sizes every buffer), destruction and every
// public call except mix() on the GUI thread; playSpan, stop, setSpeed,
// setKeepPitch and isPlaying take the mixer's lock themselves. mix() runs on
// the audio thread and, at a span's end, posts the end to the LessonAudio on
// the GUI thread with a queued call.
class LessonVoice final : public MixerVoice {
public:
    // Registers with `mixer`; `owner` receives span ends.
    LessonVoice(Mixer& mixer, std::unique_ptr<Mp3Decoder> decoder, LessonAudio* owner);
    ~LessonVoice() override;
    LessonVoice(const LessonVoice&) = delete;
    LessonVoice& operator=(const LessonVoice&) = delete;

    bool isValid() const;
    const Mp3Decoder& decoder() const { return *m_decoder; }

    // Plays frames first..last (inclusive, in the recording's frames).
    // `sync` 0 plays without an end notification; otherwise the end posts
    // (sync, action) to the owner.
    void playSpan(int64_t first, int64_t last, uint32_t sync, int action);
    void stop();
    // 8..12: tenths of the recorded speed; applies at once, also mid-span.
    void setSpeed(int speed);
    // Whether the speed keeps the pitch. Applies from the next span on, or
    // when a span that so far plays untouched first changes speed.
    void setKeepPitch(bool keepPitch);
    int speed() const { return m_speed; }
    bool isPlaying() const;
    // The next frame of the recording to be decoded.
    int64_t inputPosition() const;

    void mix(float* out, int frames) override;
    bool sounding() const override { return m_playing; }

private:
    static constexpr long kBlockFrames = 1024;

    static long pull(void* user, float** data);
    static long stretchSource(void* user, float* out, long frames, bool* ended);
    double ratio() const;
    void choosePath();
    long decodeBlock(float* out, long frames);
    long decodeSpan(float* out, long frames);

    Mixer& m_mixer;
    std::unique_ptr<Mp3Decoder> m_decoder;
    std::unique_ptr<Resampler> m_resampler;
    std::unique_ptr<Stretcher> m_stretcher;
    LessonAudio* m_owner;

    // Read by the audio thread; written on the GUI thread under the lock.
    bool m_playing = false;
    bool m_keepPitch = false;
    bool m_stretching = false;  // input comes through the stretcher
    bool m_resampling = false;  // output goes through the resampler
    bool m_inputDone = false;
    int m_speed = 10;
    int64_t m_inputPos = 0;
    int64_t m_last = 0;
    uint32_t m_sync = 0;
    int m_action = 0;
    std::array<float, kBlockFrames * 2> m_block{};
    std::array<float, kBlockFrames * 2> m_input{};
};
