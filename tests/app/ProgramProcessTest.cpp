// The built program as a process: what a start without data and a second
// start do. The program runs from a copy in a temporary folder, so that its
// own folder decides where it looks for Data/, with its own runtime folder
// for the single-instance lock and its own temporary folder.
#include "support/CourseFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

constexpr int kStartTimeoutMs = 60000;  // a sanitizer build starts slowly

class ProgramCopy {
public:
    // Copies the program into `appDir` and gives it a runtime folder of its own.
    explicit ProgramCopy(const QString& appDir)
        : m_program(appDir + QStringLiteral("veltra"))
    {
        QFile::copy(QStringLiteral(VELTRA_PROGRAM), m_program);
        QFile::setPermissions(m_program, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    bool Ready() const { return QFileInfo(m_program).isExecutable() && m_runtime.isValid() && m_temp.isValid(); }
    QString LockFile() const { return m_runtime.path() + QStringLiteral("/kznQorMainForm"); }
    // The program's own folder inside its temporary folder.
    QString TempFolder() const { return m_temp.path() + QStringLiteral("/veltra-%1").arg(getuid()); }
    QStringList TempFiles() const { return QDir(TempFolder()).entryList(QDir::Files | QDir::Hidden); }
    // The lesson recording, once unpacked (its name is reserved a moment before).
    bool HasLessonMp3() const
    {
        const QStringList files = TempFiles();
        return files.size() == 1 && files[0].endsWith(QStringLiteral(".mp3"));
    }

    enum class Screen { Offscreen, None };

    // Without a screen, nothing tells Qt where windows would go: no platform, no display.
    void Start(QProcess& process, const QStringList& arguments = {}, Screen screen = Screen::Offscreen) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (screen == Screen::None)
            for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        env.insert(QStringLiteral("TMPDIR"), m_temp.path());
        process.setProcessEnvironment(env);
        process.start(m_program, arguments);
    }

private:
    QString m_program;
    QTemporaryDir m_runtime;
    QTemporaryDir m_temp;
};

} // namespace

