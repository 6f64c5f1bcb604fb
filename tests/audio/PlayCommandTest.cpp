// "veltra-course play" on the sample course, with SDL's disk driver writing
// exactly what the mixer produced.
#include "audio/Container.h"
#include "audio/LessonAudio.h"
#include "audio/Mp3Decoder.h"
#include "data/DataPath.h"
#include "support/CourseToolRun.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

ToolRun Play(const QStringList& args, const QString& outputFile)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("disk"));
    env.insert(QStringLiteral("SDL_DISKAUDIOFILE"), outputFile);
    env.insert(QStringLiteral("SDL_DISKAUDIODELAY"), QStringLiteral("0"));
    return RunCourseTool(QStringList{QStringLiteral("play")} + args, env);
}

class PlayCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = qEnvironmentVariable("VELTRA_SAMPLE_DATA");
        if (data.isEmpty() || !QFile::exists(data + QStringLiteral("/qor.db")))
            GTEST_SKIP() << "the sample course has not been built";
    }

    // Book and lesson of content ID `id` in the sample catalogue.
    std::pair<int, int> LessonOf(int id) const
    {
        std::pair<int, int> result{0, 0};
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("play_test"));
            db.setDatabaseName(data + QStringLiteral("/qor.db"));
            if (db.open()) {
                QSqlQuery q(db);
                q.prepare(QStringLiteral("SELECT FBook, FLesson FROM tblContent WHERE FID = ?"));
                q.addBindValue(id);
                if (q.exec() && q.next())
                    result = {q.value(0).toInt(), q.value(1).toInt()};
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("play_test"));
        return result;
    }

    QString data;
    QTemporaryDir dir;
};

TEST_F(PlayCommandTest, WritesExactlyTheSentenceAtTheNativeRate)
{
    const QString raw = dir.filePath(QStringLiteral("out.raw"));
    const ToolRun run = Play({data, QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("--speed"), QStringLiteral("10")}, raw);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("(\\d+)\\.\\.(\\d+) ms")).match(run.out);
    ASSERT_TRUE(m.hasMatch()) << run.out.toStdString();

    const auto [book, lesson] = LessonOf(1);
    const std::optional<QByteArray> mp3 = UnpackContainerFile(ResolveDataPath(data, LessonContainerPath(book, lesson)));
    ASSERT_TRUE(mp3);
    auto decoder = Mp3Decoder::open(*mp3);
    ASSERT_TRUE(decoder);
    ASSERT_EQ(decoder->rate(), 44100);
    const int64_t first = LessonAudio::MsToFrame(m.captured(1).toInt(), decoder->rate());
    const int64_t last = LessonAudio::MsToFrame(m.captured(2).toInt(), decoder->rate());
    std::vector<float> span(static_cast<size_t>((last - first + 1) * decoder->channels()));
    ASSERT_TRUE(decoder->seek(first));
    ASSERT_EQ(decoder->read(span.data(), static_cast<long>(last - first + 1)), last - first + 1);
    std::vector<float> expected;  // as the mixer lays it out: stereo
    for (size_t i = 0; i < span.size(); i += static_cast<size_t>(decoder->channels())) {
        expected.push_back(span[i]);
        expected.push_back(span[i + static_cast<size_t>(decoder->channels()) - 1]);
    }

    QFile file(raw);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto* out = reinterpret_cast<const float*>(bytes.constData());
    const auto values = static_cast<size_t>(bytes.size()) / sizeof(float);
    // Silence, the span, silence: line the first sound of each up.
    const auto firstSound = [](const float* v, size_t n) { return size_t(std::find_if(v, v + n, [](float x) { return x != 0.0f; }) - v); };
    const size_t inSpan = firstSound(expected.data(), expected.size()) & ~size_t(1);
    const size_t inOut = firstSound(out, values) & ~size_t(1);
    ASSERT_LT(inSpan, expected.size());
    ASSERT_GE(inOut, inSpan);
    const size_t start = inOut - inSpan;
    ASSERT_LE(start + expected.size(), values);
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(out[start + i], expected[i]) << "frame " << i / 2;
    EXPECT_TRUE(std::all_of(out + start + expected.size(), out + values, [](float x) { return x == 0.0f; }))
        << "sound after the span's last frame";
}

