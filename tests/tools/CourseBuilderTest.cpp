#include "CourseBuilder.h"
#include "CourseFixture.h"
#include "DecodeMp3.h"

#include "audio/Container.h"
#include "data/Cipher.h"
#include "data/DMUnit.h"
#include "data/TextCodec.h"
#include "support/RecordingMessages.h"

#include <QCoreApplication>

#include <QDirIterator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <QVariant>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <map>

namespace {

QString Decipher(const QVariant& stored)
{
    return Gb18030ToText(CipherText(stored.toString().toLatin1(), QByteArray(kFieldKey), kDecodeMode));
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Rows of one query on a data folder's qor.db, each row its values in order.
std::vector<QVariantList> Rows(const QString& dataDir, const QString& statement)
{
    std::vector<QVariantList> rows;
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QDir(dataDir).filePath(QStringLiteral("qor.db")));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(statement)) {
                while (query.next()) {
                    QVariantList row;
                    for (int i = 0; i < query.record().count(); ++i)
                        row << query.value(i);
                    rows.push_back(row);
                }
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

bool Exec(const QString& dataDir, const QString& statement)
{
    bool done = false;
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QDir(dataDir).filePath(QStringLiteral("qor.db")));
        done = db.open() && QSqlQuery(db).exec(statement);
    }
    QSqlDatabase::removeDatabase(name);
    return done;
}

// Every file under `dir` by relative path, with its bytes.
std::map<QString, QByteArray> Snapshot(const QString& dir)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(dir).relativeFilePath(path)] = ReadAll(path);
    }
    return files;
}

double Rms(const std::vector<int16_t>& samples, std::size_t from, std::size_t to)
{
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += double(samples[i]) * samples[i];
    return to > from ? std::sqrt(sum / double(to - from)) : 0.0;
}

// Checks one lesson's recording against its sentence rows: every span lies
// inside the decoded recording, spans are in order without overlap, each
// holds speech, and there is no sound outside the spans.
void ExpectSpansMatchRecording(const QString& dataDir, int book, int lesson, const std::vector<QVariantList>& sentences)
{
    SCOPED_TRACE(QStringLiteral("book %1 lesson %2").arg(book).arg(lesson).toStdString());
    const auto mp3 = UnpackContainerFile(QDir(dataDir).filePath(QStringLiteral("qor%1/%2.qor").arg(book).arg(lesson)));
    ASSERT_TRUE(mp3);
    const auto decoded = DecodeMp3(*mp3);
    ASSERT_TRUE(decoded);
    ASSERT_GT(decoded->frames(), 0u);
    // Mixed down to one channel at the decoded rate.
    std::vector<int16_t> mono(decoded->frames());
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] = decoded->samples[i * static_cast<std::size_t>(decoded->channels)];
    const auto sampleAt = [&](qint64 ms) { return static_cast<std::size_t>(ms * decoded->rate / 1000); };
    const double durationMs = double(decoded->frames()) * 1000.0 / double(decoded->rate);

    // A few milliseconds next to each span are left out: the codec smears a little.
    constexpr qint64 kSmearMs = 10;
    qint64 previousEnd = 0;
    for (const QVariantList& row : sentences) {
        const qint64 begin = row[0].toLongLong();
        const qint64 end = row[1].toLongLong();
        EXPECT_LT(previousEnd, begin);
        EXPECT_LT(begin, end);
        EXPECT_LE(double(end), durationMs);
        EXPECT_GT(Rms(mono, sampleAt(begin), sampleAt(end)), 300.0) << "no speech in " << begin << ".." << end;
        EXPECT_LT(Rms(mono, sampleAt(previousEnd + kSmearMs), sampleAt(begin - kSmearMs)), 30.0)
            << "sound before the span " << begin << ".." << end;
        previousEnd = end;
    }
    EXPECT_LT(Rms(mono, std::min(sampleAt(previousEnd + kSmearMs), mono.size()), mono.size()), 30.0) << "sound after the last span";
}

class CourseBuilderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        course.write(QStringLiteral("book1/lesson01.yaml"), kLessonOne);
        course.write(QStringLiteral("book1/lesson02.yaml"), QByteArray(kLessonOne).replace("lesson: 1\n", "lesson: 2\n"));
        course.write(QStringLiteral("book2/lesson01.yaml"), kLessonTwo);
        dataDir = QDir(course.root()).filePath(QStringLiteral("out/Data"));
    }

    CourseBuilder::Result build()
    {
        diagnostics = Diagnostics();
        error.clear();
        return CourseBuilder().build(course.path(), dataDir, diagnostics, error);
    }

    CourseFixture course;
    QString dataDir;
    Diagnostics diagnostics;
    QString error;
};

