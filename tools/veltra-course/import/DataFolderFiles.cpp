#include "DataFolderFiles.h"

#include "data/DataPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

bool CopyFile(const QString& from, const QString& to, QString& error)
{
    if (QFile::copy(from, to))
        return true;
    error = QStringLiteral("cannot copy %1 to %2").arg(from, to);
    return false;
}

// One book's containers; returns how many were copied, -1 on failure.
int CopyContainers(const QString& from, const QString& to, QString& error)
{
    if (!QDir().mkpath(to)) {
        error = QStringLiteral("cannot create the folder %1").arg(to);
        return -1;
    }
    QSet<QString> copied;
    const QFileInfoList entries = QDir(from).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString suffix = entry.suffix().toLower();
        if (suffix != QLatin1String("qor") && suffix != QLatin1String("qow"))
            continue;
        const QString name = entry.completeBaseName() + QLatin1Char('.') + suffix;
        const QString target = to + QLatin1Char('/') + name;
        if (copied.contains(name)) {
            if (entry.fileName() != name)
                continue;
            QFile::remove(target);
        }
        if (!CopyFile(entry.filePath(), target, error))
            return -1;
        copied.insert(name);
    }
    return int(copied.size());
}

} // namespace

bool CopyDataFolderFiles(const QString& oldDir, const QString& newDir, QString& summary, QString& error)
{
    int books = 0;
    int containers = 0;
    for (int book = 1; book <= 4; ++book) {
        const QString name = QStringLiteral("qor%1").arg(book);
        const QString from = ResolveDataPath(oldDir, name);
        if (from.isEmpty() || !QFileInfo(from).isDir())
            continue;
        const int n = CopyContainers(from, newDir + QLatin1Char('/') + name, error);
        if (n < 0)
            return false;
        ++books;
        containers += n;
    }
    QStringList files;
    for (const char* optional : {"PDFont1.ttf", "tmpwav.wav", "qorHelp.chm"}) {
        const QString name = QString::fromLatin1(optional);
        const QString from = ResolveDataPath(oldDir, name);
        if (from.isEmpty() || !QFileInfo(from).isFile())
            continue;
        if (!CopyFile(from, newDir + QLatin1Char('/') + name, error))
            return false;
        files.append(name);
    }
    summary = QStringLiteral("%1 book folders with %2 containers").arg(books).arg(containers);
    if (!files.isEmpty())
        summary += QStringLiteral(", ") + files.join(QStringLiteral(", "));
    summary += QStringLiteral(" copied");
    return true;
}
