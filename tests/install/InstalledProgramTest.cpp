// The installed program as a process: the first start of a learner copies the
// sample course into the user's data folder and a second start keeps using
// that copy; --data and the portable layout win over the user's folder; both
// executables tell their version. Each start has its own runtime folder
// (single-instance lock), the XDG_DATA_HOME the case needs, the offscreen
// platform and the dummy audio driver.
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kStartTimeoutMs = 60000;  // a sanitizer build starts slowly
const QString kPrefix = QStringLiteral(VELTRA_TEST_PREFIX);
const QString kMissingDatabase = QStringLiteral("错误: 词库文件未找到，请重新安装本软件！\n");

class Run {
public:
    Run(const QString& program, const QStringList& args, const QString& dataHome)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        env.insert(QStringLiteral("TMPDIR"), m_temp.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        process.setProcessEnvironment(env);
        process.start(program, args);
    }

    // True once the main window has opened a lesson: its recording has been
    // unpacked into the temporary folder.
    bool OpenedALesson()
    {
        const QDeadlineTimer deadline(kStartTimeoutMs);
        while (process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
            QDirIterator it(m_temp.path(), {QStringLiteral("*.mp3")}, QDir::Files, QDirIterator::Subdirectories);
            if (it.hasNext())
                return true;
            process.waitForFinished(100);
        }
        return false;
    }

    // Ends the program as the session does at logout: the window closes as
    // if the learner had closed it.
    bool Close()
    {
        process.terminate();
        return process.waitForFinished(kStartTimeoutMs) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }

    QString Errors() { return QString::fromUtf8(process.readAllStandardError()); }

    QProcess process;

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_temp;
};

QString installedProgram() { return kPrefix + QStringLiteral("/bin/veltra"); }

// Reads or writes one option row of the database at `path`.
class Options {
public:
    explicit Options(const QString& path)
        : m_name(QStringLiteral("options-%1").arg(reinterpret_cast<quintptr>(this)))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.open();
    }
    ~Options() { QSqlDatabase::removeDatabase(m_name); }

    QString Read(const QString& option)
    {
        QSqlQuery query(QSqlDatabase::database(m_name));
        query.prepare(QStringLiteral("Select FValue From tblOptions Where FOption = ?"));
        query.addBindValue(option);
        return query.exec() && query.next() ? query.value(0).toString() : QString();
    }
    bool Write(const QString& option, const QString& value)
    {
        QSqlQuery query(QSqlDatabase::database(m_name));
        query.prepare(QStringLiteral("Update tblOptions Set FValue = ? Where FOption = ?"));
        query.addBindValue(value);
        query.addBindValue(option);
        return query.exec() && query.numRowsAffected() == 1;
    }

private:
    QString m_name;
};

} // namespace

class InstalledProgramTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QFileInfo(installedProgram()).isExecutable())
            QSKIP("the program is not installed into the test prefix");
    }

    void firstStartCopiesTheSampleAndTheSecondKeepsIt()
    {
        QTemporaryDir dataHome;
        const QString userData = dataHome.path() + QStringLiteral("/veltra/Data");
        {
            Run first(installedProgram(), {}, dataHome.path());
            QVERIFY(first.OpenedALesson());
            QVERIFY(first.Close());
            const QString said = first.Errors();
            QVERIFY2(said.startsWith(QStringLiteral("提示: ")) && said.contains(userData)
                         && said.contains(kPrefix + QStringLiteral("/bin/veltra-course import")),
                     qPrintable(said));
        }
        QVERIFY(QFileInfo(userData + QStringLiteral("/qor1")).isDir());
        {
            // The first run wrote its options into the copy; the learner moves on.
            Options options(userData + QStringLiteral("/qor.db"));
            QCOMPARE(options.Read(QStringLiteral("Book")), QStringLiteral("1"));
            QVERIFY(options.Write(QStringLiteral("Lesson"), QStringLiteral("3")));
        }
        Run second(installedProgram(), {}, dataHome.path());
        QVERIFY(second.OpenedALesson());
        QVERIFY(second.Close());
        QCOMPARE(second.Errors(), QString());  // nothing copied, nothing said
        Options options(userData + QStringLiteral("/qor.db"));
        QCOMPARE(options.Read(QStringLiteral("Lesson")), QStringLiteral("3"));
    }

    // Both installed executables tell the build's version and end, also in
    // a terminal without a screen.
    void bothProgramsTellTheVersion()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        for (const QString& name : {QStringLiteral("veltra"), QStringLiteral("veltra-course")}) {
            QProcess run;
            run.setProcessEnvironment(env);
            run.start(kPrefix + QStringLiteral("/bin/") + name, {QStringLiteral("--version")});
            QVERIFY(run.waitForFinished(kStartTimeoutMs));
            QCOMPARE(run.exitStatus(), QProcess::NormalExit);
            QCOMPARE(run.exitCode(), 0);
            QCOMPARE(QString::fromUtf8(run.readAllStandardOutput()), name + QStringLiteral(" " VELTRA_VERSION "\n"));
        }
    }

    // Both end at the database check of the folder they chose, before any
    // window, and leave the user's folder untouched.
    void dataOptionAndPortableLayoutWinOverTheUserFolder()
    {
        QTemporaryDir dataHome;
        QTemporaryDir elsewhere;
        {
            Run run(installedProgram(), {QStringLiteral("--data"), elsewhere.path()}, dataHome.path());
            QVERIFY(run.process.waitForFinished(kStartTimeoutMs));
            QCOMPARE(run.process.exitCode(), 1);
            QCOMPARE(run.Errors(), kMissingDatabase);
        }
        {
            // A portable copy of the installed program: bin/veltra beside
            // bin/Data, with the installed share folder still in reach.
            const QString bin = elsewhere.path() + QStringLiteral("/bin/");
            QVERIFY(QDir().mkpath(bin + QStringLiteral("Data")));
            QVERIFY(QFile::link(kPrefix + QStringLiteral("/share"), elsewhere.path() + QStringLiteral("/share")));
            QVERIFY(QFile::copy(installedProgram(), bin + QStringLiteral("veltra")));
            QFile database(bin + QStringLiteral("Data/qor.db"));
            QVERIFY(database.open(QIODevice::WriteOnly));
            database.write("garbage, not SQLite");
            database.close();
            Run run(bin + QStringLiteral("veltra"), {}, dataHome.path());
            QVERIFY(run.process.waitForFinished(kStartTimeoutMs));
            QCOMPARE(run.process.exitCode(), 1);
            QVERIFY2(run.Errors().startsWith(QStringLiteral("错误: 连接数据库错误")), "the portable database was not used");
        }
        QVERIFY(QDir(dataHome.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(InstalledProgramTest)

#include "InstalledProgramTest.moc"
