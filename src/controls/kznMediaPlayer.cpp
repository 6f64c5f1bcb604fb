#include "controls/kznMediaPlayer.h"

#include "controls/HandlerGuard.h"

#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>

#include <optional>
#include <utility>

namespace {

constexpr int kMillisecondsFormat = 0;

int ErrorCode(WavePlayer::Error error)
{
    switch (error) {
    case WavePlayer::Error::None:
    case WavePlayer::Error::NotOpen:  // never asked: the player checks first
        break;
    case WavePlayer::Error::UnreadableFile:
        return TkznMediaPlayer::ErrUnreadableFile;
    case WavePlayer::Error::UnsupportedFormat:
        return TkznMediaPlayer::ErrUnsupportedFormat;
    case WavePlayer::Error::UnsupportedRate:
        return TkznMediaPlayer::ErrUnsupportedRate;
    case WavePlayer::Error::NoOutputDevice:
        return TkznMediaPlayer::ErrNoOutputDevice;
    case WavePlayer::Error::NoCaptureDevice:
        return TkznMediaPlayer::ErrNoCaptureDevice;
    case WavePlayer::Error::PositionOutOfRange:
        return TkznMediaPlayer::ErrPositionOutOfRange;
    }
    return TkznMediaPlayer::NoError;
}

TMPNotifyResult NotifyResultOf(WavePlayer::Completion completion)
{
    switch (completion) {
    case WavePlayer::Completion::Successful:
        break;
    case WavePlayer::Completion::Superseded:
        return TMPNotifyResult::nvSuperseded;
    case WavePlayer::Completion::Aborted:
        return TMPNotifyResult::nvAborted;
    case WavePlayer::Completion::Failure:
        return TMPNotifyResult::nvFailure;
    }
    return TMPNotifyResult::nvSuccessful;
}

} // namespace

EMCIDeviceError::EMCIDeviceError(const QString& message)
    : std::runtime_error(message.toStdString())
{
}

TkznMediaPlayer::TkznMediaPlayer(QWidget* parent, Mixer* mixer)
    : QWidget(parent), m_wave(mixer)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(240, 30);
    m_bar.FitWidth(width());
    connect(&m_wave, &WavePlayer::completed, this, [this](WavePlayer::Completion result) { Completed(result); });
    QMetaObject::invokeMethod(this, [this] { FinishLoading(); }, Qt::QueuedConnection);
}

// Never deletes FileName: an owner that wants it gone calls CloseAndDeleteFile.
TkznMediaPlayer::~TkznMediaPlayer() = default;

void TkznMediaPlayer::RequireOpen() const
{
    if (!Opened())
        throw EMCIDeviceError(QStringLiteral("No MCI device open"));
}

void TkznMediaPlayer::FinishLoading()
{
    m_loading = false;
    FitBar(size());
    if (m_autoOpen)
        RunGuarded([this] { Open(); });
}

void TkznMediaPlayer::Open()
{
    if (Opened())
        Close();
    if (m_deviceType != TMPDeviceTypes::dtAutoSelect && m_deviceType != TMPDeviceTypes::dtWaveAudio) {
        m_lastError = ErrUnsupportedDevice;
        throw EMCIDeviceError(ErrorMessage());
    }
    m_lastError = ErrorCode(m_wave.Open(m_fileName));
    if (m_lastError != NoError)
        throw EMCIDeviceError(ErrorMessage());
    m_stepFrames = int32_t(Length() / 10);
    m_waveOpened = true;
    m_bar.DeviceOpened();
}

void TkznMediaPlayer::Close()
{
    if (!Opened())
        return;
    m_wave.Close();
    m_lastError = NoError;
    m_bar.DeviceClosed();
}

void TkznMediaPlayer::Play()
{
    RequireOpen();
    std::optional<int64_t> from;
    if (std::exchange(m_startPending, false))
        from = m_startPosition;
    m_lastError = ErrorCode(m_wave.Play(from));
}

void TkznMediaPlayer::StartRecording()
{
    RequireOpen();
    std::optional<int64_t> from;
    if (std::exchange(m_startPending, false))
        from = m_startPosition;
    m_lastError = ErrorCode(m_wave.StartRecording(from));
}

void TkznMediaPlayer::Stop()
{
    RequireOpen();
    m_wave.Stop();
    m_lastError = NoError;
}

void TkznMediaPlayer::Pause()
{
    RequireOpen();
    switch (m_wave.CurrentState()) {
    case WavePlayer::State::Playing:
        m_wave.Pause();
        break;
    case WavePlayer::State::Paused:
        m_wave.Resume();
        break;
    default:
        break;
    }
}

void TkznMediaPlayer::SetStartPosition(int64_t ms)
{
    m_startPosition = ms;
    m_startPending = true;
}

void TkznMediaPlayer::Rewind()
{
    RequireOpen();
    m_wave.Rewind();
}

void TkznMediaPlayer::Next()
{
    RequireOpen();
    m_wave.SeekToEnd();
    m_lastError = NoError;
}

