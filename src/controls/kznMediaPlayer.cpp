#include "controls/kznMediaPlayer.h"

#include "audio/AudioDevice.h"
#include "audio/CaptureDevice.h"
#include "audio/PcmVoice.h"
#include "controls/HandlerGuard.h"

#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace {

// The take's format when the opened file gives none.
constexpr int kDefaultTakeChannels = 1;
constexpr int kDefaultTakeRate = 22050;

constexpr int kMillisecondsFormat = 0;

} // namespace

EMCIDeviceError::EMCIDeviceError(const QString& message)
    : std::runtime_error(message.toStdString())
{
}

TkznMediaPlayer::TkznMediaPlayer(QWidget* parent, Mixer* mixer)
    : QWidget(parent), m_mixer(mixer)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(240, 30);
    m_bar.FitWidth(width());
    QMetaObject::invokeMethod(this, [this] { FinishLoading(); }, Qt::QueuedConnection);
}

// Never deletes FileName: an owner that wants it gone calls CloseAndDeleteFile.
TkznMediaPlayer::~TkznMediaPlayer() = default;

void TkznMediaPlayer::RequireOpen() const
{
    if (!m_opened)
        throw EMCIDeviceError(QStringLiteral("No MCI device open"));
}

bool TkznMediaPlayer::EnsureVoice()
{
    if (m_voice)
        return true;
    if (!m_mixer) {
        AudioDevice* device = AudioDevice::shared();
        if (!device)
            return false;
        m_mixer = &device->mixer();
    }
    m_voice = std::make_unique<PcmVoice>(*m_mixer);
    connect(m_voice.get(), &PcmVoice::finished, this,
            [this](PcmVoice::End end) { VoiceFinished(end == PcmVoice::End::ReachedEnd); });
    return true;
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
    if (m_opened)
        Close();
    if (m_deviceType != TMPDeviceTypes::dtAutoSelect && m_deviceType != TMPDeviceTypes::dtWaveAudio) {
        m_lastError = ErrUnsupportedDevice;
        throw EMCIDeviceError(ErrorMessage());
    }
    PcmAudio media;
    if (QFileInfo(m_fileName).isFile()) {
        std::optional<PcmAudio> decoded = DecodeWavFile(m_fileName);
        if (!decoded) {
            m_lastError = ErrUnreadableFile;
            throw EMCIDeviceError(ErrorMessage());
        }
        media = std::move(*decoded);
    } else {
        // Nothing to read: empty media to record into.
        media.channels = kDefaultTakeChannels;
        media.sampleRate = kDefaultTakeRate;
    }
    if (!EnsureVoice()) {
        m_lastError = ErrNoOutputDevice;
        throw EMCIDeviceError(ErrorMessage());
    }
    if (!m_voice->setBuffer(media.samples, media.channels, media.sampleRate)) {
        const bool rateOk = media.sampleRate >= PcmVoice::kMinRate && media.sampleRate <= PcmVoice::kMaxRate;
        m_lastError = rateOk ? ErrUnsupportedFormat : ErrUnsupportedRate;
        throw EMCIDeviceError(ErrorMessage());
    }
    m_media = std::move(media);
    m_positionFrames = 0;
    m_opened = true;
    m_lastError = NoError;
    m_stepFrames = int32_t(Length() / 10);
    // A wave audio device: no frames to step through, no door, no picture.
    m_canPlay = true;
    m_canRecord = true;
    m_canStep = false;
    m_canEject = false;
    m_hasVideo = false;
    m_bar.DeviceOpened();
}

void TkznMediaPlayer::Close()
{
    if (!m_opened)
        return;
    m_capture.reset();
    m_captured.clear();
    if (m_voiceActive)
        StopVoice();
    AbortPending();
    m_voice->clear();
    m_media = PcmAudio{};
    m_positionFrames = 0;
    m_opened = false;
    m_lastError = NoError;
    m_bar.DeviceClosed();
}

void TkznMediaPlayer::Play()
{
    RequireOpen();
    if (m_capture)
        FinishRecording();
    int64_t from = PositionFrames();
    if (std::exchange(m_startPending, false)) {
        from = MsToFrames(m_startPosition);
        if (!InMedia(from))
            return;
    } else if (m_autoRewind && from == m_media.Frames()) {
        from = 0;
    }
    SupersedePending();
    StartPlay(from);
}

void TkznMediaPlayer::StartPlay(int64_t fromFrame)
{
    if (m_voiceActive)
        StopVoice();
    const uint64_t id = ++m_lastPlayId;
    if (!m_voice->play(fromFrame)) {
        m_lastError = ErrUnsupportedFormat;
        Notify(TMPNotifyResult::nvFailure);
        return;
    }
    m_voicePlays.push_back(id);
    m_voiceActive = true;
    m_notifyPending = true;
    m_lastError = NoError;
}