class ProgramProcessTest : public QObject {
    Q_OBJECT

private slots:
    // What the start says when it cannot go on names what is wrong, once,
    // and no window is shown. Without a screen the messages go to standard
    // error, which shows exactly what was reported.
    void startThatCannotGoOnSaysWhyOnce_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");  // written under Data/ when not empty
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("beforeLock");  // it ends before the lock is taken
        QTest::addColumn<QString>("message");
        QTest::newRow("no database") << QStringList{} << QString() << QByteArray() << true
                                     << QStringLiteral("错误: 词库文件未找到，请重新安装本软件！\n");
        QTest::newRow("not a database")
            << QStringList{} << QStringLiteral("Qor.DB") << QByteArray("garbage, not SQLite") << false
            << QStringLiteral("错误: 连接数据库错误，或者数据库已损坏\n请重新安装本软件！(001)\n");
        QTest::newRow("--data folder not there")
            << QStringList{"--data", "/nonexistent/Data"} << QString() << QByteArray() << true
            << QStringLiteral("错误: 数据文件夹不存在：/nonexistent/Data\n");
        // The default messages answer No to the offer.
        QTest::newRow("import declined")
            << QStringList{} << QStringLiteral("Qor.mdb") << QByteArray("an old database") << true
            << QStringLiteral("确认: 发现旧版词库 qor.mdb，是否转换后使用？（原文件不会被修改）\n"
                              "提示: 没有转换旧版词库，qor.mdb 保持原样。\n本软件要用转换后的词库才能启动；下次启动时会再问一次。\n");
    }
    void startThatCannotGoOnSaysWhyOnce()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(bool, beforeLock);
        QFETCH(QString, message);
        QTemporaryDir appDir;
        if (!file.isEmpty()) {
            QVERIFY(QDir(appDir.path()).mkpath(QStringLiteral("Data")));
            QFile written(appDir.path() + QStringLiteral("/Data/") + file);
            QVERIFY(written.open(QIODevice::WriteOnly));
            written.write(content);
        }
        ProgramCopy program(appDir.path() + u'/');
        QVERIFY(program.Ready());
        QProcess process;
        program.Start(process, arguments);
        QVERIFY(process.waitForFinished(kStartTimeoutMs));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()), message);
        if (beforeLock)
            QVERIFY(!QFileInfo::exists(program.LockFile()));
    }

    // Help and a wrong option need no window system: answered on the
    // terminal where there is no display at all.
    void commandLineIsAnsweredWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QString usage = QStringLiteral("用法：veltra [--data 数据文件夹] [--version]");
        QTest::newRow("--help") << QStringList{"--help"} << 0
                                << usage + QStringLiteral("\n  --data 数据文件夹  使用这个数据文件夹，不按默认顺序查找\n"
                                                         "  --version         显示版本号\n")
                                << QString();
        QTest::newRow("--bogus") << QStringList{"--bogus"} << 1 << QString()
                                 << QStringLiteral("错误: 命令行有误：未知选项“bogus”。\n%1\n").arg(usage);
    }
    void commandLineIsAnsweredWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir appDir;
        ProgramCopy program(appDir.path() + u'/');
        QVERIFY(program.Ready());
        QProcess process;
        program.Start(process, arguments, ProgramCopy::Screen::None);
        QVERIFY(process.waitForFinished(kStartTimeoutMs));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()), out);
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()), err);
    }

    void secondStartEndsSilentlyWhileTheFirstRuns()
    {
        CourseFixture course;
        ProgramCopy program(course.AppDir());
        QVERIFY(program.Ready());
        // A crashed run's lesson recording is deleted by the next start.
        QVERIFY(QDir().mkpath(program.TempFolder()));
        QFile leftover(program.TempFolder() + QStringLiteral("/tmpCRASH1.tmp.mp3"));
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();
        QProcess first;
        program.Start(first);
        QVERIFY(first.waitForStarted(kStartTimeoutMs));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(program.LockFile()), kStartTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(program.HasLessonMp3() && !leftover.exists(), kStartTimeoutMs);
        const QStringList running = program.TempFiles();

        QProcess second;
        program.Start(second);
        QVERIFY(second.waitForFinished(kStartTimeoutMs));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAllStandardError(), QByteArray());

        QCOMPARE(first.state(), QProcess::Running);
        // The second start kept its hands off the running one's files.
        QCOMPARE(program.TempFiles(), running);
        first.kill();
        QVERIFY(first.waitForFinished(kStartTimeoutMs));
    }

    // Logout, `kill` and Ctrl+C end the program the way closing its window
    // does: the lesson to reopen stored, temporary files and lock gone.
    void sessionSignalsCloseTheWindow_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void sessionSignalsCloseTheWindow()
    {
        QFETCH(int, signalNumber);
        CourseFixture course;
        QVERIFY(course.Option(QStringLiteral("Book")).isEmpty());
        ProgramCopy program(course.AppDir());
        QVERIFY(program.Ready());
        QProcess process;
        program.Start(process);
        QVERIFY(process.waitForStarted(kStartTimeoutMs));
        // The lesson recording is unpacked once the window is being made.
        QTRY_VERIFY_WITH_TIMEOUT(program.HasLessonMp3(), kStartTimeoutMs);
        QVERIFY(QFileInfo::exists(program.LockFile()));

        QCOMPARE(::kill(pid_t(process.processId()), signalNumber), 0);
        QVERIFY(process.waitForFinished(kStartTimeoutMs));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(course.Option(QStringLiteral("Book")), QStringLiteral("1"));
        QCOMPARE(course.Option(QStringLiteral("Lesson")), QStringLiteral("1"));
        QCOMPARE(program.TempFiles(), QStringList());
        QVERIFY(!QFileInfo::exists(program.LockFile()));
    }
};

QTEST_GUILESS_MAIN(ProgramProcessTest)

#include "ProgramProcessTest.moc"
