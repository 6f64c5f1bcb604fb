#include "audio/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

QString ProgramTempFolder()
{
    const QString folder = QDir(QDir::tempPath()).filePath(QStringLiteral("veltra-%1").arg(getuid()));
    const QByteArray path = QFile::encodeName(folder);
    if (mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    // The temporary folder is shared: never use a name someone else made.
    struct stat info {};
    if (lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid())
        return {};
    if ((info.st_mode & 0777) != 0700 && chmod(path.constData(), 0700) != 0)
        return {};
    return folder;
}

void EmptyProgramTempFolder()
{
    const QString folder = ProgramTempFolder();
    if (folder.isEmpty())
        return;
    QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QString path = dir.filePath(name);
        if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }
}
