// The one way the program runs the course tool: its lines read into the
// program's Chinese, its ends told apart (a stop is a cancel, not a
// failure), and a runner that goes away while the tool runs leaves no
// process behind.
#include "app/AuthorLesson.h"
#include "app/CourseToolRun.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <memory>

namespace {

// A shell script standing in for the course tool; it writes its process id
// to "pid" beside itself before its body runs.
class ScriptTool {
public:
    explicit ScriptTool(const QByteArray& body) : m_path(m_dir.filePath(QStringLiteral("veltra-course")))
    {
        QFile script(m_path);
        if (!script.open(QIODevice::WriteOnly))
            return;
        script.write("#!/bin/sh\necho $$ > \"$(dirname \"$0\")/pid\"\n" + body);
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    const QString& Path() const { return m_path; }
    bool Exists(const char* name) const { return QFile::exists(m_dir.filePath(QString::fromLatin1(name))); }
    pid_t Pid() const
    {
        QFile file(m_dir.filePath(QStringLiteral("pid")));
        return file.open(QIODevice::ReadOnly) ? pid_t(file.readAll().trimmed().toInt()) : 0;
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

bool ProcessGone(pid_t pid)
{
    return ::kill(pid, 0) == -1 && errno == ESRCH;
}

} // namespace

class CourseToolRunTest : public QObject {
    Q_OBJECT

private slots:
    void progressLinesInTheProgramsWords_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("progress");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("authorText");  // the add-lesson dialog's words
        QTest::addColumn<QString>("ownText");     // a run without words of its own: the tool's
        QTest::newRow("a known key") << "[5/100] aligning the text" << true << 5 << 100 << "aligning the text" << ""
                                     << "正在查找每一句在录音中的位置" << "aligning the text";
        QTest::newRow("an unknown key") << "[3/8] cutting the words" << true << 3 << 8 << "cutting the words" << ""
                                        << "正在制作课文" << "cutting the words";
        QTest::newRow("with a detail") << "[3/10] tblQor1: 6 rows read, 6 rows written" << true << 3 << 10
                                       << "tblQor1" << "6 rows read, 6 rows written" << "正在制作课文"
                                       << "tblQor1: 6 rows read, 6 rows written";
        QTest::newRow("the tool's Chinese") << "[10/10] 录音文件留在原处" << true << 10 << 10 << "录音文件留在原处"
                                            << "" << "正在制作课文" << "录音文件留在原处";
        for (const char* other : {"[0/0] nothing", "[6/5] beyond the end", "[1/2]", "[1/2]  ", "1/2 aligning",
                                  "1\t0\t1200\t0.93\t?", "added book 2 lesson 4: 3 sentences, 1 uncertain"})
            QTest::newRow(other) << other << false << 0 << 0 << "" << "" << "" << "";
    }
    void progressLinesInTheProgramsWords()
    {
        QFETCH(QString, line);
        QFETCH(bool, progress);
        const std::optional<ToolProgress> parsed = ParseToolProgress(line);
        QCOMPARE(parsed.has_value(), progress);
        if (!parsed)
            return;
        QTEST(parsed->step, "step");
        QTEST(parsed->steps, "steps");
        QTEST(parsed->key, "key");
        QTEST(parsed->detail, "detail");
        QTEST(AuthorTexts().StepText(*parsed), "authorText");
        QTEST(CourseToolTexts().StepText(*parsed), "ownText");
    }

    void failuresInTheProgramsWordsWithTheToolsReasonBeneath_data()
    {
        QTest::addColumn<QByteArray>("err");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("message");
        QTest::newRow("a known key") << QByteArray("veltra-course: [recording] a.mp3 holds no sound\n") << "recording"
                                     << "a.mp3 holds no sound"
                                     << "无法读取这份录音，课程没有改动。请换一个 MP3、WAV、FLAC 或 Ogg 录音。\n"
                                        "课程工具的说明：a.mp3 holds no sound";
        QTest::newRow("an unknown key") << QByteArray("veltra-course: [subtitles] none found\n") << "subtitles"
                                        << "none found"
                                        << "无法用这份录音和课文制作新课，课程没有改动。\n课程工具的说明：none found";
        QTest::newRow("no key") << QByteArray("veltra-course: the text does not match\n") << "" << "the text does not match"
                                << "无法用这份录音和课文制作新课，课程没有改动。\n课程工具的说明：the text does not match";
        QTest::newRow("the tool's last message, not the lines around it")
            << QByteArray("a library's warning\nveltra-course: [alignment] no words heard\nQSqlDatabase: still in use\n")
            << "alignment" << "no words heard"
            << "无法在录音中找到课文的句子，课程没有改动。请检查录音和课文是否一致。\n课程工具的说明：no words heard";
        QTest::newRow("not a key") << QByteArray("veltra-course: [Book 2] is full\n") << "" << "[Book 2] is full"
                                   << "无法用这份录音和课文制作新课，课程没有改动。\n课程工具的说明：[Book 2] is full";
        QTest::newRow("no message of the tool") << QByteArray("something broke\nterminate called\n") << ""
                                                << "terminate called"
                                                << "无法用这份录音和课文制作新课，课程没有改动。\n课程工具的说明：terminate called";
        QTest::newRow("nothing said") << QByteArray() << "" << "" << "无法用这份录音和课文制作新课，课程没有改动。";
    }
    void failuresInTheProgramsWordsWithTheToolsReasonBeneath()
    {
        QFETCH(QByteArray, err);
        const ToolFailure failure = ParseToolFailure(err);
        QTEST(failure.key, "key");
        QTEST(failure.reason, "reason");
        QTEST(AuthorTexts().FailureText(ToolEnd::Failed, failure, QStringLiteral("/opt/veltra-course")), "message");
    }

    void endsOfARun_data()
    {
        QTest::addColumn<bool>("crashed");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("cancelled");  // we asked it to stop
        QTest::addColumn<ToolEnd>("end");
        QTest::addColumn<QString>("message");
        const QString failed = QStringLiteral("无法用这份录音和课文制作新课，课程没有改动。");
        const QString crashed = QStringLiteral("课程工具意外退出，没有添加课文，课程没有改动。");
        QTest::newRow("success") << false << 0 << false << ToolEnd::Done << "";
        QTest::newRow("success after a cancel came too late") << false << 0 << true << ToolEnd::Done << "";
        QTest::newRow("a failure") << false << 1 << false << ToolEnd::Failed << failed;
        QTest::newRow("refused arguments") << false << 2 << false << ToolEnd::Refused
                                           << "课程工具不接受这些参数，没有添加课文，课程没有改动。";
        QTest::newRow("stopped by SIGTERM") << false << 128 + SIGTERM << false << ToolEnd::Cancelled << "";
        QTest::newRow("stopped by SIGINT") << false << 128 + SIGINT << false << ToolEnd::Cancelled << "";
        QTest::newRow("stopped by SIGHUP") << false << 128 + SIGHUP << false << ToolEnd::Cancelled << "";
        QTest::newRow("a status that is no stop") << false << 128 + SIGKILL << false << ToolEnd::Failed << failed;
        QTest::newRow("a crash") << true << SIGSEGV << false << ToolEnd::Crashed << crashed;
        QTest::newRow("killed after a cancel") << true << SIGKILL << true << ToolEnd::Cancelled << "";
        QTest::newRow("failed after a cancel") << false << 1 << true << ToolEnd::Cancelled << "";
    }
    void endsOfARun()
    {
        QFETCH(bool, crashed);
        QFETCH(int, exitCode);
        QFETCH(bool, cancelled);
        const ToolEnd end = EndOfRun(crashed, exitCode, cancelled);
        QTEST(end, "end");
        QTEST(AuthorTexts().FailureText(end, {}, QString()), "message");
    }

    // Lines as they come, a last one without its end of line included, and
    // a stop the tool was asked for elsewhere is no failure.
    void aRunFromItsLinesToItsEnd()
    {
        const ScriptTool tool("printf '[1/4] reading the recording\\nfirst\\n[2/4'; sleep 0.1\n"
                              "printf '] aligning the text\\nlast'; exit 143\n");
        CourseToolRun run(tool.Path(), AuthorTexts(), 5000);
        QSignalSpy progress(&run, &CourseToolRun::Progress);
        QSignalSpy lines(&run, &CourseToolRun::OutputLine);
        QSignalSpy finished(&run, &CourseToolRun::Finished);
        run.Start({QStringLiteral("author")});
        QVERIFY(run.Running());
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.size(), 1);
        QVERIFY(!run.Running());
        QCOMPARE(progress.size(), 2);
        QCOMPARE(progress[1], (QVariantList{2, 4, QStringLiteral("正在查找每一句在录音中的位置")}));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0][0].toString(), QStringLiteral("first"));
        QCOMPARE(lines[1][0].toString(), QStringLiteral("last"));
        QCOMPARE(run.End(), ToolEnd::Cancelled);
        QCOMPARE(run.FailureText(), QString());
    }

    void aToolThatCannotStartEndsTheRunToo()
    {
        CourseToolRun run(QStringLiteral("/no/such/veltra-course"), AuthorTexts(), 5000);
        QSignalSpy finished(&run, &CourseToolRun::Finished);
        run.Start({QStringLiteral("author")});
        QVERIFY(finished.wait(10000));
        QCOMPARE(run.End(), ToolEnd::NotStarted);
        QCOMPARE(run.FailureText(), QStringLiteral("找不到课程工具“/no/such/veltra-course”，无法添加课文。请重新安装本软件。"));
    }

    // One that does not answer SIGTERM is killed when the grace is over.
    void cancelEndsEvenAToolThatDoesNotAnswer()
    {
        const ScriptTool tool("trap '' TERM\necho '[1/2] aligning the text'\nwhile :; do sleep 0.05; done\n");
        CourseToolRun run(tool.Path(), AuthorTexts(), 200);
        QSignalSpy progress(&run, &CourseToolRun::Progress);
        QSignalSpy finished(&run, &CourseToolRun::Finished);
        run.Start({QStringLiteral("author")});
        QVERIFY(progress.wait(10000));
        run.Cancel();
        QVERIFY(finished.wait(10000));
        QCOMPARE(run.End(), ToolEnd::Cancelled);
        QVERIFY(ProcessGone(tool.Pid()));
    }

    // Going away while the tool runs: a tool that answers SIGTERM gets its
    // moment to clean up, one that does not is killed; neither outlives it.
    void destroyingTheRunnerLeavesNoTool_data()
    {
        QTest::addColumn<QByteArray>("onTerm");
        QTest::addColumn<bool>("cleansUp");
        QTest::newRow("answers SIGTERM") << QByteArray("trap 'touch \"$(dirname \"$0\")/cleaned\"; exit 143' TERM\n")
                                         << true;
        QTest::newRow("ignores SIGTERM") << QByteArray("trap '' TERM\n") << false;
    }
    void destroyingTheRunnerLeavesNoTool()
    {
        QFETCH(QByteArray, onTerm);
        QFETCH(bool, cleansUp);
        const ScriptTool tool(onTerm + "echo '[1/2] aligning the text'\nwhile :; do sleep 0.05; done\n");
        auto run = std::make_unique<CourseToolRun>(tool.Path(), AuthorTexts(), 60000);
        QSignalSpy progress(run.get(), &CourseToolRun::Progress);
        run->Start({QStringLiteral("author")});
        QVERIFY(progress.wait(10000));
        const pid_t pid = tool.Pid();
        QVERIFY(pid > 0 && !ProcessGone(pid));
        run.reset();
        QVERIFY(ProcessGone(pid));
        QCOMPARE(tool.Exists("cleaned"), cleansUp);
    }
};

QTEST_GUILESS_MAIN(CourseToolRunTest)
#include "CourseToolRunTest.moc"
