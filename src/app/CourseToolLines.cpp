#include "app/CourseToolLines.h"

#include <QRegularExpression>
#include <QStringList>

#include <csignal>

namespace {

const QString kToolPrefix = QStringLiteral("veltra-course: ");

bool IsStoppedStatus(int exitCode)
{
    return exitCode == 128 + SIGTERM || exitCode == 128 + SIGINT || exitCode == 128 + SIGHUP;
}

} // namespace

std::optional<ToolProgress> ParseToolProgress(const QString& line)
{
    static const QRegularExpression pattern(QStringLiteral("^\\[(\\d+)/(\\d+)\\] (.+)$"));
    const QRegularExpressionMatch m = pattern.match(line);
    if (!m.hasMatch())
        return std::nullopt;
    ToolProgress progress{m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).trimmed(), {}};
    if (progress.steps < 1 || progress.step > progress.steps || progress.key.isEmpty())
        return std::nullopt;
    if (const qsizetype colon = progress.key.indexOf(QStringLiteral(": ")); colon > 0) {
        progress.detail = progress.key.mid(colon + 2);
        progress.key.truncate(colon);
    }
    return progress;
}

ToolFailure ParseToolFailure(const QByteArray& stderrBytes)
{
    const QStringList lines = QString::fromUtf8(stderrBytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QString said = lines.isEmpty() ? QString() : lines.last();
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        if (lines[i].startsWith(kToolPrefix)) {
            said = lines[i].mid(kToolPrefix.size());
            break;
        }
    }
    static const QRegularExpression keyed(QStringLiteral("^\\[([a-z0-9-]+)\\] (.*)$"));
    if (const QRegularExpressionMatch m = keyed.match(said); m.hasMatch())
        return {m.captured(1), m.captured(2)};
    return {{}, said};
}

ToolEnd EndOfRun(bool crashed, int exitCode, bool cancelled)
{
    if (!crashed && exitCode == 0)
        return ToolEnd::Done;
    if (cancelled || (!crashed && IsStoppedStatus(exitCode)))
        return ToolEnd::Cancelled;
    if (crashed)
        return ToolEnd::Crashed;
    return exitCode == 2 ? ToolEnd::Refused : ToolEnd::Failed;
}

QString CourseToolTexts::StepText(const ToolProgress& progress) const
{
    if (const auto known = steps.constFind(progress.key); known != steps.cend())
        return *known;
    if (!otherStep.isEmpty())
        return otherStep;
    return progress.detail.isEmpty() ? progress.key : progress.key + QStringLiteral(": ") + progress.detail;
}

QString CourseToolTexts::FailureText(ToolEnd end, const ToolFailure& failure, const QString& tool) const
{
    QString text;
    switch (end) {
    case ToolEnd::Done:
    case ToolEnd::Cancelled:
        return {};
    case ToolEnd::NotStarted:
        return missing.arg(tool);
    case ToolEnd::Crashed:
        return crashed;
    case ToolEnd::Refused:
        text = refused;
        break;
    case ToolEnd::Failed:
        text = failures.value(failure.key, failed);
        break;
    }
    if (!failure.reason.isEmpty())
        text += QLatin1Char('\n') + reasonLead + failure.reason;
    return text;
}