TEST_F(CourseBuilderTest, WritesTheDocumentedTablesAndContainers)
{
    ASSERT_EQ(build(), CourseBuilder::Result::Built) << error.toStdString();

    const auto content = Rows(dataDir, QStringLiteral("SELECT FID, FBook, FLesson, FBeginID, FEndID, FEnglish || FChinese, "
                                                       "FStudyCount, FLastTime FROM tblContent ORDER BY FID"));
    ASSERT_EQ(content.size(), 3u);
    const QVariantList expected[] = {
        {1, 1, 1, 1, 2, QStringLiteral("Lesson 1 What Time Is It? 几点了？"), 1, 39128.0 + 10.0 / 24.0},
        {2, 1, 2, 3, 4, QStringLiteral("Lesson 1 What Time Is It? 几点了？"), 1, 39128.0 + 10.0 / 24.0},
        {3, 2, 1, 1, 1, QStringLiteral("Lesson 1 Rain 雨"), 0, QVariant()},
    };
    for (std::size_t i = 0; i < content.size(); ++i) {
        for (int f = 0; f < 7; ++f)
            EXPECT_EQ(content[i][f].toString(), expected[i][f].toString()) << "row " << i << " field " << f;
        EXPECT_EQ(content[i][7].isNull(), expected[i][7].isNull());
        EXPECT_NEAR(content[i][7].toDouble(), expected[i][7].toDouble(), 1e-9);
    }

    // Sentence FIDs run per book; the translation is stored enciphered and comes back exactly.
    const auto book1 = Rows(dataDir, QStringLiteral("SELECT FID, FEnglish, FChinese FROM tblQor1 ORDER BY FID"));
    ASSERT_EQ(book1.size(), 4u);
    EXPECT_EQ(book1[2][0].toInt(), 3);
    EXPECT_EQ(book1[2][1].toString(), QStringLiteral("It's seven o'clock."));
    EXPECT_NE(book1[2][2].toString(), QStringLiteral("七点了。"));
    EXPECT_EQ(Decipher(book1[2][2]), QStringLiteral("七点了。"));
    EXPECT_EQ(Rows(dataDir, QStringLiteral("SELECT FID FROM tblQor2")).size(), 1u);

    // Word FIDs run across the course; meaning, phonetics and notes are enciphered.
    const auto words = Rows(dataDir, QStringLiteral("SELECT FID, FBook, FLesson, FEnglish, FChinese, FPS, FInfo FROM tblQor ORDER BY FID"));
    ASSERT_EQ(words.size(), 4u);
    EXPECT_EQ(words[3][0].toInt(), 4);
    EXPECT_EQ(words[3][2].toInt(), 2);
    EXPECT_EQ(words[0][3].toString(), QStringLiteral("o'clock"));
    EXPECT_EQ(Decipher(words[0][4]), QStringLiteral("adv. ……点钟"));
    EXPECT_EQ(Decipher(words[0][5]), QStringLiteral("əˈklɒk"));
    EXPECT_EQ(Decipher(words[0][6]), QStringLiteral("整点时间用 o'clock。\n例：at six o'clock"));
    EXPECT_EQ(words[1][6].toString(), QString());  // no note: stored empty, shown empty

    const auto explain = Rows(dataDir, QStringLiteral("SELECT FContentID, FExplain FROM tblExplain ORDER BY FContentID"));
    ASSERT_EQ(explain.size(), 3u);
    EXPECT_EQ(Decipher(explain[2][1]), QStringLiteral("过去时：rain 的过去式是 rained。"));
    EXPECT_TRUE(Rows(dataDir, QStringLiteral("SELECT * FROM tblNote")).empty());
    EXPECT_TRUE(Rows(dataDir, QStringLiteral("SELECT * FROM tblOptions")).empty());

    // Every word container unpacks to a 16-bit mono WAV with sound in it.
    for (int fid = 1; fid <= 4; ++fid) {
        const int book = 1;
        const auto wav = UnpackContainerFile(QDir(dataDir).filePath(QStringLiteral("qor%1/%2.qow").arg(book).arg(fid)));
        ASSERT_TRUE(wav) << fid;
        EXPECT_TRUE(wav->startsWith("RIFF"));
        EXPECT_EQ(wav->mid(20, 4), QByteArray::fromHex("01000100"));  // PCM, mono
        EXPECT_GT(wav->size(), 4000);
    }
    EXPECT_FALSE(QFileInfo::exists(QDir(dataDir).filePath(QStringLiteral("qor2/5.qow"))));

    // The recorder's file is a valid, empty 16-bit mono WAV.
    SF_INFO info{};
    SNDFILE* recorder = sf_open(QFile::encodeName(QDir(dataDir).filePath(QStringLiteral("tmpwav.wav"))).constData(), SFM_READ, &info);
    ASSERT_NE(recorder, nullptr);
    EXPECT_EQ(info.frames, 0);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    sf_close(recorder);

    // Nothing of the build is left beside the data folder.
    EXPECT_EQ(QDir(QFileInfo(dataDir).absolutePath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Data")});
}

TEST_F(CourseBuilderTest, SpansLieOnTheSentencesOfTheDecodedRecording)
{
    ASSERT_EQ(build(), CourseBuilder::Result::Built) << error.toStdString();
    for (const QVariantList& lesson : Rows(dataDir, QStringLiteral("SELECT FBook, FLesson, FBeginID, FEndID FROM tblContent"))) {
        const auto spans = Rows(dataDir, QStringLiteral("SELECT FBeginPos, FEndPos FROM tblQor%1 WHERE FID BETWEEN %2 AND %3 ORDER BY FID")
                                             .arg(lesson[0].toInt()).arg(lesson[2].toInt()).arg(lesson[3].toInt()));
        ExpectSpansMatchRecording(dataDir, lesson[0].toInt(), lesson[1].toInt(), spans);
    }
}

// The program's own data module reads what the builder wrote.
TEST_F(CourseBuilderTest, TheDataModuleOpensEveryLesson)
{
    ASSERT_EQ(build(), CourseBuilder::Result::Built) << error.toStdString();
    int argc = 1;
    char name[] = "course_builder_test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    RecordingMessages messages;
    ScopedMessages installed(&messages);
    TDM dm(dataDir);
    ASSERT_TRUE(dm.IsConnected());
    for (int id = 1; id <= 3; ++id)
        EXPECT_TRUE(dm.OpenLesson(id)) << id;
    ASSERT_TRUE(dm.OpenLessonByNumber(1, 1));
    EXPECT_TRUE(dm.CurTitle.endsWith(QStringLiteral("Lesson 1 What Time Is It? 几点了？"))) << dm.CurTitle.toStdString();
    const auto studied = dm.ShowStudyInfo();
    ASSERT_TRUE(studied);
    EXPECT_EQ(studied->count, QStringLiteral("1"));
    EXPECT_EQ(studied->last, QStringLiteral("2007/02/15"));
    ASSERT_TRUE(dm.OpenLessonByNumber(2, 1));
    const auto unstudied = dm.ShowStudyInfo();
    ASSERT_TRUE(unstudied);
    EXPECT_EQ(unstudied->count, QStringLiteral("0"));
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(CourseBuilderTest, RebuildGivesIdenticalFiles)
{
    ASSERT_EQ(build(), CourseBuilder::Result::Built) << error.toStdString();
    const auto first = Snapshot(dataDir);
    ASSERT_EQ(build(), CourseBuilder::Result::Built) << error.toStdString();  // replaces the earlier build
    const auto second = Snapshot(dataDir);
    ASSERT_EQ(first.size(), second.size());
    for (const auto& [name, bytes] : first) {
        ASSERT_TRUE(second.count(name)) << name.toStdString();
        EXPECT_TRUE(second.at(name) == bytes) << name.toStdString() << " differs";
    }
    EXPECT_TRUE(first.count(QStringLiteral("qor.db")));
    EXPECT_TRUE(first.count(QStringLiteral("qor2/1.qor")));
}

TEST_F(CourseBuilderTest, BadInputLeavesTheDataFolderAlone)
{
    ASSERT_EQ(build(), CourseBuilder::Result::Built) << error.toStdString();
    const auto before = Snapshot(dataDir);

    // A course error: nothing is written, the earlier build stays as it was.
    course.write(QStringLiteral("book2/lesson02.yaml"), kLessonTwo);  // lesson 1 of book 2 again
    EXPECT_EQ(build(), CourseBuilder::Result::BadCourse);
    EXPECT_TRUE(diagnostics.hasErrors());
    EXPECT_TRUE(Snapshot(dataDir) == before);

    // A folder that is not a data folder is never replaced.
    QFile::remove(QDir(course.path()).filePath(QStringLiteral("book2/lesson02.yaml")));
    dataDir = course.root();
    EXPECT_EQ(build(), CourseBuilder::Result::BadTarget);
    EXPECT_TRUE(error.contains(QStringLiteral("refusing to replace"))) << error.toStdString();
    EXPECT_TRUE(QFileInfo::exists(QDir(course.path()).filePath(QStringLiteral("book1/lesson01.yaml"))));

    // Speech that cannot be made fails the build without touching the old folder.
    dataDir = QDir(course.root()).filePath(QStringLiteral("out/Data"));
    SpeechSynthesizer::Options noSpeech;
    noSpeech.program = QStringLiteral("/nonexistent/espeak-ng");
    EXPECT_EQ(CourseBuilder(noSpeech).build(course.path(), dataDir, diagnostics, error), CourseBuilder::Result::Failed);
    EXPECT_TRUE(error.contains(QStringLiteral("cannot run"))) << error.toStdString();
    EXPECT_TRUE(Snapshot(dataDir) == before);
    EXPECT_EQ(QDir(QFileInfo(dataDir).absolutePath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Data")});
}

TEST_F(CourseBuilderTest, ALinkedDataFolderIsReplacedWhereItIs)
{
    ASSERT_EQ(build(), CourseBuilder::Result::Built) << error.toStdString();
    const QString realDir = dataDir;
    ASSERT_TRUE(Exec(realDir, QStringLiteral("INSERT INTO tblNote (FContentID, FNote) VALUES (1, 'kept')")));
    dataDir = QDir(course.root()).filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(realDir, dataDir));

    ASSERT_EQ(build(), CourseBuilder::Result::Built) << error.toStdString();
    EXPECT_TRUE(QFileInfo(dataDir).isSymLink());
    EXPECT_EQ(Rows(realDir, QStringLiteral("SELECT FNote FROM tblNote")).size(), 1u);
    EXPECT_EQ(Rows(realDir, QStringLiteral("SELECT FID FROM tblContent")).size(), 3u);
}

TEST_F(CourseBuilderTest, RebuildKeepsTheLearnersNotesAndSettings)
{
    ASSERT_EQ(build(), CourseBuilder::Result::Built) << error.toStdString();
    ASSERT_TRUE(Exec(dataDir, QStringLiteral("INSERT INTO tblOptions (FOption, FValue) VALUES ('Speed', '12'), ('Book', '2')")));
    ASSERT_TRUE(Exec(dataDir, QStringLiteral("INSERT INTO tblNote (FContentID, FNote) VALUES (3, '雨天的笔记'), (99, 'lost already')")));

    // A new lesson in book 1 moves book 2's lesson to content ID 4; its note follows it.
    course.write(QStringLiteral("book1/lesson03.yaml"), QByteArray(kLessonOne).replace("lesson: 1\n", "lesson: 3\n"));
    ASSERT_EQ(build(), CourseBuilder::Result::Built) << error.toStdString();
    const auto notes = Rows(dataDir, QStringLiteral("SELECT FContentID, FNote FROM tblNote"));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0][0].toInt(), 4);
    EXPECT_EQ(notes[0][1].toString(), QStringLiteral("雨天的笔记"));
    EXPECT_EQ(Rows(dataDir, QStringLiteral("SELECT FOption, FValue FROM tblOptions WHERE FValue = '12'")).size(), 1u);
    EXPECT_EQ(Rows(dataDir, QStringLiteral("SELECT * FROM tblOptions")).size(), 2u);
    ASSERT_EQ(diagnostics.entries().size(), 1u);  // the note of a lesson that never existed
    EXPECT_TRUE(diagnostics.entries().front().message.contains(QStringLiteral("content ID 99")));

    // Taking the lesson away would drop its note: the build refuses and changes nothing.
    const auto before = Snapshot(dataDir);
    QFile::remove(QDir(course.path()).filePath(QStringLiteral("book2/lesson01.yaml")));
    EXPECT_EQ(build(), CourseBuilder::Result::BadTarget);
    EXPECT_TRUE(error.contains(QStringLiteral("book 2 lesson 1"))) << error.toStdString();
    EXPECT_TRUE(Snapshot(dataDir) == before);
}

// The sample course built by CMake, checked the same way as the fixture.
TEST(SampleCourse, SpansLieOnTheSentencesOfEveryLesson)
{
    const QString dataDir = qEnvironmentVariable("VELTRA_SAMPLE_DATA", QStringLiteral(VELTRA_BUILT_SAMPLE_DATA));
    if (dataDir.isEmpty() || !QFileInfo::exists(QDir(dataDir).filePath(QStringLiteral("qor.db"))))
        GTEST_SKIP() << "the sample course is not built";
    const auto lessons = Rows(dataDir, QStringLiteral("SELECT FBook, FLesson, FBeginID, FEndID FROM tblContent ORDER BY FID"));
    ASSERT_FALSE(lessons.empty());
    for (const QVariantList& lesson : lessons) {
        const auto spans = Rows(dataDir, QStringLiteral("SELECT FBeginPos, FEndPos FROM tblQor%1 WHERE FID BETWEEN %2 AND %3 ORDER BY FID")
                                             .arg(lesson[0].toInt()).arg(lesson[2].toInt()).arg(lesson[3].toInt()));
        ASSERT_FALSE(spans.empty());
        ExpectSpansMatchRecording(dataDir, lesson[0].toInt(), lesson[1].toInt(), spans);
    }
}

} // namespace
