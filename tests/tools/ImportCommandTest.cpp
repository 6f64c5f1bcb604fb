#include "support/AccessCourse.h"
#include "support/CourseToolRun.h"
#include "support/DamagedAccess.h"
#include "support/MountNamespace.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

ToolRun RunImport(const QStringList& args)
{
    return RunCourseTool(QStringList{QStringLiteral("import")} + args);
}

// Every file under `dir` with a hash of its bytes, to see that nothing changed.
QMap<QString, QByteArray> FileHashes(const QString& dir)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        files[QDir(dir).relativeFilePath(path)] = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
    }
    return files;
}

QStringList Entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

class OldFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(WriteAccessDataFolder(old, tables, "lesson mp3", "word wav", "font", error)) << error.toStdString();
    }

    // Compares every table of `db` with what the old database holds.
    void ExpectSameRows(const QString& db)
    {
        const QString connection = QStringLiteral("import-test");
        {
            QSqlDatabase sql = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            sql.setDatabaseName(db);
            ASSERT_TRUE(sql.open());
            for (const JetTable& table : tables) {
                SCOPED_TRACE(table.name.toStdString());
                QStringList fields;
                QList<qsizetype> columns;
                for (qsizetype i = 0; i < table.columns.size(); ++i)
                    if (table.columns[i].name != QLatin1String("ID")) {  // Access's own counter, not ours
                        fields.append(table.columns[i].name);
                        columns.append(i);
                    }
                QSqlQuery q(sql);
                ASSERT_TRUE(q.exec(QStringLiteral("Select %1 From %2 Order By rowid").arg(fields.join(','), table.name)));
                qsizetype r = 0;
                for (qsizetype written = 0; written < table.rows.size(); ++written) {
                    if (table.deletedRows.contains(int(written)))
                        continue;
                    ASSERT_TRUE(q.next());
                    for (qsizetype f = 0; f < fields.size(); ++f) {
                        const QVariant want = table.rows[written][columns[f]];
                        const QVariant got = q.value(int(f));
                        EXPECT_EQ(got.isNull(), want.isNull()) << "row " << r << " " << fields[f].toStdString();
                        if (!want.isNull()) {
                            EXPECT_EQ(got.toString(), want.toString()) << "row " << r << " " << fields[f].toStdString();
                        }
                    }
                    ++r;
                }
                EXPECT_FALSE(q.next());
            }
            // Integers stay integers and the study time a day count.
            QSqlQuery types(sql);
            ASSERT_TRUE(types.exec("Select typeof(FID), typeof(FBook), typeof(FLastTime), FLastTime From tblContent Where FID=1"));
            ASSERT_TRUE(types.next());
            EXPECT_EQ(types.value(0).toString(), "integer");
            EXPECT_EQ(types.value(1).toString(), "integer");
            EXPECT_EQ(types.value(2).toString(), "real");
            EXPECT_EQ(types.value(3).toDouble(), 45000.75);
        }
        QSqlDatabase::removeDatabase(connection);
    }

    QTemporaryDir dir;
    const QString old = dir.path() + QStringLiteral("/Old");
    const QString fresh = dir.path() + QStringLiteral("/Data");
    const QList<JetTable> tables = AccessCourseTables({2, 3, 2, 2600});
};

TEST_F(OldFolder, ImportCopiesEveryRowAndFileAndLeavesTheOldFolderAlone)
{
    const QMap<QString, QByteArray> before = FileHashes(old);
    const ToolRun run = RunImport({old, fresh});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("[3/10] tblQor1: 6 rows read, 6 rows written")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("[8/10] tblNote: 1 rows read, 1 rows written")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("[10/10] files: 4 book folders with 24 containers, PDFont1.ttf, tmpwav.wav copied"))
        << run.out.toStdString();
    EXPECT_EQ(FileHashes(old), before);

    ExpectSameRows(fresh + "/qor.db");
    EXPECT_EQ(Entries(fresh), QStringList({"PDFont1.ttf", "qor.db", "qor1", "qor2", "qor3", "qor4", "tmpwav.wav"}));
    EXPECT_EQ(Entries(fresh + "/qor2"), QStringList({"1.qor", "2.qor", "5.qow", "6.qow", "7.qow", "8.qow"}));
    QFile copied(fresh + "/qor2/7.qow");
    QFile original(old + "/Qor2/7.qow");
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), original.readAll());
    EXPECT_EQ(Entries(dir.path()), QStringList({"Data", "Old"}));  // no staging folder left
}

