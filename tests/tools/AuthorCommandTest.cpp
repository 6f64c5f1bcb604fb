// "veltra-course author" as a learner runs it: a recording and its text
// become the next lesson of a book, and nothing of a run that fails or is
// stopped stays in the data folder.
#include "CourseFixture.h"
#include "app/AuthorLesson.h"
#include "audio/WavFile.h"
#include "RecordingFile.h"
#include "speech/SpeechDecoder.h"
#include "speech/SpeechSamples.h"
#include "support/CourseToolRun.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QMap>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>

namespace {

const QString kText = QStringLiteral("The shop on the corner opens at nine.\nMy sister buys bread there every morning.\n"
                                     "Yesterday it was closed, so she went home.\n");

class AuthorCommand : public testing::Test {
protected:
    void SetUp() override
    {
        course.write(QStringLiteral("book1/lesson01.yaml"), kLessonOne);
        const ToolRun built = RunCourseTool({QStringLiteral("build"), course.path(), dataDir});
        ASSERT_EQ(built.exitCode, 0) << built.err.toStdString();
        text = course.write(QStringLiteral("text.txt"), kText.toUtf8());
        // espeak-ng pauses at each full stop, as a reader does.
        audio = QDir(course.root()).filePath(QStringLiteral("reading.wav"));
        QProcess espeak;
        espeak.start(QStringLiteral("espeak-ng"), {QStringLiteral("-v"), QStringLiteral("en-gb"), QStringLiteral("-s"),
                                                   QStringLiteral("150"), QStringLiteral("-w"), audio, kText});
        ASSERT_TRUE(espeak.waitForFinished(60000));
        ASSERT_EQ(espeak.exitCode(), 0);
    }

    ToolRun author(const QStringList& more) const
    {
        return RunCourseTool(QStringList{QStringLiteral("author"), dataDir} + more);
    }

    // Every file of the data folder with a digest of its bytes.
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(dataDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            file.open(QIODevice::ReadOnly);
            files.insert(QDir(dataDir).relativeFilePath(file.fileName()),
                         QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1));
        }
        return files;
    }

    CourseFixture course;
    QString dataDir = QDir(course.root()).filePath(QStringLiteral("Data"));
    QString text;
    QString audio;
};

// A lesson the program opens: the sentences with the times printed, the
// translations, the new word with its dictionary phonetics.
TEST_F(AuthorCommand, AddsTheNextLessonWithItsSentenceTimes)
{
    const QString chinese = course.write(QStringLiteral("zh.txt"), "\xEF\xBB\xBF街角的商店九点开门。\r\n我姐姐每天早上在那里买面包。\r\n"
                                                                   "昨天它关门了，所以她回家了。\r\n");
    const QString words = course.write(QStringLiteral("words.yaml"), "- en: \"bread\"\n  zh: \"n. 面包\"\n");
    const ToolRun run = author({QStringLiteral("--book"), QStringLiteral("1"), QStringLiteral("--audio"), audio,
                                QStringLiteral("--text"), text, QStringLiteral("--chinese"), chinese,
                                QStringLiteral("--words"), words});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("[100/100] done\n")));
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("added book 1 lesson 2: 3 sentences, 0 uncertain\n"))) << run.out.toStdString();
    const QRegularExpression line(QStringLiteral("^(\\d)\\t(\\d+)\\t(\\d+)\\t(0\\.\\d\\d|1\\.00)$"),
                                  QRegularExpression::MultilineOption);
    QStringList printed;
    for (auto it = line.globalMatch(run.out); it.hasNext();) {
        const auto m = it.next();
        printed << m.captured(2) + QLatin1Char('\t') + m.captured(3);
    }
    ASSERT_EQ(printed.size(), 3) << run.out.toStdString();
    // The program reads it all: each step in words of its own, then the lesson.
    AuthorReport report;
    int steps = 0;
    for (const QString& printedLine : run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (const std::optional<ToolProgress> progress = ParseToolProgress(printedLine)) {
            ++steps;
            EXPECT_TRUE(AuthorTexts().steps.contains(progress->key)) << printedLine.toStdString();
        } else {
            report.Read(printedLine);
        }
    }
    EXPECT_GE(steps, 5);
    ASSERT_TRUE(report.Added());
    EXPECT_EQ(report.Added()->lesson, 2);
    EXPECT_EQ(report.Added()->sentences, 3);

    const ToolRun shown = RunCourseTool({QStringLiteral("show"), dataDir, QStringLiteral("--book"), QStringLiteral("1"),
                                         QStringLiteral("--lesson"), QStringLiteral("2")});
    ASSERT_EQ(shown.exitCode, 0) << shown.err.toStdString();
    EXPECT_TRUE(shown.out.startsWith(QStringLiteral("title\t第一册 - The shop on the corner opens at nine."))) << shown.out.toStdString();
    const QStringList english = kText.trimmed().split(QLatin1Char('\n'));
    const QStringList zh = {QStringLiteral("街角的商店九点开门。"), QStringLiteral("我姐姐每天早上在那里买面包。"),
                            QStringLiteral("昨天它关门了，所以她回家了。")};
    for (int s = 0; s < 3; ++s)
        EXPECT_TRUE(shown.out.contains(QStringLiteral("\t%1\t%2\t%3\n").arg(printed[s], english[s], zh[s])))
            << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains(QRegularExpression(QStringLiteral("\nword\t\\d+\tbread\tn\\. 面包\tbr[ɛe]d\t"))))
        << shown.out.toStdString();
}

