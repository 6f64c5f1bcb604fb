#include "audio/FollowReading.h"

#include "data/DataPath.h"

#include <QDir>

QString TakeFilePath(const QString& dataDir)
{
    const QString found = ResolveDataPath(dataDir, QStringLiteral("tmpwav.wav"));
    return found.isEmpty() ? QDir(dataDir).filePath(QStringLiteral("tmpwav.wav")) : found;
}

FollowReading::FollowReading(TakeRecorder& recorder, QString takeFile)
    : m_recorder(recorder), m_takeFile(std::move(takeFile))
{
}

void FollowReading::StartTake(const std::function<void()>& prepareModel)
{
    if (m_recording)
        return;
    m_recording = true;
    try {
        if (prepareModel)
            prepareModel();
        m_recorder.Open(m_takeFile);
        m_recorder.StartRecording();
    } catch (...) {
        // A half-started take would leave the page disabled with nothing
        // recording; the error still reaches the learner.
        m_recording = false;
        throw;
    }
    if (m_hooks.started)
        m_hooks.started();
}

void FollowReading::StopTake()
{
    if (!m_recording)
        return;
    m_recording = false;
    m_takeEnded = true;
    m_recorder.Stop();
    if (m_hooks.ended)
        m_hooks.ended();
    m_recorder.Rewind();
    m_recorder.Play();
}

void FollowReading::EndTakeSilently()
{
    if (!m_recording)
        return;
    m_recording = false;
    m_takeEnded = true;
    m_recorder.Stop();
    if (m_hooks.ended)
        m_hooks.ended();
}

void FollowReading::PlayTake()
{
    m_recorder.Play();
}
