// Start-up helpers: program paths, the database and help look-ups, the
// single-instance lock and the phonetic font.
#include "app/AppFonts.h"
#include "app/ProgramPaths.h"
#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

void touch(const QString& path, const QByteArray& content = "x")
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void programFolderEndsInOneSlash_data()
    {
        QTest::addColumn<QString>("programFile");
        QTest::addColumn<QString>("appDir");
        QTest::newRow("nested") << "/opt/veltra/veltra" << "/opt/veltra/";
        QTest::newRow("root") << "/veltra" << "/";
        QTest::newRow("doubled separators") << "/opt//veltra//veltra" << "/opt/veltra/";
    }
    void programFolderEndsInOneSlash()
    {
        QFETCH(QString, programFile);
        QFETCH(QString, appDir);
        QCOMPARE(AppDirOf(programFile), appDir);
        QCOMPARE(DataDirOf(appDir), appDir + QStringLiteral("Data/"));
        QCOMPARE(DataDirOf(appDir.chopped(appDir.size() > 1 ? 1 : 0)), appDir + QStringLiteral("Data/"));
    }

    void databaseIsFoundWhateverItsCase()
    {
        QTemporaryDir dir;
        const QString data = dir.path() + QStringLiteral("/Data/");
        QVERIFY(FindDatabaseFile(data).isEmpty());  // no folder at all
        QVERIFY(QDir().mkpath(data + QStringLiteral("qor.db")));
        QVERIFY(FindDatabaseFile(data).isEmpty());  // a folder of that name is no database
        QVERIFY(QDir(data).rmdir(QStringLiteral("qor.db")));
        touch(data + QStringLiteral("QOR.DB"));
        QCOMPARE(FindDatabaseFile(data), data + QStringLiteral("QOR.DB"));
    }

    void helpPrefersTheCompiledHelpFile()
    {
        QTemporaryDir dir;
        const QString appDir = dir.path() + u'/';
        QCOMPARE(HelpFileOf(appDir), appDir + QStringLiteral("help/index.html"));
        touch(appDir + QStringLiteral("QORHELP.CHM"));
        QCOMPARE(HelpFileOf(appDir), appDir + QStringLiteral("QORHELP.CHM"));
    }

    void oneInstanceHoldsTheLock()
    {
        QTemporaryDir runtime;
        auto first = std::make_unique<SingleInstanceLock>(runtime.path());
        QVERIFY(first->TryAcquire());
        SingleInstanceLock second(runtime.path());
        QVERIFY(!second.TryAcquire());
        first.reset();  // the first instance ends
        QVERIFY(second.TryAcquire());
    }

    void lockOfACrashedInstanceIsTakenOver()
    {
        QTemporaryDir runtime;
        // A lock file left by a process that no longer exists.
        QProcess gone;
        gone.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("echo $$")});
        QVERIFY(gone.waitForFinished());
        const QByteArray content =
            gone.readAllStandardOutput().trimmed() + "\nveltra\n" + QSysInfo::machineHostName().toUtf8() + "\n";
        touch(runtime.path() + QStringLiteral("/kznQorMainForm"), content);
        SingleInstanceLock lock(runtime.path());
        QVERIFY(lock.TryAcquire());
    }

    void missingOrBrokenPhoneticFontIsSilent()
    {
        QTemporaryDir dir;
        const QString data = dir.path() + QStringLiteral("/Data/");
        QVERIFY(QDir().mkpath(data));
        QCOMPARE(EnsurePhoneticFont(data), -1);  // no file
        touch(data + QStringLiteral("pdfont1.TTF"), "not a font");
        QCOMPARE(EnsurePhoneticFont(data), -1);
    }

    void phoneticFontIsLoadedFromTheDataFolder()
    {
        const QString installed = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
        if (!QFile::exists(installed))
            QSKIP("no TrueType file to stand in for the phonetic font");
        QTemporaryDir dir;
        const QString data = dir.path() + QStringLiteral("/Data/");
        QVERIFY(QDir().mkpath(data));
        QVERIFY(QFile::copy(installed, data + QStringLiteral("PDFONT1.ttf")));
        // The stand-in's face is not named PDFont1, so the file is loaded.
        const int id = EnsurePhoneticFont(data);
        QVERIFY(id >= 0);
        QVERIFY(QFontDatabase::removeApplicationFont(id));
    }
};

QTEST_MAIN(StartupTest)

#include "StartupTest.moc"
