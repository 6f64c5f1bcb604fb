#pragma once

#include "audio/WavePlayer.h"
#include "controls/kznMediaPlayerBar.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <stdexcept>

class Mixer;

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

// A player and recorder of WAV files, driven like a media device: the
// widget holds a WavePlayer, which does the playing and recording (see
// there for the media, the take and the rules of completion), and reports
// each completion through OnNotify. Only wave audio is served; the other
// device types remain names that fail to open.
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
    bool AutoRewind() const { return m_wave.AutoRewind(); }
    void SetAutoRewind(bool autoRewind) { m_wave.SetAutoRewind(autoRewind); }
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

    bool Opened() const { return m_wave.IsOpen(); }
    int64_t Length() const;
    int64_t Position() const;
    TMPModes Mode() const;
    int TrackCount() const;
    int TimeFormat() const;
    int64_t TrackPosition(int track);
    int LastError() const { return m_lastError; }
    QString ErrorMessage() const;
    TMPNotifyResult NotifyResult() const { return m_notifyResult; }

    // What the open device can do: a wave audio device plays and records,
    // once one has been opened; it has no frames to step, door or picture.
    bool CanPlay() const { return m_waveOpened; }
    bool CanRecord() const { return m_waveOpened; }
    bool CanStep() const { return false; }
    bool CanEject() const { return false; }
    bool HasVideo() const { return false; }

    // The audio the player holds: the opened file, or the take after a
    // recording.
    const PcmAudio& Media() const { return m_wave.Media(); }

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
    void RequireOpen() const;
    void Completed(WavePlayer::Completion result);

    WavePlayer m_wave;
    QString m_fileName;
    bool m_loading = true;
    bool m_waveOpened = false;  // the capabilities stay those of the last device
    bool m_startPending = false;
    int64_t m_startPosition = 0;
    int32_t m_stepFrames = 0;
    TMPDeviceTypes m_deviceType = TMPDeviceTypes::dtAutoSelect;
    QPointer<QWidget> m_display;  // forgotten when it is destroyed
    bool m_autoOpen = false;
    bool m_shareable = false;
    bool m_deleteFileWhenClose = false;
    int m_lastError = NoError;
    TMPNotifyResult m_notifyResult = TMPNotifyResult::nvSuccessful;
    TkznMediaPlayerBar m_bar{*this};
};
