#pragma once

#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>

// What "veltra-course author" is asked to make.
struct AuthorRequest {
    QString dataDir;
    int book = 1;
    QString audioFile;
    QString textFile;
    QString chineseFile;  // empty: no translation
    QString title;        // empty: the tool's own choice

    QStringList Arguments() const;
};

// The lesson the tool added, as it reported it.
struct AddedLesson {
    int book = 0;
    int lesson = 0;
    int sentences = 0;
    QList<int> uncertain;  // numbers (from 1) of the sentences whose times may be off
};

// One run of the course tool's "author" command as a separate process: its
// progress lines become Progress with a Chinese label, its report the added
// lesson, its failure a Chinese message around the tool's own reason. The
// tool adds the lesson in one transaction and, stopped with SIGTERM, cleans
// up and writes nothing; Cancel relies on that, and kills it only when it
// has not ended kKillAfterMs later. Whatever ends the run, the outcome is
// what the tool did: a lesson reported before a cancel took effect counts as
// added.
//
// GUI thread only.
class TAuthorRun final : public QObject {
    Q_OBJECT
public:
    static constexpr int kKillAfterMs = 5000;

    explicit TAuthorRun(QString courseTool, QObject* parent = nullptr);
    // A tool still running is stopped and waited for.
    ~TAuthorRun() override;

    void Start(const AuthorRequest& request);
    void Cancel();
    bool Running() const { return m_process.state() != QProcess::NotRunning; }

    // After Finished: the lesson added, or nothing.
    const std::optional<AddedLesson>& Added() const { return m_added; }
    // After Finished without a lesson: why, in Chinese; empty after a cancel.
    const QString& Failure() const { return m_failure; }

signals:
    void Progress(int step, int steps, const QString& label);
    void Finished();

private:
    void ReadLines();
    void ReadLine(const QString& line);
    void ProcessFinished(int exitCode, QProcess::ExitStatus status);

    QString m_courseTool;
    QProcess m_process;
    QByteArray m_pending;  // output after the last complete line
    QList<int> m_uncertain;
    std::optional<AddedLesson> m_added;
    QString m_failure;
    bool m_cancelled = false;
    int m_run = 0;  // which start a late kill belongs to
};
