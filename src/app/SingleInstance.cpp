#include "app/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace {

QString lockPath(const QString& folder)
{
    QString dir = folder;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return QDir(dir).filePath(QStringLiteral("kznQorMainForm"));
}

} // namespace

SingleInstanceLock::SingleInstanceLock(const QString& folder)
    : m_lock(lockPath(folder))
{
    // A running instance may hold the lock for days: only a dead holder
    // makes it stale, never its age.
    m_lock.setStaleLockTime(0);
}

SingleInstanceLock::~SingleInstanceLock()
{
    m_lock.unlock();
}

bool SingleInstanceLock::TryAcquire()
{
    return m_lock.tryLock(0);
}
