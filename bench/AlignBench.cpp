// How exactly, how fast and in how much memory the aligner finds the
// sentences of a recording. Builds the sample course from its sources (or
// takes a built data folder as its argument), whose true sentence times the
// builder knows, aligns every lesson's recording and text from scratch, and
// prints per book the share of sentences cut cleanly and the distance of
// the found begins and ends from the true ones. Then aligns a 30-minute
// recording for its speed, and has the course tool add it as a lesson in a
// process of its own, for the peak memory of the whole command.
#include "CourseBuilder.h"
#include "Mp3Encoder.h"
#include "audio/Container.h"
#include "speech/SentenceAlignment.h"
#include "speech/SpeechDecoder.h"
#include "speech/SpeechPauses.h"
#include "speech/SpeechSamples.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>

namespace {

struct TrueSentence {
    QString english;
    int beginMs = 0;
    int endMs = 0;
};

struct Lesson {
    int book = 0;
    int lesson = 0;
    QByteArray mp3;
    std::vector<TrueSentence> sentences;
};

double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

timespec WallNow()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t;
}

double SecondsSince(const timespec& start)
{
    const timespec now = WallNow();
    return double(now.tv_sec - start.tv_sec) + double(now.tv_nsec - start.tv_nsec) / 1e9;
}

std::vector<Lesson> ReadCourse(const QString& dataDir)
{
    std::vector<Lesson> lessons;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
        db.setDatabaseName(QDir(dataDir).filePath(QStringLiteral("qor.db")));
        if (!db.open())
            return {};
        QSqlQuery content(QStringLiteral("SELECT FBook, FLesson, FBeginID, FEndID FROM tblContent ORDER BY FID"), db);
        while (content.next()) {
            Lesson lesson;
            lesson.book = content.value(0).toInt();
            lesson.lesson = content.value(1).toInt();
            const auto mp3 = UnpackContainerFile(
                QDir(dataDir).filePath(QStringLiteral("qor%1/%2.qor").arg(lesson.book).arg(lesson.lesson)));
            if (!mp3)
                continue;
            lesson.mp3 = *mp3;
            QSqlQuery rows(db);
            rows.prepare(QStringLiteral("SELECT FEnglish, FBeginPos, FEndPos FROM tblQor%1 WHERE FID BETWEEN ? AND ? "
                                        "ORDER BY FID")
                             .arg(lesson.book));
            rows.addBindValue(content.value(2));
            rows.addBindValue(content.value(3));
            rows.exec();
            while (rows.next())
                lesson.sentences.push_back({rows.value(0).toString(), rows.value(1).toInt(), rows.value(2).toInt()});
            lessons.push_back(std::move(lesson));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    return lessons;
}

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::size_t(std::lround(p * double(values.size() - 1)))];
}

struct BookFigures {
    int sentences = 0;
    int clean = 0;
    int uncertain = 0;
    std::vector<double> beginErrors;
    std::vector<double> endErrors;
};

// The audible part of a true span: from its first to its last loud step.
std::pair<int, int> Audible(const SpeechPauses& pauses, const TrueSentence& s)
{
    int first = s.beginMs;
    while (first < s.endMs && pauses.quietAt(first))
        first += SpeechPauses::kStepMs;
    int last = s.endMs;
    while (last > first && pauses.quietAt(last - SpeechPauses::kStepMs))
        last -= SpeechPauses::kStepMs;
    return {first, last};
}

int MeasureAccuracy(const std::vector<Lesson>& lessons, SpeechDecoder& decoder)
{
    std::map<int, BookFigures> books;
    double cpu = 0;
    double audio = 0;
    for (const Lesson& lesson : lessons) {
        const std::vector<int16_t> pcm = *SpeechSamplesOfMp3(lesson.mp3);
        QStringList texts;
        for (const TrueSentence& s : lesson.sentences)
            texts << s.english;
        QString error;
        const double start = CpuSeconds();
        const auto found = AlignSentences(pcm, texts, decoder, error);
        cpu += CpuSeconds() - start;
        audio += double(pcm.size()) / kSpeechRate;
        if (!found) {
            std::printf("book %d lesson %d: %s\n", lesson.book, lesson.lesson, qPrintable(error));
            return 1;
        }
        const SpeechPauses pauses(pcm);
        BookFigures& figures = books[lesson.book];
        for (std::size_t i = 0; i < lesson.sentences.size(); ++i) {
            const SentenceTiming& t = found->sentences[i];
            const auto [ownFirst, ownLast] = Audible(pauses, lesson.sentences[i]);
            const int previousLast = i > 0 ? Audible(pauses, lesson.sentences[i - 1]).second : 0;
            const int nextFirst = i + 1 < lesson.sentences.size() ? Audible(pauses, lesson.sentences[i + 1]).first
                                                                  : pauses.lengthMs() + 1;
            const bool clean =
                t.beginMs <= ownFirst && t.endMs >= ownLast && t.beginMs >= previousLast && t.endMs <= nextFirst;
            if (t.uncertain())
                std::printf("  uncertain: book %d lesson %d sentence %zu found %d-%d (%.2f), true %d-%d\n", lesson.book,
                            lesson.lesson, i + 1, t.beginMs, t.endMs, t.confidence, lesson.sentences[i].beginMs,
                            lesson.sentences[i].endMs);
            if (!clean)
                std::printf("  not clean: book %d lesson %d sentence %zu found %d-%d, speech %d-%d, neighbours end %d "
                            "start %d\n",
                            lesson.book, lesson.lesson, i + 1, t.beginMs, t.endMs, ownFirst, ownLast, previousLast,
                            nextFirst);
            figures.sentences += 1;
            figures.clean += clean ? 1 : 0;
            figures.uncertain += t.uncertain() ? 1 : 0;
            figures.beginErrors.push_back(std::abs(t.beginMs - lesson.sentences[i].beginMs));
            figures.endErrors.push_back(std::abs(t.endMs - lesson.sentences[i].endMs));
        }
    }
    std::printf("\n%-6s %9s %8s %9s %11s %11s %11s %11s\n", "book", "sentences", "clean", "uncertain", "begin med",
                "begin p95", "end med", "end p95");
    for (const auto& [book, f] : books)
        std::printf("%-6d %9d %7.1f%% %9d %8.0f ms %8.0f ms %8.0f ms %8.0f ms\n", book, f.sentences,
                    100.0 * f.clean / std::max(f.sentences, 1), f.uncertain, Percentile(f.beginErrors, 0.5),
                    Percentile(f.beginErrors, 0.95), Percentile(f.endErrors, 0.5), Percentile(f.endErrors, 0.95));
    std::printf("\nalignment of the sample lessons: %.1f s of recording in %.2f s of CPU: %.4f of real time\n", audio,
                cpu, cpu / std::max(audio, 1e-9));
    return 0;
}

