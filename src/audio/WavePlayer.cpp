#include "audio/WavePlayer.h"

#include "audio/AudioDevice.h"
#include "audio/CaptureDevice.h"
#include "audio/PcmVoice.h"

#include <QFileInfo>
#include <QMetaObject>

#include <algorithm>
#include <utility>

namespace {

// The take's format when there is no file to take it from.
constexpr int kDefaultTakeChannels = 1;
constexpr int kDefaultTakeRate = 22050;

} // namespace

WavePlayer::WavePlayer(Mixer* mixer, QObject* parent) : QObject(parent), m_mixer(mixer) {}

WavePlayer::~WavePlayer() = default;

bool WavePlayer::EnsureVoice()
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

WavePlayer::Error WavePlayer::Open(const QString& path)
{
    Close();
    PcmAudio media;
    if (QFileInfo(path).isFile()) {
        std::optional<PcmAudio> decoded = DecodeWavFile(path);
        if (!decoded)
            return Error::UnreadableFile;
        media = std::move(*decoded);
    } else {
        // Nothing to read: empty media to record into.
        media.channels = kDefaultTakeChannels;
        media.sampleRate = kDefaultTakeRate;
    }
    if (!EnsureVoice())
        return Error::NoOutputDevice;
    if (!m_voice->setBuffer(media.samples, media.channels, media.sampleRate)) {
        const bool rateOk = media.sampleRate >= PcmVoice::kMinRate && media.sampleRate <= PcmVoice::kMaxRate;
        return rateOk ? Error::UnsupportedFormat : Error::UnsupportedRate;
    }
    m_media = std::move(media);
    m_positionFrames = 0;
    m_open = true;
    return Error::None;
}

void WavePlayer::Close()
{
    if (!m_open)
        return;
    m_capture.reset();
    m_captured.clear();
    if (m_voiceActive)
        StopVoice();
    AbortPending();
    m_voice->clear();
    m_media = PcmAudio{};
    m_positionFrames = 0;
    m_open = false;
}

WavePlayer::Error WavePlayer::Play(std::optional<int64_t> fromMs)
{
    if (!m_open)
        return Error::NotOpen;
    if (m_capture)
        FinishRecording();
    int64_t from = PositionFrames();
    if (fromMs) {
        from = MsToFrames(*fromMs);
        if (!InMedia(from))
            return Error::PositionOutOfRange;
    } else if (m_autoRewind && from == m_media.Frames()) {
        from = 0;
    }
    SupersedePending();
    return StartPlay(from);
}

WavePlayer::Error WavePlayer::StartPlay(int64_t fromFrame)
{
    if (m_voiceActive)
        StopVoice();
    const uint64_t id = ++m_lastPlayId;
    if (!m_voice->play(fromFrame)) {
        Post(Completion::Failure);
        return Error::UnsupportedFormat;
    }
    m_voicePlays.push_back(id);
    m_voiceActive = true;
    m_pending = true;
    return Error::None;
}

WavePlayer::Error WavePlayer::StartRecording(std::optional<int64_t> fromMs)
{
    if (!m_open)
        return Error::NotOpen;
    if (fromMs) {
        const int64_t from = MsToFrames(*fromMs);
        if (!InMedia(from))
            return Error::PositionOutOfRange;
        SeekTo(from);
    }
    SupersedePending();
    if (m_capture) {
        // Already recording: the new command just takes over the completion.
        m_pending = true;
        return Error::None;
    }
    if (m_voiceActive)
        StopVoice();
    m_capture = CaptureDevice::Open(m_media.channels, m_media.sampleRate);
    if (!m_capture)
        return Error::NoCaptureDevice;
    m_recordFrom = m_positionFrames;
    m_captured.clear();
    m_pending = true;
    return Error::None;
}

void WavePlayer::FinishRecording()
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

void WavePlayer::Stop()
{
    if (m_capture)
        FinishRecording();
    else if (m_voiceActive)
        StopVoice();
    AbortPending();
}

void WavePlayer::StopVoice()
{
    m_positionFrames = m_voice->position();
    m_voiceActive = false;
    m_voice->stop();
}

void WavePlayer::Pause()
{
    if (CurrentState() == State::Playing)
        m_voice->pause();
}

void WavePlayer::Resume()
{
    if (CurrentState() != State::Paused)
        return;
    m_voice->resume();
    // The resume carries the completion from here on.
    SupersedePending();
    m_pending = true;
}

void WavePlayer::SeekTo(int64_t frame)
{
    if (m_capture)
        FinishRecording();
    else if (m_voiceActive)
        StopVoice();
    AbortPending();
    m_positionFrames = std::clamp<int64_t>(frame, 0, m_media.Frames());
}

void WavePlayer::Rewind()
{
    if (m_open)
        SeekTo(0);
}

void WavePlayer::SeekToEnd()
{
    if (m_open)
        SeekTo(m_media.Frames());
}

int64_t WavePlayer::PositionFrames() const
{
    if (!m_open)
        return 0;
    if (m_capture) {
        m_capture->Drain(m_captured);
        return m_recordFrom + int64_t(m_captured.size()) / m_media.channels;
    }
    return m_voiceActive ? m_voice->position() : m_positionFrames;
}

int64_t WavePlayer::LengthMs() const
{
    return FramesToMs(m_capture ? PositionFrames() : m_media.Frames());
}

int64_t WavePlayer::PositionMs() const
{
    return FramesToMs(PositionFrames());
}

WavePlayer::State WavePlayer::CurrentState() const
{
    if (!m_open)
        return State::Closed;
    if (m_capture)
        return State::Recording;
    if (m_voiceActive && m_voice->isPlaying())
        return m_voice->isPaused() ? State::Paused : State::Playing;
    return State::Stopped;
}

int64_t WavePlayer::FramesToMs(int64_t frames) const
{
    return m_media.sampleRate > 0 ? frames * 1000 / m_media.sampleRate : 0;
}

int64_t WavePlayer::MsToFrames(int64_t ms) const
{
    return ms * m_media.sampleRate / 1000;
}

void WavePlayer::Post(Completion result)
{
    // Posted like a device's completion, never delivered inside a call.
    QMetaObject::invokeMethod(this, [this, result] { emit completed(result); }, Qt::QueuedConnection);
}

void WavePlayer::SupersedePending()
{
    if (std::exchange(m_pending, false))
        Post(Completion::Superseded);
}

void WavePlayer::AbortPending()
{
    if (std::exchange(m_pending, false))
        Post(Completion::Aborted);
}

void WavePlayer::VoiceFinished(bool reachedEnd)
{
    if (m_voicePlays.empty())
        return;
    const uint64_t id = m_voicePlays.front();
    m_voicePlays.pop_front();
    if (id != m_lastPlayId || !m_voiceActive)
        return;
    m_positionFrames = m_voice->position();
    m_voiceActive = false;
    if (reachedEnd && std::exchange(m_pending, false))
        Post(Completion::Successful);
}
