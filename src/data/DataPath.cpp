#include "data/DataPath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

// The entry of `dir` named `name` in any case, or empty.
QString FindEntry(const QString& dir, const QString& name)
{
    if (QFileInfo::exists(dir + QLatin1Char('/') + name))
        return name;
    const QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

} // namespace

QString ResolveDataPath(const QString& dataDir, const QString& relativePath)
{
    if (dataDir.isEmpty() || relativePath.isEmpty() || relativePath.startsWith(QLatin1Char('/'))
        || relativePath.startsWith(QLatin1Char('\\')))
        return {};
    QString normalized = relativePath;
    normalized.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = normalized.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return {};

    QString path = dataDir;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    for (const QString& part : parts) {
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return {};
        const QString entry = FindEntry(path, part);
        if (entry.isEmpty())
            return {};
        path += (path.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + entry;
    }
    return path;
}

QString LessonContainerPath(int book, int lesson)
{
    return QStringLiteral("qor%1/%2.qor").arg(book).arg(lesson);
}

QString WordContainerPath(int book, int wordId)
{
    return QStringLiteral("qor%1/%2.qow").arg(book).arg(wordId);
}
