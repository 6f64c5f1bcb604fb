// "veltra-course check": a take and its sentence give one line per word; a
// take that cannot be read or holds nothing said, and a bad command line,
// are refused with their own exit codes.
#include "speech/SpeechDecoder.h"
#include "support/CourseToolRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CheckCommand : public testing::Test {
protected:
    void SetUp() override
    {
        if (!SpeechDecoder::ModelInstalled())
            GTEST_SKIP() << "the speech model is not installed";
        ASSERT_TRUE(dir.isValid());
    }

    QString spoken(const QString& name, const QString& text) const
    {
        const QString path = dir.filePath(name);
        QProcess espeak;
        espeak.start(QStringLiteral("espeak-ng"), {QStringLiteral("-v"), QStringLiteral("en-us+f3"),
                                                   QStringLiteral("-w"), path, text});
        EXPECT_TRUE(espeak.waitForFinished(60000));
        return path;
    }

    QString written(const QString& name, const QByteArray& bytes) const
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QTemporaryDir dir;
};

TEST_F(CheckCommand, PrintsEveryWordWithItsTimesScoreAndResult)
{
    const QString take = spoken(QStringLiteral("take.wav"), QStringLiteral("Is your classroom in this building?"));
    const ToolRun run = RunCourseTool({QStringLiteral("check"), take, QStringLiteral("--text"),
                                       QStringLiteral("Is your classroom in that new building?")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7) << run.out.toStdString();
    int lastEnd = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList f = lines[i].split(QLatin1Char('\t'));
        ASSERT_EQ(f.size(), 5) << lines[i].toStdString();
        const bool left = f[4] == QStringLiteral("漏读");
        EXPECT_TRUE(QStringList({QStringLiteral("清楚"), QStringLiteral("不太清楚"), QStringLiteral("不清楚")}).contains(f[4]) || left);
        if (!left) {
            EXPECT_GE(f[1].toInt(), lastEnd) << lines[i].toStdString();
            EXPECT_GT(f[2].toInt(), f[1].toInt());
            lastEnd = f[2].toInt();
        }
    }
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Is\t")));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("\t清楚"))) << lines[2].toStdString();
    // "new" was never said.
    EXPECT_TRUE(lines[5].endsWith(QStringLiteral("\t漏读"))) << lines[5].toStdString();
}

TEST_F(CheckCommand, RefusesWhatCannotBeChecked)
{
    const QString take = spoken(QStringLiteral("take.wav"), QStringLiteral("Good morning."));
    {
        // Two seconds of 16-bit silence.
        QProcess sox;
        sox.start(QStringLiteral("sox"), {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("16000"),
                                          QStringLiteral("-b"), QStringLiteral("16"), dir.filePath(QStringLiteral("silence.wav")),
                                          QStringLiteral("trim"), QStringLiteral("0"), QStringLiteral("2")});
        ASSERT_TRUE(sox.waitForFinished(30000));
        ASSERT_EQ(sox.exitCode(), 0);
    }
    const QString notAudio = written(QStringLiteral("notes.wav"), "These are my notes, not a recording.\n");
    const QString text = QStringLiteral("Good morning.");
    struct Refusal {
        QStringList args;
        int exitCode;
        const char* said;
    };
    const std::vector<Refusal> refusals = {
        {{dir.filePath(QStringLiteral("silence.wav")), QStringLiteral("--text"), text}, 1, "no speech"},
        {{notAudio, QStringLiteral("--text"), text}, 1, "not a recording"},
        {{dir.filePath(QStringLiteral("missing.wav")), QStringLiteral("--text"), text}, 1, "not a recording"},
        {{take, QStringLiteral("--text"), QStringLiteral("  ")}, 2, "no words"},
        {{take, QStringLiteral("--text"), QStringLiteral("?!")}, 2, "no words"},
        {{take}, 2, "--text"},
        {{take, QStringLiteral("--text")}, 2, "--text"},
        {{QStringLiteral("--text"), text}, 2, "one take"},
        {{take, take, QStringLiteral("--text"), text}, 2, "one take"},
    };
    for (const Refusal& r : refusals) {
        const ToolRun run = RunCourseTool(QStringList{QStringLiteral("check")} + r.args);
        EXPECT_EQ(run.exitCode, r.exitCode) << r.args.join(' ').toStdString() << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(r.said))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    }
}

} // namespace
