#pragma once

#include "audio/WavFile.h"
#include "controls/kznMediaPlayerBar.h"

#include <QPointer>
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
enum class TMPDeviceTypes {
    dtAutoSelect, dtAVIVideo, dtCDAudio, dtDAT, dtDigitalVideo, dtMMMovie, dtOther,
    dtOverlay, dtScanner, dtSequencer, dtVCR, dtVideodisc, dtWaveAudio,
};

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
// Shown, the player is a bar of push buttons for its operations (see
// TkznMediaPlayerBar). What its creator sets before the event loop next turns
// counts as loaded with the form: only then does AutoOpen open the device and
// does a change of VisibleButtons resize the control.
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
        ErrUnsupportedDevice = 5,
        ErrPositionOutOfRange = 6,
        ErrUnsupportedRate = 7,
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
    bool AutoOpen() const { return m_autoOpen; }
    void SetAutoOpen(bool autoOpen) { m_autoOpen = autoOpen; }
    // Each player has a voice of its own, so any open already shares the output.
    bool Shareable() const { return m_shareable; }
    void SetShareable(bool shareable) { m_shareable = shareable; }
    // Takes effect at the next Open; only wave audio can be served.
    TMPDeviceTypes DeviceType() const { return m_deviceType; }
    void SetDeviceType(TMPDeviceTypes deviceType) { m_deviceType = deviceType; }
    // Where a video device would show its picture; audio has none.
    QWidget* Display() const { return m_display; }
    void SetDisplay(QWidget* display) { m_display = display; }
    int32_t StepFrames() const { return m_stepFrames; }
    void SetStepFrames(int32_t frames) { m_stepFrames = frames; }
    // Where the next Play or StartRecording starts, once.
    int64_t StartPosition() const { return m_startPosition; }
    void SetStartPosition(int64_t ms);

    // The button bar.
    TButtonSet VisibleButtons() const { return m_bar.VisibleButtons(); }
    void SetVisibleButtons(TButtonSet buttons);
    TButtonSet EnabledButtons() const { return m_bar.EnabledButtons(); }
    void SetEnabledButtons(TButtonSet buttons) { m_bar.SetEnabledButtons(buttons); }
    TButtonSet ColoredButtons() const { return m_bar.ColoredButtons(); }
    void SetColoredButtons(TButtonSet buttons) { m_bar.SetColoredButtons(buttons); }
    bool AutoEnable() const { return m_bar.AutoEnable(); }
    void SetAutoEnable(bool autoEnable) { m_bar.SetAutoEnable(autoEnable); }
    const TkznMediaPlayerBar& ButtonBar() const { return m_bar; }

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
    int64_t TrackPosition(int track);
    int LastError() const { return m_lastError; }
    QString ErrorMessage() const;
    TMPNotifyResult NotifyResult() const { return m_notifyResult; }

    // What the open device can do; a wave audio device plays and records.
    bool CanPlay() const { return m_canPlay; }
    bool CanRecord() const { return m_canRecord; }
    bool CanStep() const { return m_canStep; }
    bool CanEject() const { return m_canEject; }
    bool HasVideo() const { return m_hasVideo; }

    // The audio the player holds: the opened file, or the take after a
    // recording.
    const PcmAudio& Media() const { return m_media; }

signals:
    void OnNotify(TkznMediaPlayer* sender);
    // Before a button's action; a handler that clears doDefault cancels the
    // action and OnPostClick. Connect directly.
    void OnClick(TkznMediaPlayer* sender, TMPBtnType button, bool& doDefault);
    void OnPostClick(TkznMediaPlayer* sender, TMPBtnType button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void FinishLoading();
    void FitBar(QSize size);
    bool InMedia(int64_t frame);
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
    bool m_notifyPending = false;

    QString m_fileName;
    bool m_opened = false;
    bool m_loading = true;
    bool m_canPlay = false;
    bool m_canRecord = false;
    bool m_canStep = false;
    bool m_canEject = false;
    bool m_hasVideo = false;
    bool m_startPending = false;
    int64_t m_startPosition = 0;
    int32_t m_stepFrames = 0;
    TMPDeviceTypes m_deviceType = TMPDeviceTypes::dtAutoSelect;
    QPointer<QWidget> m_display;  // forgotten when it is destroyed
    bool m_autoOpen = false;
    bool m_autoRewind = true;
    bool m_shareable = false;
    bool m_deleteFileWhenClose = false;
    int m_lastError = NoError;
    TMPNotifyResult m_notifyResult = TMPNotifyResult::nvSuccessful;
    TkznMediaPlayerBar m_bar{*this};
};
