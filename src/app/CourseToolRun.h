#pragma once

#include "app/CourseToolLines.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;

// One run of the course tool as a separate process, for any of its long
// commands: its progress lines become Progress in the program's Chinese
// (`texts`), its other output lines are handed on as they come, and its end
// becomes a ToolEnd with a Chinese message around the tool's own reason.
//
// Cancel sends SIGTERM: the tool stops at its next step and removes what it
// had begun; one that has not ended `killAfterMs` later is killed. Going
// away while the tool runs never holds the window for long: the tool gets
// SIGTERM and a brief moment to clean up, then is killed; only one the
// system cannot even kill is left to end on its own, without us.
//
// GUI thread only.
class CourseToolRun final : public QObject {
    Q_OBJECT
public:
    // How long the destructor waits at most, for each of SIGTERM and SIGKILL.
    static constexpr int kSettleMs = 300;

    CourseToolRun(QString courseTool, CourseToolTexts texts, int killAfterMs, QObject* parent = nullptr);
    ~CourseToolRun() override;
    CourseToolRun(const CourseToolRun&) = delete;
    CourseToolRun& operator=(const CourseToolRun&) = delete;

    // Starts the tool; Finished follows, from the event loop, whatever happens.
    // Ignored while a run is going on.
    void Start(const QStringList& arguments);
    void Cancel();
    // From Start until Finished.
    bool Running() const { return m_running; }

    // After Finished.
    ToolEnd End() const { return m_end; }
    // After Finished: why the run failed, in Chinese; empty for Done and Cancelled.
    const QString& FailureText() const { return m_failureText; }

signals:
    void Progress(int step, int steps, const QString& text);
    // Every line of standard output that is not progress, without its end of line.
    void OutputLine(const QString& line);
    void Finished();

private:
    void ReadLines();
    void ProcessFinished(int exitCode, bool crashed);
    void Finish(ToolEnd end, const ToolFailure& failure);

    QString m_courseTool;
    CourseToolTexts m_texts;
    int m_killAfterMs;
    QProcess* m_process;  // a child; left to end on its own only by the destructor
    QByteArray m_pending;  // output after the last complete line
    bool m_running = false;
    bool m_cancelled = false;
    int m_run = 0;  // which start a late kill belongs to
    ToolEnd m_end = ToolEnd::Done;
    QString m_failureText;
};
