#pragma once

#include "audio/ReadingPorts.h"
#include "controls/kznMediaPlayer.h"
#include "controls/kznThreadTimer.h"

#include <stdexcept>

// The main window's timers and players seen through the reading
// controllers' ports. Each adapter only forwards; GUI thread only.

class ThreadTimerStep final : public StepTimer {
public:
    explicit ThreadTimerStep(TkznThreadTimer& timer) : m_timer(timer) {}
    void SetActive(bool active) override { m_timer.SetActive(active); }
    bool Active() const override { return m_timer.Active(); }

private:
    TkznThreadTimer& m_timer;
};

class MediaWordPlayer final : public WordPlayer {
public:
    explicit MediaWordPlayer(TkznMediaPlayer& player) : m_player(player) {}
    void OpenFile(const QString& path) override { m_player.OpenFile(path); }
    void Play() override { m_player.Play(); }

private:
    TkznMediaPlayer& m_player;
};

class MediaTakeRecorder final : public TakeRecorder {
public:
    explicit MediaTakeRecorder(TkznMediaPlayer& player) : m_player(player) {}
    void Open(const QString& fileName) override
    {
        m_player.SetFileName(fileName);
        m_player.Open();
    }
    void StartRecording() override
    {
        m_player.StartRecording();
        // The player only notes a missing capture device; a take that records
        // nothing must not look like one.
        if (m_player.LastError() == TkznMediaPlayer::ErrNoCaptureDevice)
            throw std::runtime_error(QStringLiteral("没有找到录音设备，无法跟读！").toStdString());
    }
    void Stop() override { m_player.Stop(); }
    void Rewind() override { m_player.Rewind(); }
    void Play() override { m_player.Play(); }

private:
    TkznMediaPlayer& m_player;
};
