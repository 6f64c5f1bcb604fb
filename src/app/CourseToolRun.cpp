#include "app/CourseToolRun.h"

#include "controls/HandlerGuard.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTimer>

CourseToolRun::CourseToolRun(QString courseTool, CourseToolTexts texts, int killAfterMs, QObject* parent)
    : QObject(parent)
    , m_courseTool(std::move(courseTool))
    , m_texts(std::move(texts))
    , m_killAfterMs(killAfterMs)
    , m_process(new QProcess(this))
{
    connect(m_process, &QProcess::readyReadStandardOutput, this, Guarded([this] { ReadLines(); }));
    connect(m_process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        RunGuarded([&] { ProcessFinished(exitCode, status == QProcess::CrashExit); });
    });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        // Not started, so no finished follows; the end is told from the event
        // loop all the same.
        if (error == QProcess::FailedToStart)
            QTimer::singleShot(0, this, Guarded([this] { Finish(ToolEnd::NotStarted, {}); }));
    });
}

CourseToolRun::~CourseToolRun()
{
    if (m_process->state() == QProcess::NotRunning)
        return;
    m_process->disconnect(this);
    m_process->terminate();
    if (m_process->waitForFinished(kSettleMs))
        return;
    m_process->kill();
    if (m_process->waitForFinished(kSettleMs))
        return;
    // Not even SIGKILL has ended it yet (a process stuck in the kernel): the
    // application reaps it whenever it ends.
    m_process->setParent(QCoreApplication::instance());
    connect(m_process, &QProcess::finished, m_process, &QObject::deleteLater);
}

void CourseToolRun::Start(const QStringList& arguments)
{
    if (m_running)
        return;
    m_running = true;
    m_pending.clear();
    m_cancelled = false;
    m_end = ToolEnd::Done;
    m_failureText.clear();
    ++m_run;
    m_process->start(m_courseTool, arguments);
}

void CourseToolRun::Cancel()
{
    if (m_process->state() == QProcess::NotRunning || m_cancelled)
        return;
    m_cancelled = true;
    m_process->terminate();
    QTimer::singleShot(m_killAfterMs, this, [this, run = m_run] {
        if (run == m_run && m_process->state() != QProcess::NotRunning)
            m_process->kill();
    });
}

void CourseToolRun::ReadLines()
{
    m_pending += m_process->readAllStandardOutput();
    for (qsizetype end; (end = m_pending.indexOf('\n')) >= 0; m_pending.remove(0, end + 1)) {
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        if (line.isEmpty())
            continue;
        if (const std::optional<ToolProgress> progress = ParseToolProgress(line))
            emit Progress(progress->step, progress->steps, m_texts.StepText(*progress));
        else
            emit OutputLine(line);
    }
}

void CourseToolRun::ProcessFinished(int exitCode, bool crashed)
{
    // A last line without its end of line counts too.
    m_pending += m_process->readAllStandardOutput() + '\n';
    ReadLines();
    Finish(EndOfRun(crashed, exitCode, m_cancelled), ParseToolFailure(m_process->readAllStandardError()));
}

void CourseToolRun::Finish(ToolEnd end, const ToolFailure& failure)
{
    m_end = end;
    m_failureText = m_texts.FailureText(end, failure, m_courseTool);
    m_running = false;
    emit Finished();
}
