#pragma once

#include "audio/WavFile.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

class CaptureDevice;
class Mixer;
class PcmVoice;

// Plays and records one medium held in memory: a WAV file read whole at
// Open, sounded through a mixer voice; a take captured from the default
// input device, replacing what lies after the position it starts from. The
// file itself is never written. A missing file opens as empty media of mono
// 22,050 Hz to record into; a take has the media's channels and rate.
//
// Play, StartRecording and Resume are asynchronous: each leaves a completion
// pending, reported by completed(). A later one of them supersedes a pending
// completion; Stop, a seek or Close abort it; a play that reaches the end
// completes it successfully.
//
// Positions and lengths are milliseconds.
//
// Threads: every member on the GUI thread (the thread that created the
// player); completed() is emitted there from the event loop, never inside a
// call.
class WavePlayer : public QObject {
    Q_OBJECT
public:
    enum class Error {
        None,
        NotOpen,
        UnreadableFile,
        UnsupportedFormat,
        UnsupportedRate,
        NoOutputDevice,
        NoCaptureDevice,
        PositionOutOfRange,
    };
    enum class Completion { Successful, Superseded, Aborted, Failure };
    Q_ENUM(Completion)
    enum class State { Closed, Stopped, Playing, Paused, Recording };

    // `mixer` (not owned) plays the sound; by default the program's shared
    // output device, opened at the first Open.
    explicit WavePlayer(Mixer* mixer = nullptr, QObject* parent = nullptr);
    ~WavePlayer() override;

    // Closes what is open, then reads `path`. On an error nothing is open.
    Error Open(const QString& path);
    // Drops the media and a running take, aborting a pending completion.
    void Close();
    bool IsOpen() const { return m_open; }

    // Plays from `fromMs`, or else from the position (from the start when
    // the position is at the end and AutoRewind is on). Ends a running take
    // first. A `fromMs` outside the media plays nothing.
    Error Play(std::optional<int64_t> fromMs = std::nullopt);
    // Records from `fromMs` (seeking there first), or else from the position.
    // A take already running goes on and takes over the completion.
    // Both give NotOpen on a closed player; everything else does nothing there.
    Error StartRecording(std::optional<int64_t> fromMs = std::nullopt);
    // Ends a running take or play; the position stays where it ended.
    void Stop();
    void Pause();
    void Resume();
    void Rewind();
    void SeekToEnd();

    bool AutoRewind() const { return m_autoRewind; }
    void SetAutoRewind(bool autoRewind) { m_autoRewind = autoRewind; }

    State CurrentState() const;
    // During a take, up to what has been captured so far.
    int64_t LengthMs() const;
    int64_t PositionMs() const;
    // The opened file, or the take after a recording.
    const PcmAudio& Media() const { return m_media; }

signals:
    void completed(WavePlayer::Completion result);

private:
    bool EnsureVoice();
    bool InMedia(int64_t frame) const { return frame >= 0 && frame <= m_media.Frames(); }
    Error StartPlay(int64_t fromFrame);
    void SeekTo(int64_t frame);
    int64_t PositionFrames() const;
    void FinishRecording();
    void StopVoice();
    void Post(Completion result);
    void SupersedePending();
    void AbortPending();
    void VoiceFinished(bool reachedEnd);
    int64_t FramesToMs(int64_t frames) const;
    int64_t MsToFrames(int64_t ms) const;

    Mixer* m_mixer;
    std::unique_ptr<PcmVoice> m_voice;
    std::unique_ptr<CaptureDevice> m_capture;
    PcmAudio m_media;
    mutable std::vector<float> m_captured;  // collected whenever asked
    int64_t m_recordFrom = 0;       // frame the running take started at
    int64_t m_positionFrames = 0;   // when no play is under way
    bool m_voiceActive = false;     // a play was started and has not been seen to end
    std::deque<uint64_t> m_voicePlays;  // ids of plays the voice has yet to finish
    uint64_t m_lastPlayId = 0;
    bool m_pending = false;         // a completion is owed
    bool m_open = false;
    bool m_autoRewind = true;
};