// What a run wrote, from its first to its last frame of sound: how many
// frames, and how often the left channel rises through zero (a rough gauge
// of the voice's pitch).
struct Heard {
    double frames = 0.0;
    double crossingsPerFrame = 0.0;
};

Heard Measure(const QString& raw)
{
    QFile file(raw);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const auto* out = reinterpret_cast<const float*>(bytes.constData());
    const auto frames = static_cast<size_t>(bytes.size()) / (2 * sizeof(float));
    size_t first = 0;
    while (first < frames && out[2 * first] == 0.0f && out[2 * first + 1] == 0.0f)
        ++first;
    size_t end = frames;
    while (end > first && out[2 * end - 2] == 0.0f && out[2 * end - 1] == 0.0f)
        --end;
    int crossings = 0;
    for (size_t i = first; i + 1 < end; ++i)
        crossings += out[2 * i] < 0.0f && out[2 * i + 2] >= 0.0f;
    return {double(end - first), end > first ? crossings / double(end - first) : 0.0};
}

TEST_F(PlayCommandTest, KeepPitchChangesTheLengthButNotTheVoice)
{
    const QString raw = dir.filePath(QStringLiteral("out.raw"));
    const ToolRun native = Play({data, QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("--speed"), QStringLiteral("10")}, raw);
    ASSERT_EQ(native.exitCode, 0) << native.err.toStdString();
    const Heard atTen = Measure(raw);
    ASSERT_GT(atTen.frames, 0.0);
    struct Case {
        const char* speed;
        bool keepPitch;
        double lengthRatio;
        double crossingRatio;
    } const cases[] = {
        {"8", true, 1.25, 1.0},
        {"12", true, 10.0 / 12.0, 1.0},
        {"8", false, 1.25, 0.8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "speed " << c.speed << (c.keepPitch ? ", pitch kept" : ""));
        QStringList args{data, QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("--speed"), QString::fromLatin1(c.speed)};
        if (c.keepPitch)
            args << QStringLiteral("--keep-pitch");
        const ToolRun run = Play(args, raw);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out.contains(QStringLiteral("pitch kept")), c.keepPitch) << run.out.toStdString();
        const Heard heard = Measure(raw);
        // Sound from first to last: the span's silent edges blur its length a little.
        EXPECT_NEAR(heard.frames / atTen.frames, c.lengthRatio, 0.01);
        EXPECT_NEAR(heard.crossingsPerFrame / atTen.crossingsPerFrame, c.crossingRatio, 0.07);
    }
}

TEST_F(PlayCommandTest, BadRequestsFailWithTheirExitCodes)
{
    const QString raw = dir.filePath(QStringLiteral("out.raw"));
    struct Case {
        QStringList args;
        int exitCode;
    };
    const Case cases[] = {
        {{data, QStringLiteral("1"), QStringLiteral("999")}, 2},
        {{data, QStringLiteral("1"), QStringLiteral("0")}, 2},
        {{data, QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("--speed"), QStringLiteral("13")}, 2},
        {{data, QStringLiteral("x"), QStringLiteral("1")}, 2},
        {{data, QStringLiteral("999999"), QStringLiteral("1")}, 1},
        {{dir.filePath(QStringLiteral("nowhere")), QStringLiteral("1"), QStringLiteral("1")}, 1},
    };
    for (const Case& c : cases) {
        const ToolRun run = Play(c.args, raw);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("veltra-course: ")) || run.err.contains(QStringLiteral("\nveltra-course: ")))
            << run.err.toStdString();
    }
}

} // namespace