TEST_F(OldFolder, ImportIntoTheOldFolderAddsTheDatabaseBesideTheOldFiles)
{
    const QMap<QString, QByteArray> before = FileHashes(old);
    const ToolRun run = RunImport({old, old});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("[10/10] files: the containers stay where they are")) << run.out.toStdString();
    QMap<QString, QByteArray> after = FileHashes(old);
    ASSERT_TRUE(after.remove("qor.db"));
    EXPECT_EQ(after, before);
    ExpectSameRows(old + "/qor.db");
    EXPECT_EQ(Entries(dir.path()), QStringList({"Old"}));

    // Again: refused without --replace; with it, the first database is kept aside.
    const ToolRun again = RunImport({old, old});
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_TRUE(again.err.contains("already holds qor.db; give --replace")) << again.err.toStdString();
    const ToolRun replaced = RunImport({"--replace", old, old});
    ASSERT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    const QStringList kept = QDir(old).entryList({"qor.db.replaced-*"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(replaced.out.contains("; the replaced qor.db is kept as " + old + "/" + kept[0] + "\n"))
        << replaced.out.toStdString();
    ExpectSameRows(old + "/qor.db");
}

TEST_F(OldFolder, ReplacingKeepsTheReplacedFolderUnderADatedName)
{
    ASSERT_EQ(RunImport({old, fresh}).exitCode, 0);
    QFile mark(fresh + "/learner.txt");
    ASSERT_TRUE(mark.open(QIODevice::WriteOnly));
    mark.close();
    const ToolRun run = RunImport({"--replace", old, fresh});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList kept = QDir(dir.path()).entryList({"Data.replaced-*"}, QDir::Dirs);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(run.out.contains("; the replaced folder is kept as " + dir.path() + "/" + kept[0] + "\n"))
        << run.out.toStdString();
    EXPECT_TRUE(QFile::exists(dir.path() + "/" + kept[0] + "/learner.txt"));
    EXPECT_FALSE(QFile::exists(fresh + "/learner.txt"));
    ExpectSameRows(fresh + "/qor.db");
}

TEST_F(OldFolder, BadFoldersAndDamagedDatabasesAreRefusedWithoutWriting)
{
    const QString other = dir.path() + "/Other";
    ASSERT_TRUE(QDir().mkpath(other + "/sub"));
    const QString empty = dir.path() + "/Empty";
    ASSERT_TRUE(QDir().mkpath(empty));
    const struct {
        QStringList args;
        int exitCode;
        const char* message;
    } cases[] = {
        {{old}, 2, "import needs OLD_DATA_DIR and NEW_DATA_DIR"},
        {{dir.path() + "/Missing", fresh}, 2, "is not a folder"},
        {{empty, fresh}, 2, "holds no Access database (qor.mdb)"},
        {{old, other}, 2, "is not empty and holds no qor.db"},
        {{old, old + "/Qor.mdb"}, 2, "exists and is not a folder"},
        {{"--bogus", old, fresh}, 2, "import: unknown option --bogus"},
    };
    for (const auto& c : cases) {
        const ToolRun run = RunImport(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.message;
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message))) << run.err.toStdString();
    }

    QFile mdb(old + "/Qor.mdb");
    ASSERT_TRUE(mdb.open(QIODevice::ReadWrite));
    mdb.resize(4096 * 2);  // the catalogue's page is gone
    mdb.close();
    const ToolRun damaged = RunImport({old, fresh});
    EXPECT_EQ(damaged.exitCode, 1);
    // Our message alone: the Access library's own diagnostics stay out of it.
    EXPECT_TRUE(damaged.err.startsWith("veltra-course: " + old + "/Qor.mdb: ")) << damaged.err.toStdString();
    EXPECT_TRUE(damaged.err.endsWith("the database is damaged\n")) << damaged.err.toStdString();
    EXPECT_EQ(damaged.err.count('\n'), 1) << damaged.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(fresh));
    EXPECT_EQ(Entries(dir.path()), QStringList({"Empty", "Old", "Other"}));
}

// Databases that once crashed the reader inside libmdb, as patch lists (see
// DamagedAccess.h): each must be refused as damaged, with nothing written.
TEST_F(OldFolder, DatabasesThatCrashedTheReaderAreRefusedAsDamaged)
{
    const struct {
        const char* patches;  // base64
        const char* message;
    } cases[] = {
        {"ZzgwEQE=", "its list of data pages is missing"},  // a definition's usage map points at no row
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.patches);
        QFile mdb(old + "/Qor.mdb");
        ASSERT_TRUE(mdb.open(QIODevice::WriteOnly | QIODevice::Truncate));
        mdb.write(DamagedAccessFile(QByteArray::fromBase64(c.patches)));
        mdb.close();
        const QMap<QString, QByteArray> before = FileHashes(old);
        const ToolRun run = RunImport({old, fresh});
        EXPECT_EQ(run.exitCode, 1);
        const QString last = run.err.trimmed().section(QLatin1Char('\n'), -1);
        EXPECT_TRUE(last.contains(QLatin1String(c.message)) && last.contains(QLatin1String("the database is damaged")))
            << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(fresh));
        EXPECT_EQ(Entries(dir.path()), QStringList({"Old"}));
        EXPECT_EQ(FileHashes(old), before);
    }
}

