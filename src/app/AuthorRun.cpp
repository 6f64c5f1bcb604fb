#include "app/AuthorRun.h"

#include "app/CourseToolLines.h"
#include "controls/HandlerGuard.h"

#include <QRegularExpression>
#include <QTimer>

namespace {

// The tool names its steps in English; the learner reads what kind of work
// it is doing.
QString StepLabel(const QString& what)
{
    static const struct {
        const char* pattern;
        const char* label;
    } steps[] = {
        {"align|time|position", "正在查找每一句在录音中的位置"},
        {"encod|convert|mp3", "正在转换录音格式"},
        {"word", "正在制作生词"},
        {"writ|sav|stor|database|commit", "正在把课文写入课程"},
        {"audio|record|decod|sound", "正在读取录音"},
        {"text|sentence|split|chinese|translat", "正在读取课文"},
    };
    for (const auto& step : steps) {
        if (what.contains(QRegularExpression(QString::fromLatin1(step.pattern),
                                             QRegularExpression::CaseInsensitiveOption)))
            return QString::fromUtf8(step.label);
    }
    return QStringLiteral("正在制作课文");
}

}  // namespace

QStringList AuthorRequest::Arguments() const
{
    QStringList args{QStringLiteral("author"), dataDir, QStringLiteral("--book"), QString::number(book),
                     QStringLiteral("--audio"), audioFile, QStringLiteral("--text"), textFile};
    if (!chineseFile.isEmpty())
        args << QStringLiteral("--chinese") << chineseFile;
    if (!title.isEmpty())
        args << QStringLiteral("--title") << title;
    return args;
}

TAuthorRun::TAuthorRun(QString courseTool, QObject* parent) : QObject(parent), m_courseTool(std::move(courseTool))
{
    connect(&m_process, &QProcess::readyReadStandardOutput, this, Guarded([this] { ReadLines(); }));
    connect(&m_process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        RunGuarded([&] { ProcessFinished(exitCode, status); });
    });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        m_failure = QStringLiteral("找不到课程工具“%1”，无法添加课文。请重新安装本软件。").arg(m_courseTool);
        emit Finished();
    });
}

TAuthorRun::~TAuthorRun()
{
    if (!Running())
        return;
    m_process.disconnect(this);
    m_process.terminate();
    if (!m_process.waitForFinished(kKillAfterMs)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

void TAuthorRun::Start(const AuthorRequest& request)
{
    m_pending.clear();
    m_uncertain.clear();
    m_added.reset();
    m_failure.clear();
    m_cancelled = false;
    ++m_run;
    m_process.start(m_courseTool, request.Arguments());
}

void TAuthorRun::Cancel()
{
    if (!Running() || m_cancelled)
        return;
    m_cancelled = true;
    m_process.terminate();
    QTimer::singleShot(kKillAfterMs, &m_process, [this, run = m_run] {
        if (run == m_run && Running())
            m_process.kill();
    });
}

void TAuthorRun::ReadLines()
{
    m_pending += m_process.readAllStandardOutput();
    for (qsizetype end; (end = m_pending.indexOf('\n')) >= 0; m_pending.remove(0, end + 1))
        ReadLine(QString::fromUtf8(m_pending.left(end)).trimmed());
}

void TAuthorRun::ReadLine(const QString& line)
{
    if (const std::optional<ToolProgress> progress = ParseToolProgress(line)) {
        emit Progress(progress->step, progress->steps, StepLabel(progress->what));
        return;
    }
    // "number<TAB>begin<TAB>end<TAB>confidence[<TAB>?]"
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (fields.size() == 5 && fields[4] == QLatin1String("?")) {
        m_uncertain << fields[0].toInt();
        return;
    }
    static const QRegularExpression added(
        QStringLiteral("^added book (\\d+) lesson (\\d+): (\\d+) sentences?, (\\d+) uncertain$"));
    const QRegularExpressionMatch m = added.match(line);
    if (m.hasMatch())
        m_added = AddedLesson{m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m_uncertain};
}

void TAuthorRun::ProcessFinished(int exitCode, QProcess::ExitStatus status)
{
    m_pending += m_process.readAllStandardOutput() + '\n';
    ReadLines();
    const QString reason = ToolMessage(m_process.readAllStandardError());
    const bool made = status == QProcess::NormalExit && exitCode == 0;
    if (!made)
        m_added.reset();
    if (made && m_added) {
        m_failure.clear();
    } else if (m_cancelled) {
        m_failure.clear();
    } else if (status != QProcess::NormalExit) {
        m_failure = QStringLiteral("课程工具意外退出，没有添加课文，课程没有改动。");
    } else if (made) {
        m_failure = QStringLiteral("课程工具没有报告添加了哪一课。请在“选择课程”里查看。");
    } else if (exitCode == 2) {
        m_failure = QStringLiteral("课程工具不接受这些参数，没有添加课文，课程没有改动。\n课程工具的说明：%1").arg(reason);
    } else {
        m_failure = QStringLiteral("无法用这份录音和课文制作新课，课程没有改动。\n课程工具的说明：%1").arg(reason);
    }
    emit Finished();
}