void TkznMediaPlayer::StartRecording()
{
    RequireOpen();
    if (std::exchange(m_startPending, false)) {
        const int64_t from = MsToFrames(m_startPosition);
        if (!InMedia(from))
            return;
        SeekTo(from);
    }
    SupersedePending();
    if (m_capture) {
        // Already recording: the new command just takes over the notification.
        m_notifyPending = true;
        return;
    }
    if (m_voiceActive)
        StopVoice();
    m_capture = CaptureDevice::Open(m_media.channels, m_media.sampleRate);
    if (!m_capture) {
        m_lastError = ErrNoCaptureDevice;
        return;
    }
    m_recordFrom = m_positionFrames;
    m_captured.clear();
    m_notifyPending = true;
    m_lastError = NoError;
}

void TkznMediaPlayer::FinishRecording()
{
    m_capture->Drain(m_captured);
    m_capture.reset();
    const int channels = m_media.channels;
    // The take replaces everything from where recording started.
    m_media.samples.resize(size_t(m_recordFrom) * size_t(channels));
    m_media.samples.insert(m_media.samples.end(), m_captured.begin(), m_captured.end());
    m_captured.clear();
    m_captured.shrink_to_fit();
    m_positionFrames = m_media.Frames();
    m_voice->setBuffer(m_media.samples, channels, m_media.sampleRate);
}

void TkznMediaPlayer::Stop()
{
    RequireOpen();
    if (m_capture)
        FinishRecording();
    else if (m_voiceActive)
        StopVoice();
    AbortPending();
    m_lastError = NoError;
}

void TkznMediaPlayer::StopVoice()
{
    m_positionFrames = m_voice->position();
    m_voiceActive = false;
    m_voice->stop();
}

void TkznMediaPlayer::Pause()
{
    RequireOpen();
    switch (Mode()) {
    case TMPModes::mpPlaying:
        m_voice->pause();
        break;
    case TMPModes::mpPaused:
        m_voice->resume();
        // The resume command carries the notification from here on.
        SupersedePending();
        m_notifyPending = true;
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

bool TkznMediaPlayer::InMedia(int64_t frame)
{
    if (frame >= 0 && frame <= m_media.Frames())
        return true;
    m_lastError = ErrPositionOutOfRange;
    return false;
}

void TkznMediaPlayer::SeekTo(int64_t frame)
{
    if (m_capture)
        FinishRecording();
    else if (m_voiceActive)
        StopVoice();
    AbortPending();
    m_positionFrames = std::clamp<int64_t>(frame, 0, m_media.Frames());
}

void TkznMediaPlayer::Rewind()
{
    RequireOpen();
    SeekTo(0);
}

void TkznMediaPlayer::Next()
{
    RequireOpen();
    SeekTo(m_media.Frames());
    m_lastError = NoError;
}

void TkznMediaPlayer::Previous()
{
    RequireOpen();
    SeekTo(0);
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

int64_t TkznMediaPlayer::PositionFrames() const
{
    if (!m_opened)
        return 0;
    if (m_capture) {
        m_capture->Drain(m_captured);
        return m_recordFrom + int64_t(m_captured.size()) / m_media.channels;
    }
    return m_voiceActive ? m_voice->position() : m_positionFrames;
}

int64_t TkznMediaPlayer::Length() const
{
    RequireOpen();
    return FramesToMs(m_capture ? PositionFrames() : m_media.Frames());
}

int64_t TkznMediaPlayer::Position() const
{
    return FramesToMs(PositionFrames());
}

TMPModes TkznMediaPlayer::Mode() const
{
    if (!m_opened)
        return TMPModes::mpNotReady;
    if (m_capture)
        return TMPModes::mpRecording;
    if (m_voiceActive && m_voice->isPlaying())
        return m_voice->isPaused() ? TMPModes::mpPaused : TMPModes::mpPlaying;
    return TMPModes::mpStopped;
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
    if (m_opened && track != 1)
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

int64_t TkznMediaPlayer::FramesToMs(int64_t frames) const
{
    return m_media.sampleRate > 0 ? frames * 1000 / m_media.sampleRate : 0;
}

int64_t TkznMediaPlayer::MsToFrames(int64_t ms) const
{
    return ms * m_media.sampleRate / 1000;
}

void TkznMediaPlayer::Notify(TMPNotifyResult result)
{
    // Posted like the completions of the device, never delivered inside a call.
    QMetaObject::invokeMethod(
        this,
        [this, result] {
            m_bar.NotifyArrived();
            m_notifyResult = result;
            emit OnNotify(this);
        },
        Qt::QueuedConnection);
}

void TkznMediaPlayer::SupersedePending()
{
    if (m_notifyPending)
        Notify(TMPNotifyResult::nvSuperseded);
    m_notifyPending = false;
}

void TkznMediaPlayer::AbortPending()
{
    if (m_notifyPending)
        Notify(TMPNotifyResult::nvAborted);
    m_notifyPending = false;
}

void TkznMediaPlayer::VoiceFinished(bool reachedEnd)
{
    if (m_voicePlays.empty())
        return;
    const uint64_t id = m_voicePlays.front();
    m_voicePlays.pop_front();
    if (id != m_lastPlayId || !m_voiceActive)
        return;
    m_positionFrames = m_voice->position();
    m_voiceActive = false;
    if (reachedEnd && m_notifyPending) {
        m_notifyPending = false;
        Notify(TMPNotifyResult::nvSuccessful);
    }
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
