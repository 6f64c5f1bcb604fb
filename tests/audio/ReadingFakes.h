#pragma once

#include "audio/ReadingPorts.h"
#include "data/LessonDataSet.h"

#include <QFile>
#include <QStringList>

#include <stdexcept>

// Stand-ins for the audio engine, timers and players that write every call
// into one shared log, so a test reads the order of events directly.
struct CallLog {
    QStringList calls;
    QStringList Take()
    {
        QStringList out = calls;
        calls.clear();
        return out;
    }
};

// Keeps the one pending end action the way the engine does: a new play
// replaces it, a stop drops it.
class FakeSentenceAudio final : public SentencePlayback {
public:
    explicit FakeSentenceAudio(CallLog& log) : m_log(log) {}
    void PlaySentence(int beginMs, int endMs, int endAction) override
    {
        m_log.calls << QStringLiteral("play %1-%2 end%3").arg(beginMs).arg(endMs).arg(endAction);
        pending = endAction;
    }
    void StopLessonAudio() override
    {
        m_log.calls << QStringLiteral("stop");
        pending = -1;
    }
    // The playing span reaches its end: the action it carried, -1 for none.
    int FinishSpan()
    {
        const int action = pending;
        pending = -1;
        return action;
    }
    int pending = -1;

private:
    CallLog& m_log;
};

class FakeTimer final : public StepTimer {
public:
    void SetActive(bool value) override { active = value; }
    bool Active() const override { return active; }
    bool active = false;
};

// Owns and deletes the file it has open, and fails on a missing one, like
// the program's word player.
class FakeWordPlayer final : public WordPlayer {
public:
    explicit FakeWordPlayer(CallLog& log) : m_log(log) {}
    ~FakeWordPlayer() override { CloseAndDelete(); }
    void OpenFile(const QString& path) override
    {
        CloseAndDelete();
        m_log.calls << QStringLiteral("open");
        if (path.isEmpty() || !QFile::exists(path))
            throw std::runtime_error("文件不存在！");
        open = path;
    }
    void Play() override
    {
        if (open.isEmpty())
            throw std::runtime_error("No MCI device open");
        m_log.calls << QStringLiteral("play word");
    }
    void CloseAndDelete()
    {
        if (!open.isEmpty())
            QFile::remove(open);
        open.clear();
    }
    QString open;

private:
    CallLog& m_log;
};

class FakeRecorder final : public TakeRecorder {
public:
    explicit FakeRecorder(CallLog& log) : m_log(log) {}
    void Open(const QString& fileName) override
    {
        if (failOpen)
            throw std::runtime_error("no capture device");
        m_log.calls << QStringLiteral("rec open ") + fileName;
    }
    void StartRecording() override { m_log.calls << QStringLiteral("rec record"); }
    void Stop() override { m_log.calls << QStringLiteral("rec stop"); }
    void Rewind() override { m_log.calls << QStringLiteral("rec rewind"); }
    void Play() override { m_log.calls << QStringLiteral("rec play"); }
    bool failOpen = false;

private:
    CallLog& m_log;
};

// A dataset with the given rows of (FID, FEnglish, FBeginPos, FEndPos).
struct SentenceRow {
    int id;
    QString english;
    int begin;
    int end;
};
inline void FillSentences(TLessonDataSet& set, const QList<SentenceRow>& rows)
{
    RowSet rs;
    rs.fields = {QStringLiteral("FID"), QStringLiteral("FEnglish"), QStringLiteral("FChinese"),
                 QStringLiteral("FBeginPos"), QStringLiteral("FEndPos")};
    for (const SentenceRow& r : rows)
        rs.rows.push_back({r.id, r.english, QString(), r.begin, r.end});
    set.Assign(rs);
}

inline void FillWords(TLessonDataSet& set, const QList<int>& ids)
{
    RowSet rs;
    rs.fields = {QStringLiteral("FID"), QStringLiteral("FBook"), QStringLiteral("FEnglish"),
                 QStringLiteral("FChinese"), QStringLiteral("FPS"), QStringLiteral("FInfo")};
    for (int id : ids)
        rs.rows.push_back({id, 1, QStringLiteral("w%1").arg(id), QString(), QString(), QString()});
    set.Assign(rs);
}
