#include "CourseImport.h"

#include "AccessFile.h"
#include "DataFolderFiles.h"
#include "ImportedTables.h"
#include "StagingFolder.h"

#include "data/DataPath.h"
#include "data/Schema.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <stdio.h>

namespace {

// A free name beside `path` telling when it was replaced.
QString ReplacedName(const QString& path)
{
    const QString base = path + QStringLiteral(".replaced-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QStringLiteral("-%1").arg(n);
    return name;
}

// The import into the old folder itself: only qor.db is new there.
bool AddDatabase(const QString& staged, const QString& dataDir, const QString& replaced, QString& error)
{
    if (!replaced.isEmpty() && !QFile::rename(replaced, ReplacedName(replaced))) {
        error = QStringLiteral("cannot move the old %1 aside").arg(replaced);
        return false;
    }
    const QString target = dataDir + QStringLiteral("/qor.db");
    if (renameat2(AT_FDCWD, QFile::encodeName(staged).constData(), AT_FDCWD, QFile::encodeName(target).constData(),
                  RENAME_NOREPLACE) != 0) {
        error = QStringLiteral("cannot move the new database to %1").arg(target);
        return false;
    }
    return true;
}

} // namespace

ImportResult ImportCourse(const QString& oldDir, const QString& newDir, const ImportOptions& options,
                          const std::function<void(const QString&)>& report, QString& error)
{
    const QFileInfo oldInfo(oldDir);
    if (!oldInfo.isDir()) {
        error = QStringLiteral("%1 is not a folder").arg(oldDir);
        return ImportResult::BadInput;
    }
    const QString mdb = ResolveDataPath(oldDir, QStringLiteral("qor.mdb"));
    if (mdb.isEmpty() || !QFileInfo(mdb).isFile()) {
        error = QStringLiteral("%1 holds no Access database (qor.mdb)").arg(oldDir);
        return ImportResult::BadInput;
    }
    const QFileInfo newInfo(newDir);
    if (newInfo.exists() && !newInfo.isDir()) {
        error = QStringLiteral("%1 exists and is not a folder").arg(newDir);
        return ImportResult::BadInput;
    }
    const bool sameFolder = newInfo.exists() && newInfo.canonicalFilePath() == oldInfo.canonicalFilePath();
    const QString oldDb = newInfo.exists() ? ResolveDataPath(newDir, QStringLiteral("qor.db")) : QString();
    if (!oldDb.isEmpty() && !options.replace) {
        error = QStringLiteral("%1 already holds qor.db; give --replace to replace it (the old one is kept)").arg(newDir);
        return ImportResult::BadInput;
    }
    if (!sameFolder && !StagingFolder::canReplace(newDir, error))
        return ImportResult::BadInput;

    // Reading errors name the file they come from.
    auto failed = [&] {
        if (!error.startsWith(mdb))
            error = QStringLiteral("%1: %2").arg(mdb, error);
        return ImportResult::Failed;
    };
    AccessFile access;
    if (!access.open(mdb, error))
        return failed();
    StagingFolder staging(newDir);
    if (!staging.createBeside(error))
        return ImportResult::Failed;

    const int steps = int(SchemaTables().size()) + 1;
    int step = 0;
    auto progress = [&](const QString& line) { report(QStringLiteral("[%1/%2] %3").arg(++step).arg(steps).arg(line)); };
    const QString stagedDb = staging.path() + QStringLiteral("/qor.db");
    if (!WriteImportedTables(access, stagedDb, [&](const TableCount& c) {
            progress(QStringLiteral("%1: %2 rows read, %3 rows written").arg(c.table).arg(c.read).arg(c.written));
        }, error))
        return failed();

    if (sameFolder) {
        progress(QStringLiteral("files: the containers stay where they are"));
        return AddDatabase(stagedDb, staging.target(), oldDb, error) ? ImportResult::Imported : ImportResult::Failed;
    }
    QString summary;
    if (!CopyDataFolderFiles(oldDir, staging.path(), summary, error))
        return ImportResult::Failed;
    progress(QStringLiteral("files: ") + summary);
    const QString keep = oldDb.isEmpty() ? QString() : ReplacedName(staging.target());
    return staging.commit(error, keep) ? ImportResult::Imported : ImportResult::Failed;
}
