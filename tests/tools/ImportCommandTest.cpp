#include "support/AccessCourse.h"
#include "support/CourseToolRun.h"
#include "support/DamagedAccess.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
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
    EXPECT_EQ(QDir(old).entryList({"qor.db.replaced-*"}).size(), 1);
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
    EXPECT_TRUE(damaged.err.contains("damaged")) << damaged.err.toStdString();
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
    const QString abandoned = dir.path() + "/.Data.building-abc123";
    const QString inUse = dir.path() + "/.Data.building-def456";
    ASSERT_TRUE(QDir().mkpath(abandoned + "/qor1") && QDir().mkpath(inUse));
    const int lock = ::open(QFile::encodeName(inUse).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    const ToolRun run = RunImport({old, fresh});
    ::close(lock);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(Entries(dir.path()), QStringList({".Data.building-def456", "Data", "Old"}));
}

} // namespace
