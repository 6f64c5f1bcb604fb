#include "StagingFolder.h"

#include "data/DataPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QString StagingPrefix(const QString& target)
{
    const QFileInfo info(target);
    return QStringLiteral(".") + info.fileName() + QStringLiteral(".building-");
}

// An exclusive lock on the folder itself: the kernel drops it when the
// process ends, however it ends.
int LockFolder(const QString& path, bool wait)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

bool StagingFolder::canReplace(const QString& target, QString& error)
{
    const QFileInfo info(target);
    if (!info.exists())
        return true;
    if (!info.isDir()) {
        error = QStringLiteral("%1 exists and is not a folder").arg(target);
        return false;
    }
    const QStringList entries = QDir(target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (entries.isEmpty())
        return true;
    if (!ResolveDataPath(target, QStringLiteral("qor.db")).isEmpty())
        return true;
    error = QStringLiteral("%1 is not empty and holds no qor.db; refusing to replace it (choose a new or empty folder, "
                           "or an earlier build's data folder)")
                .arg(target);
    return false;
}

StagingFolder::StagingFolder(const QString& target)
{
    // A data folder reached through a symbolic link is replaced where it
    // really is, so the link keeps pointing at the current data.
    const QFileInfo info(target);
    m_target = info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
}

StagingFolder::~StagingFolder()
{
    if (!m_committed && !m_path.isEmpty())
        QDir(m_path).removeRecursively();
    if (m_lock >= 0)
        ::close(m_lock);
}

// Staging folders of earlier runs that were killed or crashed: nobody holds
// their lock any more.
void StagingFolder::removeAbandoned() const
{
    const QFileInfo target(m_target);
    QDir parent(target.absolutePath());
    const QStringList names = parent.entryList({StagingPrefix(m_target) + QLatin1Char('*')},
                                               QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString path = parent.filePath(name);
        const int fd = LockFolder(path, false);
        if (fd < 0)
            continue;
        QDir(path).removeRecursively();
        ::close(fd);
    }
}

bool StagingFolder::create(QString& error)
{
    return canReplace(m_target, error) && createBeside(error);
}

bool StagingFolder::createBeside(QString& error)
{
    const QFileInfo target(m_target);
    if (!QDir().mkpath(target.absolutePath())) {
        error = QStringLiteral("cannot create the folder %1").arg(target.absolutePath());
        return false;
    }
    removeAbandoned();
    QTemporaryDir dir(target.absolutePath() + QLatin1Char('/') + StagingPrefix(m_target) + QStringLiteral("XXXXXX"));
    if (!dir.isValid()) {
        error = QStringLiteral("cannot create a folder beside %1: %2").arg(m_target, dir.errorString());
        return false;
    }
    m_lock = LockFolder(dir.path(), true);
    if (m_lock < 0) {
        error = QStringLiteral("cannot lock the folder %1").arg(dir.path());
        return false;
    }
    dir.setAutoRemove(false);
    m_path = dir.path();
    // A temporary folder is private to its owner; the data folder is read by every user of the program.
    QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                      QFileDevice::ExeOther);
    return true;
}

// The replaced data folder: removed, or kept under the name asked for.
bool StagingFolder::putAside(const QString& replaced, const QString& keepReplaced, QString& error)
{
    if (keepReplaced.isEmpty()) {
        // What cannot be removed now goes with the next run's clean-up.
        QDir(replaced).removeRecursively();
        return true;
    }
    if (QDir().rename(replaced, keepReplaced))
        return true;
    error = QStringLiteral("the new data folder is in place, but the replaced one could not be renamed; it is at %1")
                .arg(replaced);
    return false;
}

bool StagingFolder::commit(QString& error, const QString& keepReplaced)
{
    const bool hadTarget = QFileInfo::exists(m_target);
    // Swapping the two folders in one step leaves no moment without a data folder.
    if (hadTarget && renameat2(AT_FDCWD, QFile::encodeName(m_path).constData(), AT_FDCWD,
                               QFile::encodeName(m_target).constData(), RENAME_EXCHANGE) == 0) {
        m_committed = true;
        return putAside(m_path, keepReplaced, error);
    }
    // The file system cannot swap: move the old folder aside first.
    const QString old = m_path + QStringLiteral(".old");
    if (hadTarget && !QDir().rename(m_target, old)) {
        error = QStringLiteral("cannot move the old %1 aside").arg(m_target);
        return false;
    }
    if (!QDir().rename(m_path, m_target)) {
        error = QStringLiteral("cannot move the new data folder to %1").arg(m_target);
        if (hadTarget)
            QDir().rename(old, m_target);
        return false;
    }
    m_committed = true;
    return !hadTarget || putAside(old, keepReplaced, error);
}
