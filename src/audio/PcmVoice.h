#pragma once

#include <QObject>

#include <cstdint>
#include <memory>
#include <vector>

class Mixer;
class Resampler;

// Plays an in-memory interleaved float PCM buffer (1 or 2 channels, any rate
// from 1,000 to 384,000 Hz) through the mixer, resampled to the mixer's rate.
// Used for word audio and the learner's takes.
//
// Threads: every member runs on the GUI thread, the thread that created the
// voice. finished() is emitted on that thread too, always through the event
// loop, never from inside a call.
//
// Every successful play() is answered by exactly one finished(): ReachedEnd
// when the last frame has been mixed, Stopped when stop(), play(),
// setBuffer() or clear() cut it short. Destroying the voice drops whatever
// is still pending.
class PcmVoice : public QObject {
    Q_OBJECT
public:
    enum class End { ReachedEnd, Stopped };
    Q_ENUM(End)

    // The rates setBuffer() takes.
    static constexpr int kMinRate = 1000;
    static constexpr int kMaxRate = 384000;

    // Registers with `mixer`, which must outlive the voice.
    explicit PcmVoice(Mixer& mixer, QObject* parent = nullptr);
    ~PcmVoice() override;

    // Takes the samples (interleaved, frames × channels values). Stops a
    // play in progress. Returns false, keeping no buffer, for a channel count
    // other than 1 or 2, a rate outside 1,000..384,000 Hz or a sample count
    // that is not a whole number of frames.
    bool setBuffer(std::vector<float> samples, int channels, int sampleRate);
    // Drops the buffer (stopping a play in progress).
    void clear();

    bool hasBuffer() const { return m_channels != 0; }
    int channels() const { return m_channels; }
    int sampleRate() const { return m_sampleRate; }
    int64_t lengthFrames() const { return m_frames; }

    // Plays from `fromFrame` (in the buffer's own frames) to the end; a play
    // in progress is stopped first. False, with nothing started, when there
    // is no buffer or `fromFrame` lies outside 0..lengthFrames(); starting at
    // lengthFrames() finishes at once with ReachedEnd.
    bool play(int64_t fromFrame = 0);
    void stop();
    // Pause holds the position and stays silent; resume goes on from there.
    void pause();
    void resume();

    bool isPlaying() const;  // started and not finished, paused or not
    bool isPaused() const;
    // The frame now sounding, in the buffer's frames; after the end or a
    // stop, where the play stopped.
    int64_t position() const;

signals:
    void finished(PcmVoice::End reason);

private:
    struct Shared;  // what the audio thread reads and writes

    void stopLocked();
    void postEnd(End reason);

    Mixer& m_mixer;
    std::unique_ptr<Shared> m_shared;
    std::unique_ptr<Resampler> m_resampler;
    std::vector<float> m_samples;
    int m_channels = 0;
    int m_sampleRate = 0;
    int64_t m_frames = 0;
};