TEST_F(OldFolder, StagingFoldersOfKilledRunsAreRemovedButNotThoseInUse)
{
    // Beside a new folder, and inside the old one when the import goes there.
    const struct {
        QString target;
        QString home;
        QString prefix;
    } cases[] = {
        {fresh, dir.path(), ".Data.building-"},
        {old, old, ".building-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix.toStdString());
        const QString abandoned = c.home + "/" + c.prefix + "abc123";
        const QString inUse = c.home + "/" + c.prefix + "def456";
        ASSERT_TRUE(QDir().mkpath(abandoned + "/qor1") && QDir().mkpath(inUse));
        const int lock = ::open(QFile::encodeName(inUse).constData(), O_RDONLY | O_DIRECTORY);
        ASSERT_GE(lock, 0);
        ASSERT_EQ(flock(lock, LOCK_EX), 0);
        const ToolRun run = RunImport({old, c.target});
        ::close(lock);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QStringList left = QDir(c.home).entryList({c.prefix + "*"}, QDir::Dirs | QDir::Hidden);
        EXPECT_EQ(left, QStringList({c.prefix + "def456"}));
        ASSERT_TRUE(QDir(inUse).removeRecursively());
    }
}

// The program's offer imports a folder into itself. That needs nothing
// outside the folder: not its parent, which may be read-only, nor its file
// system, of which the folder may be the root (a USB stick, a partition).
TEST_F(OldFolder, ImportIntoTheOldFolderNeedsNothingOutsideIt)
{
    if (MountShell().isEmpty())
        GTEST_SKIP() << "mount namespaces are not allowed here";
    const struct {
        const char* name;
        const char* mounts;  // $2 the old folder, $3 its parent; each proves its point
    } cases[] = {
        {"root of its own file system", R"(mount --bind "$2" "$2" && mountpoint -q "$2")"},
        {"read-only parent", R"(mount --bind "$2" "$2" && mount --rbind "$3" "$3" && mount -o remount,bind,ro "$3" )"
                             R"(&& ! mkdir "$3/probe" 2>/dev/null && mkdir "$2/probe" && rmdir "$2/probe")"},
    };
    const QMap<QString, QByteArray> before = FileHashes(old);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const NamespaceRun run = RunInMountNamespace(QStringLiteral("%1 && exec \"$1\" import \"$2\" \"$2\"").arg(c.mounts),
                                                     {VELTRA_COURSE_EXE, old, dir.path()});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        ExpectSameRows(old + "/qor.db");
        QMap<QString, QByteArray> after = FileHashes(old);
        ASSERT_TRUE(after.remove("qor.db"));
        EXPECT_EQ(after, before);
        EXPECT_EQ(Entries(old).filter(QLatin1String(".building")), QStringList());
        EXPECT_EQ(Entries(dir.path()), QStringList({"Old"}));
        ASSERT_TRUE(QFile::remove(old + "/qor.db"));
    }
}

// A full disk is the new folder's, not the old database's; a failed copy
// names the file, the folder the user gave and the system's reason.
TEST_F(OldFolder, WriteFailuresNameTheNewFolderAndTheReason)
{
    if (MountShell().isEmpty())
        GTEST_SKIP() << "mount namespaces are not allowed here";
    // Recordings that do not compress: the database fits into 1 MB, they do not.
    QByteArray audio(256 << 10, '\0');
    QRandomGenerator(5).fillRange(reinterpret_cast<quint32*>(audio.data()), audio.size() / 4);
    QString error;
    ASSERT_TRUE(WriteAccessDataFolder(old, tables, audio, "word wav", "font", error)) << error.toStdString();
    const QString disk = dir.path() + "/Disk";
    ASSERT_TRUE(QDir().mkpath(disk));
    const QString target = disk + "/Data";
    const struct {
        const char* size;
        QString message;
    } cases[] = {
        {"64k", "veltra-course: cannot write the new database: the disk holding " + QRegularExpression::escape(target) +
                    " is full\n"},
        {"1m", "veltra-course: cannot copy " + QRegularExpression::escape(old) + "/(?i:qor\\d/\\w+\\.qo[rw]) to " +
                   QRegularExpression::escape(target) + "/qor\\d: No space left on device\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        const NamespaceRun run = RunInMountNamespace(
            R"(mount -t tmpfs -o size=$4 none "$3" && LC_ALL=C exec "$1" import "$2" "$3/Data")",
            {VELTRA_COURSE_EXE, old, disk, c.size});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(QRegularExpression("^" + c.message + "$").match(run.err).hasMatch()) << run.err.toStdString();
    }
    EXPECT_EQ(Entries(disk), QStringList());
}

