#include "app/CourseToolLines.h"

#include <QRegularExpression>
#include <QStringList>

std::optional<ToolProgress> ParseToolProgress(const QString& line)
{
    static const QRegularExpression step(QStringLiteral("^\\[(\\d+)/(\\d+)\\] (.*)$"));
    const QRegularExpressionMatch m = step.match(line);
    if (!m.hasMatch())
        return std::nullopt;
    return ToolProgress{m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3)};
}

QString ToolMessage(const QByteArray& stderrBytes)
{
    const QStringList lines = QString::fromUtf8(stderrBytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = lines.size() - 1; i >= 0; --i)
        if (lines[i].startsWith(QLatin1String("veltra-course: ")))
            return lines[i].mid(15);
    return lines.isEmpty() ? QString() : lines.last();
}
