#include "ImportFolders.h"

#include "StagingFolder.h"

#include "data/DataPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

namespace {

// `folder`, or while it does not exist yet the nearest folder above it, can
// take new entries.
bool Writable(const QString& folder, ImportText& message)
{
    QString existing = QFileInfo(folder).absoluteFilePath();
    while (!QFileInfo::exists(existing) && !QDir(existing).isRoot())
        existing = QFileInfo(existing).absolutePath();
    if (::access(QFile::encodeName(existing).constData(), W_OK) == 0)
        return true;
    const ImportText reason = SystemReason(errno);
    message = {QStringLiteral("%1 cannot be written: %2").arg(existing, reason.english),
               QStringLiteral("无法写入文件夹 %1：%2").arg(existing, reason.chinese)};
    return false;
}

} // namespace

bool CheckImportFolders(const QString& oldDir, const QString& newDir, bool replace, ImportFolders& folders,
                        ImportText& message)
{
    const QFileInfo oldInfo(oldDir);
    if (!oldInfo.isDir()) {
        message = {QStringLiteral("%1 is not a folder").arg(oldDir), QStringLiteral("%1 不是文件夹").arg(oldDir)};
        return false;
    }
    folders.mdb = ResolveDataPath(oldDir, QStringLiteral("qor.mdb"));
    if (folders.mdb.isEmpty() || !QFileInfo(folders.mdb).isFile()) {
        message = {QStringLiteral("%1 holds no Access database (qor.mdb)").arg(oldDir),
                   QStringLiteral("%1 中没有旧版词库 qor.mdb").arg(oldDir)};
        return false;
    }
    const QFileInfo newInfo(newDir);
    if (newInfo.exists() && !newInfo.isDir()) {
        message = {QStringLiteral("%1 exists and is not a folder").arg(newDir),
                   QStringLiteral("%1 已经存在，但不是文件夹").arg(newDir)};
        return false;
    }
    folders.sameFolder = newInfo.exists() && newInfo.canonicalFilePath() == oldInfo.canonicalFilePath();
    if (newInfo.exists())
        folders.replacedDb = ResolveDataPath(newDir, QStringLiteral("qor.db"));
    if (!folders.replacedDb.isEmpty() && !replace) {
        message = {QStringLiteral("%1 already holds qor.db; give --replace to replace it (the old one is kept)").arg(newDir),
                   QStringLiteral("%1 中已经有词库 qor.db；要替换它请加上 --replace（原来的会保留）").arg(newDir)};
        return false;
    }
    QString error;
    if (!folders.sameFolder && !StagingFolder::canReplace(newDir, error)) {
        message = {error, QStringLiteral("%1 不是空文件夹，其中也没有词库 qor.db；为免误删其中的文件，不会替换它"
                                         "（请选新的或空的文件夹）").arg(newDir)};
        return false;
    }
    if (!Writable(newDir, message))
        return false;
    // Beside a new folder: its staging folder, which takes its place.
    return folders.sameFolder || !newInfo.exists() || Writable(QFileInfo(newInfo.canonicalFilePath()).absolutePath(), message);
}