// SIGTERM, SIGINT and SIGHUP stop the import where it is; what it had
// written goes with it.
TEST_F(OldFolder, ASignalStopsTheImportAndRemovesWhatItWrote)
{
    // Big enough that the import is still at work when the signal comes.
    QString error;
    ASSERT_TRUE(WriteAccessDataFolder(old, AccessCourseTables({69, 20, 15, 1500}), "lesson mp3", "word wav", "font", error))
        << error.toStdString();
    const QMap<QString, QByteArray> before = FileHashes(old);
    const struct {
        QString target;
        QString home;  // where its staging folder is made
        int signal;
    } cases[] = {
        {fresh, dir.path(), SIGTERM},
        {old, old, SIGINT},
        {old, old, SIGHUP},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.signal);
        QProcess tool;
        tool.start(VELTRA_COURSE_EXE, {"import", old, c.target});
        ASSERT_TRUE(tool.waitForReadyRead(120000));  // the first table is done
        ASSERT_EQ(::kill(pid_t(tool.processId()), SIGSTOP), 0);
        const auto staging = [&] {
            return QDir(c.home).entryList({".*building-*"}, QDir::Dirs | QDir::Hidden);
        };
        EXPECT_EQ(staging().size(), 1);  // caught at work
        ASSERT_EQ(::kill(pid_t(tool.processId()), c.signal), 0);
        ASSERT_EQ(::kill(pid_t(tool.processId()), SIGCONT), 0);
        ASSERT_TRUE(tool.waitForFinished(120000));
        // The stop's status, after cleaning up.
        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tool.exitCode(), 128 + c.signal);
        EXPECT_EQ(QString::fromUtf8(tool.readAllStandardError()), "veltra-course: stopped; nothing was written\n");
        EXPECT_EQ(staging(), QStringList());
        EXPECT_EQ(Entries(dir.path()), QStringList({"Old"}));
        EXPECT_EQ(FileHashes(old), before);
    }
}

// Runs the import as a user whom file permissions bind: root gives up its
// right to override them.
ToolRun RunImportBoundByPermissions(const QStringList& args)
{
    // The system's reasons in English.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C");
    if (geteuid() != 0)
        return RunCourseTool(QStringList{"import"} + args, env);
    QProcess p;
    p.setProcessEnvironment(env);
    const QString caps = QStringLiteral("-dac_override,-dac_read_search");
    p.start("setpriv", QStringList{"--inh-caps=" + caps, "--bounding-set=" + caps, VELTRA_COURSE_EXE, "import"} + args);
    EXPECT_TRUE(p.waitForFinished(120000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError()), {}};
}

TEST_F(OldFolder, FoldersThatCannotBeWrittenAreRefused)
{
    if (geteuid() == 0 && QStandardPaths::findExecutable("setpriv").isEmpty())
        GTEST_SKIP() << "no setpriv to run the import without root's rights over permissions";
    const QMap<QString, QByteArray> before = FileHashes(old);
    ASSERT_TRUE(QDir().mkpath(fresh));
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    const QFileDevice::Permissions writable = readOnly | QFileDevice::WriteOwner;
    for (const QString& target : {fresh, old}) {
        SCOPED_TRACE(target.toStdString());
        ASSERT_TRUE(QFile::setPermissions(target, readOnly));
        const ToolRun run = RunImportBoundByPermissions({old, target});
        EXPECT_EQ(QFileInfo(target).permissions() & ~QFileDevice::Permissions(0x0fff), readOnly);  // not swapped out
        ASSERT_TRUE(QFile::setPermissions(target, writable));
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err, "veltra-course: " + target + " cannot be written: Permission denied\nTry 'veltra-course --help'.\n");
    }
    EXPECT_EQ(Entries(fresh), QStringList());
    EXPECT_EQ(Entries(dir.path()), QStringList({"Data", "Old"}));
    EXPECT_EQ(FileHashes(old), before);
}

// The program shows the tool's lines in its Chinese dialogs.
TEST_F(OldFolder, ChineseLinesForTheProgram)
{
    const ToolRun run = RunImport({"--chinese", old, old});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("[3/10] 第一册课文：读出 6 行，写入 6 行\n")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("[10/10] 录音文件留在原处\n")) << run.out.toStdString();
    const ToolRun again = RunImport({"--chinese", old, old});
    EXPECT_EQ(again.err, QStringLiteral("veltra-course: %1 中已经有词库 qor.db；要替换它请加上 --replace（原来的会保留）\n"
                                        "Try 'veltra-course --help'.\n").arg(old));
}

} // namespace