// Refusals name what is wrong, and leave the data folder as it was.
TEST_F(AuthorCommand, RefusesBadInputAndWritesNothing)
{
    const QMap<QString, QByteArray> before = snapshot();
    const QString notAudio = course.write(QStringLiteral("notes.mp3"), "these are not sounds");
    const QString empty = course.write(QStringLiteral("empty.txt"), "\xEF\xBB\xBF \r\n\r\n");
    const QString twoLines = course.write(QStringLiteral("two.txt"), "一。\n二。\n");
    const QString b = QStringLiteral("--book"), a = QStringLiteral("--audio"), t = QStringLiteral("--text");
    QProcessEnvironment noModel = QProcessEnvironment::systemEnvironment();
    noModel.insert(QStringLiteral("VELTRA_SPEECH_MODEL"), QStringLiteral("/nonexistent/model"));
    const struct {
        QStringList args;
        int exitCode;
        const char* message;
        QString kind = {};  // the key the program's message is chosen by
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    } cases[] = {
        {{b, QStringLiteral("1"), a, notAudio, t, text}, 1, "notes.mp3", QStringLiteral("recording")},
        {{b, QStringLiteral("1"), a, audio, t, empty}, 1, "holds no text"},
        {{b, QStringLiteral("1"), a, audio, t, text, QStringLiteral("--chinese"), twoLines}, 1,
         "the text has 3 sentences but the translation has 2 lines"},
        {{b, QStringLiteral("1"), a, audio, t, text, QStringLiteral("--lesson"), QStringLiteral("1")}, 1, "lesson 1",
         QStringLiteral("course")},
        {{b, QStringLiteral("1"), a, audio, t, text}, 1, "/nonexistent/model", QStringLiteral("speech-model"), noModel},
        {{b, QStringLiteral("5"), a, audio, t, text}, 2, "--book must be 1, 2, 3 or 4"},
        {{a, audio, t, text}, 2, "author needs DATA_DIR, --book, --audio and --text"},
        {{b, QStringLiteral("1"), a, audio, t, text, QStringLiteral("--speed"), QStringLiteral("2")}, 2,
         "unknown option --speed"},
    };
    for (const auto& c : cases) {
        const ToolRun run = RunCourseTool(QStringList{QStringLiteral("author"), dataDir} + c.args, c.env);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.message;
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message))) << c.message << ": " << run.err.toStdString();
        const ToolFailure failure = ParseToolFailure(run.err.toUtf8());
        EXPECT_EQ(failure.key, c.kind) << run.err.toStdString();
        EXPECT_TRUE(c.kind.isEmpty() || AuthorTexts().failures.contains(c.kind)) << c.message;
    }
    EXPECT_EQ(snapshot(), before);
}

