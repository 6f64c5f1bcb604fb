#pragma once

#include "audio/WavFile.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <deque>
#include <memory>
#include <stdexcept>

class CaptureDevice;
class Mixer;
class PcmVoice;

// Raised by the player for a device that cannot be opened or is not open.
class EMCIDeviceError : public std::runtime_error {
public:
    explicit EMCIDeviceError(const QString& message);
    QString Message() const { return QString::fromUtf8(what()); }
};

enum class TMPModes { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };
enum class TMPNotifyResult { nvSuccessful, nvSuperseded, nvAborted, nvFailure };

// A player and recorder of WAV files. Open decodes FileName into memory; Play
// sounds it through a mixer voice and reports its completion through
// OnNotify, like every asynchronous command (play, record, resume): a later
// command supersedes a pending one, Stop, a seek or Close aborts it.
//
// Recording captures from the default input device into memory, replacing
// what lies after the position it starts from; the file is never written.
// The take has the opened file's channels and rate; a missing file opens as
// empty media of 16-bit mono 22,050 Hz, ready to record into.
//
// Positions and lengths are milliseconds. Operations from Play on raise
// EMCIDeviceError "No MCI device open" on a closed player; other failures
// after Open raise nothing and leave their code in LastError.
//
// Threads: GUI thread only; OnNotify is emitted there from the event loop.
class TkznMediaPlayer : public QWidget {
    Q_OBJECT
public:
    // Error codes of LastError; ErrorMessage gives their text.
    enum Error : int {
        NoError = 0,
        ErrUnreadableFile = 1,
        ErrUnsupportedFormat = 2,
        ErrNoOutputDevice = 3,
        ErrNoCaptureDevice = 4,
        ErrUnsupportedRate = 5,
    };

    // `mixer` (not owned) plays the sound; by default the program's shared
    // output device, opened at the first Open.
    explicit TkznMediaPlayer(QWidget* parent = nullptr, Mixer* mixer = nullptr);
    ~TkznMediaPlayer() override;

    QString FileName() const { return m_fileName; }
    void SetFileName(const QString& fileName) { m_fileName = fileName; }
    bool AutoRewind() const { return m_autoRewind; }
    void SetAutoRewind(bool autoRewind) { m_autoRewind = autoRewind; }
    bool DeleteFileWhenClose() const { return m_deleteFileWhenClose; }
    void SetDeleteFileWhenClose(bool deleteFile) { m_deleteFileWhenClose = deleteFile; }

    void Open();
    void Close();
    void Play();
    void StartRecording();
    void Stop();
    void Pause();
    void Rewind();
    void Next();
    void Previous();
    void Step();
    void Back();
    void Eject();
    void OpenFile(const QString& name);
    void PlayFile(const QString& name);
    void CloseAndDeleteFile();

    bool Opened() const { return m_opened; }
    int64_t Length() const;
    int64_t Position() const;
    TMPModes Mode() const;
    int TrackCount() const;
    int TimeFormat() const;
    int LastError() const { return m_lastError; }
    QString ErrorMessage() const;
    TMPNotifyResult NotifyResult() const { return m_notifyResult; }

    // The audio the player holds: the opened file, or the take after a
    // recording.
    const PcmAudio& Media() const { return m_media; }

signals:
    void OnNotify(TkznMediaPlayer* sender);

private:
    void RequireOpen() const;
    bool EnsureVoice();
    void StartPlay(int64_t fromFrame);
    void SeekTo(int64_t frame);
    int64_t PositionFrames() const;
    void FinishRecording();
    void StopVoice();
    void Notify(TMPNotifyResult result);
    void SupersedePending();
    void AbortPending();
    void VoiceFinished(bool reachedEnd);
    int64_t FramesToMs(int64_t frames) const;

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
    bool m_notifyPending = false;

    QString m_fileName;
    bool m_opened = false;
    bool m_autoRewind = true;
    bool m_deleteFileWhenClose = false;
    int m_lastError = NoError;
    TMPNotifyResult m_notifyResult = TMPNotifyResult::nvSuccessful;
};
