// Start-up helpers: program paths, the data folder and the sample course of
// a first start, the database and help look-ups, the single-instance lock and
// the phonetic font.
#include "app/AppFonts.h"
#include "app/DataFolder.h"
#include "app/ProgramIcon.h"
#include "app/ProgramPaths.h"
#include "app/QtMessages.h"
#include "app/SingleInstance.h"
#include "support/RecordingMessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
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

    // The data folder: --data first, then the portable layout when it holds
    // a database (an old qor.mdb counts: the start-up offers its import),
    // then the user's own folder.
    void dataFolderFirstMatchWins_data()
    {
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("portableFile");  // file put into AppDir/Data/, or none
        QTest::addColumn<QString>("chosen");         // "requested", "portable" or "user"
        QTest::newRow("--data wins over the portable layout") << "given" << "qor.db" << "requested";
        QTest::newRow("portable database") << "" << "QOR.DB" << "portable";
        QTest::newRow("portable old database to import") << "" << "Qor.mdb" << "portable";
        QTest::newRow("portable folder without a database") << "" << "PDFont1.ttf" << "user";
        QTest::newRow("no portable folder") << "" << "" << "user";
    }
    void dataFolderFirstMatchWins()
    {
        QFETCH(QString, requested);
        QFETCH(QString, portableFile);
        QFETCH(QString, chosen);
        QTemporaryDir dir;
        const QString appDir = dir.path() + QStringLiteral("/bin/");
        const QString user = dir.path() + QStringLiteral("/user/Data");
        if (!requested.isEmpty())
            requested = dir.path() + QStringLiteral("/given");
        if (!portableFile.isEmpty()) {
            QVERIFY(QDir().mkpath(appDir + QStringLiteral("Data")));
            touch(appDir + QStringLiteral("Data/") + portableFile);
        }
        const QString expected = chosen == QStringLiteral("requested") ? requested + u'/'
            : chosen == QStringLiteral("portable")                    ? appDir + QStringLiteral("Data/")
                                                                       : user + u'/';
        QCOMPARE(ChooseDataDir(requested, appDir, user), expected);
    }

    // The first start copies the sample course once; the copy is the
    // learner's from then on, writable even when the install is not.
    void sampleCourseIsCopiedOnceAndWritable()
    {
        QTemporaryDir dir;
        const QString sample = dir.path() + QStringLiteral("/share/sample/Data/");
        QVERIFY(QDir().mkpath(sample + QStringLiteral("qor1")));
        touch(sample + QStringLiteral("qor.db"), "sample database");
        touch(sample + QStringLiteral("qor1/1.qor"), "lesson");
        for (const QString& file : {QStringLiteral("qor.db"), QStringLiteral("qor1/1.qor")})
            QVERIFY(QFile::setPermissions(sample + file, QFileDevice::ReadOwner | QFileDevice::ReadOther));
        const QString user = dir.path() + QStringLiteral("/home/veltra/Data/");
        RecordingMessages messages;
        ScopedMessages installed(&messages);

        QVERIFY(ProvideSampleCourse(user, sample, QStringLiteral("/opt/bin/veltra-course")));
        QCOMPARE(messages.entries.size(), std::size_t(1));
        QCOMPARE(messages.entries[0].kind, RecordingMessages::Kind::Info);
        QVERIFY(messages.entries[0].text.contains(QDir::cleanPath(user)));
        QVERIFY(messages.entries[0].text.contains(QStringLiteral("/opt/bin/veltra-course import")));
        QFile lesson(user + QStringLiteral("qor1/1.qor"));
        QVERIFY(lesson.open(QIODevice::ReadOnly));
        QCOMPARE(lesson.readAll(), QByteArray("lesson"));
        QFile database(user + QStringLiteral("qor.db"));
        QVERIFY(database.open(QIODevice::WriteOnly | QIODevice::Truncate));  // the copy must be writable
        database.write("the learner's");
        database.close();
        QVERIFY(!QFile::exists(user + QStringLiteral("qor.db.part")));

        QVERIFY(ProvideSampleCourse(user, sample, QStringLiteral("veltra-course")));
        QCOMPARE(messages.entries.size(), std::size_t(1));  // said once
        QVERIFY(database.open(QIODevice::ReadOnly));
        QCOMPARE(database.readAll(), QByteArray("the learner's"));
    }

    // The first start's box suggests a command with the learner's folder in
    // it. A box breaks a line over about 500 pixels, even inside a path; a
    // line that fits on the screen stays whole.
    void boxKeepsALineWholeWhereItFits()
    {
        QtMessages messages;
        ScopedMessages installed(&messages);
        QString command = QStringLiteral("veltra-course import --replace 旧数据文件夹 /home/learner");
        const QFontMetrics metrics(QApplication::font());
        while (metrics.horizontalAdvance(command) < 560)
            command += QStringLiteral("/.local");
        QVERIFY(metrics.horizontalAdvance(command) < QGuiApplication::primaryScreen()->availableGeometry().width() / 2 + 300);
        int shown = 0;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            QVERIFY(QTest::qWaitForWindowExposed(box));
            for (const QLabel* label : box->findChildren<QLabel*>())
                if (label->text().contains(QStringLiteral("import")))
                    shown = label->width();
            box->accept();
        });
        ShowInfo(QStringLiteral("旧版的数据文件夹可以这样转换后放进来：\n") + command);
        QVERIFY2(shown >= metrics.horizontalAdvance(command),
                 qPrintable(QStringLiteral("%1 < %2").arg(shown).arg(metrics.horizontalAdvance(command))));
    }

    void sampleCourseIsLeftAloneWhenNotNeeded()
    {
        QTemporaryDir dir;
        const QString user = dir.path() + QStringLiteral("/user/");
        RecordingMessages messages;
        ScopedMessages installed(&messages);
        // No sample installed: nothing happens; the start-up then says the
        // database is missing.
        QVERIFY(ProvideSampleCourse(user, dir.path() + QStringLiteral("/none/"), QString()));
        QVERIFY(!QFileInfo::exists(user));
        // An old database in the user's folder is for the import offer.
        const QString sample = dir.path() + QStringLiteral("/sample/");
        QVERIFY(QDir().mkpath(sample));
        touch(sample + QStringLiteral("qor.db"));
        QVERIFY(QDir().mkpath(user));
        touch(user + QStringLiteral("qor.mdb"));
        QVERIFY(ProvideSampleCourse(user, sample, QString()));
        QVERIFY(!QFileInfo::exists(user + QStringLiteral("qor.db")));
        QVERIFY(messages.entries.empty());
    }

    void failedSampleCopyLeavesNoDatabase()
    {
        QTemporaryDir dir;
        const QString sample = dir.path() + QStringLiteral("/sample/");
        QVERIFY(QDir().mkpath(sample + QStringLiteral("qor1")));
        touch(sample + QStringLiteral("qor.db"));
        touch(sample + QStringLiteral("qor1/1.qor"));
        const QString user = dir.path() + QStringLiteral("/user/");
        QVERIFY(QDir().mkpath(user));
        touch(user + QStringLiteral("qor1"));  // a file where the book's folder must go
        RecordingMessages messages;
        ScopedMessages installed(&messages);
        QVERIFY(!ProvideSampleCourse(user, sample, QString()));
        QCOMPARE(messages.entries.size(), std::size_t(1));
        QCOMPARE(messages.entries[0].kind, RecordingMessages::Kind::Error);
        QVERIFY(!QFileInfo::exists(user + QStringLiteral("qor.db")));
    }

    void installedGuideIsFoundFromTheProgramFolder()
    {
        QTemporaryDir dir;
        const QString appDir = dir.path() + QStringLiteral("/bin/");
        QVERIFY(QDir().mkpath(appDir));
        QCOMPARE(InstalledShareOf(appDir), dir.path() + QStringLiteral("/share/veltra/"));
        const QString guide = dir.path() + QStringLiteral("/share/veltra/help/index.html");
        QVERIFY(QDir().mkpath(QFileInfo(guide).absolutePath()));
        touch(guide);
        QCOMPARE(HelpFileOf(appDir), guide);
        QVERIFY(QDir().mkpath(appDir + QStringLiteral("help")));
        touch(appDir + QStringLiteral("help/index.html"));  // the build folder's guide wins
        QCOMPARE(HelpFileOf(appDir), appDir + QStringLiteral("help/index.html"));
    }

    // The window icon: the build folder's PNGs, else the installed ones.
    void windowIconIsFoundBesideOrUnderThePrefix()
    {
        QTemporaryDir dir;
        const QString appDir = dir.path() + QStringLiteral("/bin/");
        QVERIFY(QDir().mkpath(appDir));
        QVERIFY(ProgramIconOf(appDir).isNull());
        const auto png = [](const QString& hicolor, int size) {
            const QString folder = QStringLiteral("%1/%2x%2/apps/").arg(hicolor).arg(size);
            QImage image(size, size, QImage::Format_ARGB32);
            image.fill(Qt::darkGreen);
            return QDir().mkpath(folder) && image.save(folder + QStringLiteral("io.github.veltra.Veltra.png"));
        };
        QVERIFY(png(dir.path() + QStringLiteral("/share/icons/hicolor"), 16));
        QVERIFY(png(dir.path() + QStringLiteral("/share/icons/hicolor"), 48));
        QCOMPARE(ProgramIconOf(appDir).availableSizes(), (QList<QSize>{{16, 16}, {48, 48}}));
        QVERIFY(png(appDir + QStringLiteral("icons/hicolor"), 256));
        QCOMPARE(ProgramIconOf(appDir).availableSizes(), QList<QSize>{QSize(256, 256)});
    }

    void commandLineNamesTheDataFolder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<CommandLine>("outcome");
        QTest::addColumn<QString>("dataDir");
        const auto run = CommandLine::Run;
        const auto refused = CommandLine::Refused;
        QTest::newRow("none") << QStringList{} << run << QString();
        QTest::newRow("--data DIR") << QStringList{"--data", "/srv/course"} << run << "/srv/course";
        QTest::newRow("--data=DIR") << QStringList{"--data=/srv/course"} << run << "/srv/course";
        QTest::newRow("--help") << QStringList{"--help"} << CommandLine::Answered << QString();
        QTest::newRow("--version") << QStringList{"--version"} << CommandLine::Answered << QString();
        QTest::newRow("-h beside --data") << QStringList{"--data", "/srv", "-h"} << CommandLine::Answered << QString();
        QTest::newRow("--data without DIR") << QStringList{"--data"} << refused << QString();
        QTest::newRow("unknown option") << QStringList{"--date", "/srv"} << refused << QString();
        QTest::newRow("stray argument") << QStringList{"/srv/course"} << refused << QString();
    }
    void commandLineNamesTheDataFolder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(CommandLine, outcome);
        QFETCH(QString, dataDir);
        RecordingMessages messages;
        ScopedMessages installed(&messages);
        QString read;
        QCOMPARE(ReadCommandLine(QStringList{QStringLiteral("veltra")} + arguments, read), outcome);
        QCOMPARE(read, dataDir);
        QCOMPARE(AnswersWithoutWindows(QStringList{QStringLiteral("veltra")} + arguments),
                 outcome == CommandLine::Answered);
        // Help goes to standard output, not into a box.
        const bool refused = outcome == CommandLine::Refused;
        QCOMPARE(messages.entries.size(), std::size_t(refused ? 1 : 0));
        if (refused)
            QVERIFY(messages.entries[0].text.contains(QStringLiteral("--data")));
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

    // The Windows faces the windows name show in the closest installed faces:
    // 宋体 in a Song (serif) face, not a sans-serif one.
    void namedFacesShowInTheirClosestInstalledFaces()
    {
        InstallFontSubstitutions();
        const struct {
            const char* named;
            const char* shown;
        } faces[] = {{"宋体", "Noto Serif CJK SC"}, {"隶书", "Noto Serif CJK SC"}, {"Arial", "DejaVu Sans"},
                     {"MS Sans Serif", "DejaVu Sans"}};
        for (const auto& face : faces) {
            const QString shown = QString::fromUtf8(face.shown);
            if (!QFontDatabase::families().contains(shown))
                QSKIP("the set-up script's fonts are not installed");
            QFont font(QString::fromUtf8(face.named));
            font.setPixelSize(12);
            QCOMPARE(QFontInfo(font).family(), shown);
        }
        QCOMPARE(QFontInfo(SongTiFont(12)).family(), QStringLiteral("Noto Serif CJK SC"));
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
