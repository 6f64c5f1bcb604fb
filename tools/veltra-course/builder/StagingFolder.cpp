#include "StagingFolder.h"

#include "data/DataPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <stdio.h>

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
}

bool StagingFolder::create(QString& error)
{
    if (!canReplace(m_target, error))
        return false;
    const QFileInfo target(m_target);
    if (!QDir().mkpath(target.absolutePath())) {
        error = QStringLiteral("cannot create the folder %1").arg(target.absolutePath());
        return false;
    }
    QTemporaryDir dir(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".building-XXXXXX"));
    if (!dir.isValid()) {
        error = QStringLiteral("cannot create a folder beside %1: %2").arg(m_target, dir.errorString());
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

bool StagingFolder::commit(QString& error)
{
    const bool hadTarget = QFileInfo::exists(m_target);
    // Swapping the two folders in one step leaves no moment without a data folder.
    if (hadTarget && renameat2(AT_FDCWD, QFile::encodeName(m_path).constData(), AT_FDCWD,
                               QFile::encodeName(m_target).constData(), RENAME_EXCHANGE) == 0) {
        m_committed = true;
        QDir(m_path).removeRecursively();
        return true;
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
    if (hadTarget)
        QDir(old).removeRecursively();
    return true;
}
