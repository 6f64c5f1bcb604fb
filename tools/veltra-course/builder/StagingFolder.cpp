#include "StagingFolder.h"

#include "data/DataPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

QString SystemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// An exclusive lock on the folder itself: the kernel drops it when the
// process ends, however it ends.
int LockFolder(const QString& path, bool wait)
{
    const int fd = ::open(Native(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A rename that never replaces anything. FAT and some FUSE file systems
// cannot be asked for that in one step; there a look comes first.
bool MoveNoReplace(const QString& from, const QString& to)
{
    if (renameat2(AT_FDCWD, Native(from).constData(), AT_FDCWD, Native(to).constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    struct stat existing;
    if (lstat(Native(to).constData(), &existing) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(Native(from).constData(), Native(to).constData()) == 0;
}

// Opens `path` only to hand it to `sync`: fsync for a file or a folder's
// entries (a rename is on the disk once its folder is), syncfs for
// everything written on the file system holding it. Keeps the sync's errno.
bool Sync(const QString& path, int (*sync)(int))
{
    const int fd = ::open(Native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = sync(fd) == 0;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return synced;
}

// Swapping two entries in one step leaves no moment without either.
bool Exchange(const QString& a, const QString& b)
{
    return renameat2(AT_FDCWD, Native(a).constData(), AT_FDCWD, Native(b).constData(), RENAME_EXCHANGE) == 0;
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

StagingFolder::StagingFolder(const QString& target, Place place)
    : m_place(place)
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

// The folder the staging folder is made in.
QString StagingFolder::home() const
{
    return m_place == Place::InsideTarget ? m_target : QFileInfo(m_target).absolutePath();
}

QString StagingFolder::prefix() const
{
    if (m_place == Place::InsideTarget)
        return QStringLiteral(".building-");
    return QStringLiteral(".") + QFileInfo(m_target).fileName() + QStringLiteral(".building-");
}

// Staging folders of earlier runs that were killed or crashed: nobody holds
// their lock any more.
void StagingFolder::removeAbandoned() const
{
    const QDir dir(home());
    const QStringList names = dir.entryList({prefix() + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        const int fd = LockFolder(path, false);
        if (fd < 0)
            continue;
        QDir(path).removeRecursively();
        ::close(fd);
    }
}

bool StagingFolder::create(QString& error)
{
    if (m_place == Place::BesideTarget) {
        if (!canReplace(m_target, error))
            return false;
        if (!QDir().mkpath(home())) {
            error = QStringLiteral("cannot create the folder %1").arg(home());
            return false;
        }
    } else if (!QFileInfo(m_target).isDir()) {
        error = QStringLiteral("%1 is not a folder").arg(m_target);
        return false;
    }
    removeAbandoned();
    QTemporaryDir dir(home() + QLatin1Char('/') + prefix() + QStringLiteral("XXXXXX"));
    if (!dir.isValid()) {
        error = QStringLiteral("cannot create a staging folder in %1: %2").arg(home(), dir.errorString());
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
    Q_ASSERT(m_place == Place::BesideTarget);
    // Everything staged reaches the disk before the folder takes its place,
    // in one sync instead of one per file.
    if (!Sync(m_path, syncfs)) {
        error = QStringLiteral("cannot write the new files for %1: %2").arg(m_target, SystemReason());
        return false;
    }
    const bool hadTarget = QFileInfo::exists(m_target);
    if (hadTarget && Exchange(m_path, m_target)) {
        m_committed = true;
        Sync(home(), fsync);
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
    Sync(home(), fsync);
    return !hadTarget || putAside(old, keepReplaced, error);
}

bool StagingFolder::commitFile(const QString& name, const QString& as, const QString& replaces,
                               const QString& keepReplaced, QString& error)
{
    Q_ASSERT(m_place == Place::InsideTarget);
    const QString staged = m_path + QLatin1Char('/') + name;
    const QString target = m_target + QLatin1Char('/') + as;
    auto failed = [&](const QString& what) {
        error = QStringLiteral("%1: %2").arg(what, SystemReason());
        return false;
    };
    if (!Sync(staged, fsync))
        return failed(QStringLiteral("cannot write the new %1 in %2").arg(as, m_target));
    // The moves below reach the disk with the entries of the file's folder.
    const struct SyncTarget {
        QString folder;
        ~SyncTarget() { Sync(folder, fsync); }
    } syncTarget{QFileInfo(target).absolutePath()};
    if (replaces.isEmpty())
        return MoveNoReplace(staged, target) || failed(QStringLiteral("cannot put the new %1 into %2").arg(as, m_target));
    // The replaced file, swapped into the staging folder, goes with it unless it is to be kept.
    if (QFileInfo(replaces).absoluteFilePath() == target && Exchange(staged, target))
        return keepReplaced.isEmpty() || MoveNoReplace(staged, keepReplaced)
            || failed(QStringLiteral("the new %1 is in place, but the replaced one could not be renamed to %2")
                          .arg(target, keepReplaced));
    // The file system cannot swap, or the names differ in case: the replaced
    // file goes aside first and comes back if the new one cannot follow.
    const QString aside = keepReplaced.isEmpty() ? staged + QStringLiteral(".replaced") : keepReplaced;
    if (!MoveNoReplace(replaces, aside))
        return failed(QStringLiteral("cannot move %1 aside to %2").arg(replaces, aside));
    if (!MoveNoReplace(staged, target)) {
        failed(QStringLiteral("cannot put the new %1 into %2").arg(as, m_target));
        MoveNoReplace(aside, replaces);
        return false;
    }
    return true;
}