void TkznMediaPlayer::Previous()
{
    RequireOpen();
    m_wave.Rewind();
    m_lastError = NoError;
}

// Audio has no frames to step through and no door to open.
void TkznMediaPlayer::Step()
{
    RequireOpen();
}

void TkznMediaPlayer::Back()
{
    RequireOpen();
}

void TkznMediaPlayer::Eject()
{
    RequireOpen();
}

void TkznMediaPlayer::OpenFile(const QString& name)
{
    if (m_deleteFileWhenClose && !m_fileName.isEmpty()) {
        Close();
        QFile::remove(m_fileName);
    }
    if (!QFileInfo(name).isFile())
        throw std::runtime_error(QStringLiteral("文件不存在！").toStdString());
    m_fileName = name;
    Open();
}

void TkznMediaPlayer::PlayFile(const QString& name)
{
    OpenFile(name);
    Play();
}

void TkznMediaPlayer::CloseAndDeleteFile()
{
    Close();
    if (m_deleteFileWhenClose && !m_fileName.isEmpty())
        QFile::remove(m_fileName);
}

int64_t TkznMediaPlayer::Length() const
{
    RequireOpen();
    return m_wave.LengthMs();
}

int64_t TkznMediaPlayer::Position() const
{
    return m_wave.PositionMs();
}

TMPModes TkznMediaPlayer::Mode() const
{
    switch (m_wave.CurrentState()) {
    case WavePlayer::State::Closed:
        break;
    case WavePlayer::State::Stopped:
        return TMPModes::mpStopped;
    case WavePlayer::State::Playing:
        return TMPModes::mpPlaying;
    case WavePlayer::State::Paused:
        return TMPModes::mpPaused;
    case WavePlayer::State::Recording:
        return TMPModes::mpRecording;
    }
    return TMPModes::mpNotReady;
}

int TkznMediaPlayer::TrackCount() const
{
    RequireOpen();
    return 1;
}

int TkznMediaPlayer::TimeFormat() const
{
    RequireOpen();
    return kMillisecondsFormat;
}

// One track, starting at the beginning.
int64_t TkznMediaPlayer::TrackPosition(int track)
{
    if (Opened() && track != 1)
        m_lastError = ErrPositionOutOfRange;
    return 0;
}

QString TkznMediaPlayer::ErrorMessage() const
{
    switch (m_lastError) {
    case NoError:
        return QStringLiteral("操作已成功完成。");
    case ErrUnreadableFile:
        return QStringLiteral("无法读取音频文件，文件已损坏或不是可识别的 WAV 文件。");
    case ErrUnsupportedFormat:
        return QStringLiteral("不支持该音频格式：只能播放单声道或立体声的声音。");
    case ErrNoOutputDevice:
        return QStringLiteral("无法打开放音设备，请检查声卡设置。");
    case ErrNoCaptureDevice:
        return QStringLiteral("无法打开录音设备，请检查麦克风设置。");
    case ErrUnsupportedDevice:
        return QStringLiteral("不支持该设备类型：只能打开波形音频（WAV）文件。");
    case ErrPositionOutOfRange:
        return QStringLiteral("指定的位置超出了媒体的范围。");
    case ErrUnsupportedRate:
        return QStringLiteral("不支持该音频的采样率：只能播放采样率在 1000 Hz 到 384000 Hz 之间的声音。");
    default:
        return QStringLiteral("Unknown error code");
    }
}

void TkznMediaPlayer::Completed(WavePlayer::Completion result)
{
    m_bar.NotifyArrived();
    m_notifyResult = NotifyResultOf(result);
    emit OnNotify(this);
}

void TkznMediaPlayer::SetVisibleButtons(TButtonSet buttons)
{
    m_bar.SetVisibleButtons(buttons);
    if (m_loading)
        m_bar.FitWidth(width());
    else
        FitBar(QSize(m_bar.BarWidth(), height()));
}

void TkznMediaPlayer::FitBar(QSize size)
{
    const QSize fitted = m_bar.Fit(size);
    if (fitted != this->size())
        resize(fitted);
    update();
}

void TkznMediaPlayer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_bar.Paint(painter);
}

void TkznMediaPlayer::resizeEvent(QResizeEvent*)
{
    if (!m_loading)
        FitBar(size());
}

void TkznMediaPlayer::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        RunGuarded([&] { m_bar.MousePress(event->position().toPoint()); });
}

void TkznMediaPlayer::mouseMoveEvent(QMouseEvent* event)
{
    m_bar.MouseMove(event->position().toPoint());
}

void TkznMediaPlayer::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        RunGuarded([&] { m_bar.MouseRelease(); });
}

void TkznMediaPlayer::keyPressEvent(QKeyEvent* event)
{
    bool handled = false;
    RunGuarded([&] { handled = m_bar.KeyPress(event->key()); });
    if (!handled)
        QWidget::keyPressEvent(event);
}

void TkznMediaPlayer::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void TkznMediaPlayer::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}
