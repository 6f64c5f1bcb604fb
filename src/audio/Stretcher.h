#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace soundtouch {
class SoundTouch;
}

// Changes the tempo of a signal pulled from a source while keeping its pitch
// (SoundTouch's time stretch), for a reading speed in tenths of the recorded
// tempo. A piece of input that starts at speed 10 passes through untouched
// until the speed first changes. Once the source has ended, the stretched
// output is pushed out with silence and cut to exactly
// round(stretched input frames × 10 / speed), the speed taken as it was when
// each block went in.
//
// Threads: construction sizes every buffer the stretch will need and so
// belongs to the GUI thread, like destruction. reset() runs on the GUI thread
// inside the mixer's lock; read() and the source it calls run on the audio
// thread and never allocate.
class Stretcher {
public:
    static constexpr long kBlockFrames = 1024;

    // Writes up to `frames` interleaved input frames into `out` and returns
    // how many it wrote; sets *ended once nothing follows them.
    using Source = long (*)(void* user, float* out, long frames, bool* ended);

    // 1 or 2 channels at `rate` Hz.
    Stretcher(int channels, int rate, Source source, void* user);
    ~Stretcher();
    Stretcher(const Stretcher&) = delete;
    Stretcher& operator=(const Stretcher&) = delete;

    // Forgets all buffered input and output and the end of input; the next
    // read starts afresh from whatever the source hands out then.
    void reset();

    // Writes up to `frames` output frames at `speed` (8..12) and returns how
    // many it wrote; fewer only once finished().
    long read(int speed, float* out, long frames);

    // The source has ended and everything that belongs to it has come out.
    bool finished() const { return m_finished; }

private:
    // Output lengths are counted in 1/kUnitsPerFrame of a frame, so that
    // frames × 10 / speed stays a whole number for every speed 8..12.
    static constexpr int64_t kUnitsPerFrame = 3960;

    void warmUp();
    long takeOutput(float* out, long frames);
    void setSpeed(int speed);

    std::unique_ptr<soundtouch::SoundTouch> m_touch;
    int m_channels;
    Source m_source;
    void* m_user;

    // Audio thread only, except reset().
    bool m_engaged = false;     // input is going through the stretch
    bool m_inputEnded = false;
    bool m_finished = false;
    int m_speed = 10;           // the speed the stretch is set to
    int m_flushBlocks = 0;
    int64_t m_expectedUnits = 0;
    int64_t m_target = 0;       // output frames due, known once the input has ended
    int64_t m_delivered = 0;    // output frames handed out by the stretch
    std::array<float, kBlockFrames * 2> m_block{};
    std::array<float, kBlockFrames * 2> m_silence{};
};