// Stopped in the middle of the alignment, the run leaves nothing; the next
// one adds the lesson as if the first had never been.
TEST_F(AuthorCommand, StoppedRunLeavesNothingBehind)
{
    const QMap<QString, QByteArray> before = snapshot();
    QProcess p;
    p.start(QStringLiteral(VELTRA_COURSE_EXE), {QStringLiteral("author"), dataDir, QStringLiteral("--book"),
                                                QStringLiteral("1"), QStringLiteral("--audio"), audio,
                                                QStringLiteral("--text"), text});
    QByteArray out;
    while (!out.contains("aligning") && p.waitForReadyRead(60000))
        out += p.readAllStandardOutput();
    ASSERT_TRUE(out.contains("aligning")) << out.toStdString();
    ::kill(pid_t(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 128 + SIGTERM);
    EXPECT_TRUE(p.readAllStandardError().contains("stopped; nothing was added"));
    EXPECT_EQ(snapshot(), before);

    const ToolRun again = author({QStringLiteral("--book"), QStringLiteral("1"), QStringLiteral("--audio"), audio,
                                  QStringLiteral("--text"), text});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.contains(QStringLiteral("added book 1 lesson 2:")));
}

// Two runs at once never take the same lesson number.
TEST_F(AuthorCommand, RunsAtOnceTakeTheirOwnNumbers)
{
    QProcess first;
    QProcess second;
    const QStringList args = {QStringLiteral("author"), dataDir,       QStringLiteral("--book"), QStringLiteral("3"),
                              QStringLiteral("--audio"), audio,        QStringLiteral("--text"), text};
    first.start(QStringLiteral(VELTRA_COURSE_EXE), args);
    second.start(QStringLiteral(VELTRA_COURSE_EXE), args);
    ASSERT_TRUE(first.waitForFinished(120000));
    ASSERT_TRUE(second.waitForFinished(120000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    const QString both = QString::fromUtf8(first.readAllStandardOutput() + second.readAllStandardOutput());
    EXPECT_TRUE(both.contains(QStringLiteral("added book 3 lesson 1:"))) << both.toStdString();
    EXPECT_TRUE(both.contains(QStringLiteral("added book 3 lesson 2:"))) << both.toStdString();
}

// A learner's MP3 is stored as it is; other formats become an MP3 of the
// same length.
TEST_F(AuthorCommand, RecordingIsKeptOrEncoded)
{
    QString error;
    const auto fromWav = LessonMp3FromFile(audio, error);
    ASSERT_TRUE(fromWav) << error.toStdString();
    EXPECT_TRUE(fromWav->startsWith("ID3") || (uchar(fromWav->at(0)) == 0xFF && (uchar(fromWav->at(1)) & 0xE0) == 0xE0));
    const QString mp3 = QDir(course.root()).filePath(QStringLiteral("reading.mp3"));
    QFile out(mp3);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(*fromWav);
    out.close();
    const auto wav = DecodeWavFile(audio);
    const auto heard = SpeechSamplesOfMp3(*fromWav);
    ASSERT_TRUE(wav && heard);
    EXPECT_NEAR(double(heard->size()) / kSpeechRate, double(wav->Frames()) / wav->sampleRate, 0.01);
    const auto kept = LessonMp3FromFile(mp3, error);
    ASSERT_TRUE(kept);
    EXPECT_EQ(*kept, *fromWav);
    EXPECT_FALSE(LessonMp3FromFile(QDir(course.root()).filePath(QStringLiteral("missing.wav")), error));
    EXPECT_TRUE(error.contains(QStringLiteral("missing.wav"))) << error.toStdString();
}

} // namespace