// A 30-minute lesson made of the sample lessons one after another: aligned
// here for the speed, then added to `dataDir` by the course tool in a
// process of its own, for the peak memory of the whole command.
void MeasureLongRecording(const std::vector<Lesson>& lessons, SpeechDecoder& decoder, const QString& dataDir)
{
    MonoPcm joined;
    joined.sampleRate = kSpeechRate;
    QStringList texts;
    while (joined.samples.size() < std::size_t(30 * 60 * kSpeechRate)) {
        for (const Lesson& lesson : lessons) {
            const std::vector<int16_t> pcm = *SpeechSamplesOfMp3(lesson.mp3);
            joined.samples.insert(joined.samples.end(), pcm.begin(), pcm.end());
            for (const TrueSentence& s : lesson.sentences)
                texts << s.english;
        }
    }
    QString error;
    const std::optional<EncodedMp3> mp3 = EncodeMp3(joined, error);
    joined.samples = {};
    if (!mp3) {
        std::printf("cannot encode the long recording: %s\n", qPrintable(error));
        return;
    }
    const double minutes = double(mp3->frames) / kMp3SampleRate / 60.0;
    {
        const double start = CpuSeconds();
        const std::vector<int16_t> pcm = *SpeechSamplesOfMp3(mp3->bytes);
        const double decoded = CpuSeconds();
        const auto found = AlignSentences(pcm, texts, decoder, error);
        const double end = CpuSeconds();
        const double seconds = double(pcm.size()) / kSpeechRate;
        std::printf("%.1f-minute recording, %lld sentences: decoding %.4f and aligning %.4f of real time, %d uncertain\n",
                    minutes, static_cast<long long>(texts.size()), (decoded - start) / seconds,
                    (end - decoded) / seconds, found ? found->uncertainCount() : -1);
    }

    QTemporaryDir files;
    QFile audio(files.filePath(QStringLiteral("long.mp3")));
    QFile text(files.filePath(QStringLiteral("long.txt")));
    if (!audio.open(QIODevice::WriteOnly) || audio.write(mp3->bytes) != mp3->bytes.size() ||
        !text.open(QIODevice::WriteOnly) || text.write(texts.join(QLatin1Char('\n')).toUtf8()) < 0) {
        std::printf("cannot write the long recording for the course tool\n");
        return;
    }
    audio.close();
    text.close();
    std::fflush(stdout);
    const timespec wallStart = WallNow();
    const pid_t child = fork();
    if (child == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        const QByteArray exe = VELTRA_COURSE_EXE, dir = QFile::encodeName(dataDir),
                         a = QFile::encodeName(audio.fileName()), t = QFile::encodeName(text.fileName());
        execl(exe.constData(), exe.constData(), "author", dir.constData(), "--book", "4", "--audio", a.constData(),
              "--text", t.constData(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("veltra-course author on it: exit %d, %.1f s wall, %.4f of real time in CPU, peak memory %.0f MB\n",
                WIFEXITED(status) ? WEXITSTATUS(status) : -1, SecondsSince(wallStart), cpu / (minutes * 60),
                double(usage.ru_maxrss) / 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir built;
    QString dataDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (dataDir.isEmpty()) {
        Diagnostics diagnostics;
        QString error;
        dataDir = built.filePath(QStringLiteral("Data"));
        std::printf("building the sample course from %s ...\n", VELTRA_COURSE_DIR);
        std::fflush(stdout);
        if (CourseBuilder().build(QStringLiteral(VELTRA_COURSE_DIR), dataDir, diagnostics, error) !=
            CourseBuilder::Result::Built) {
            std::printf("cannot build the sample course: %s\n", qPrintable(error));
            return 1;
        }
    }
    const std::vector<Lesson> lessons = ReadCourse(dataDir);
    if (lessons.empty()) {
        std::printf("no lessons in %s\n", qPrintable(dataDir));
        return 1;
    }
    QString error;
    std::unique_ptr<SpeechDecoder> decoder = SpeechDecoder::open(SpeechDecoder::Scoring::AgainstSearch, error);
    if (!decoder) {
        std::printf("%s\n", qPrintable(error));
        return 1;
    }
    if (const int failed = MeasureAccuracy(lessons, *decoder))
        return failed;
    // The course tool adds a lesson: never to a folder the caller named.
    if (argc > 1) {
        std::printf("(the course tool's run needs the sample course built here; run without an argument for it)\n");
        return 0;
    }
    MeasureLongRecording(lessons, *decoder, dataDir);
    return 0;
}
