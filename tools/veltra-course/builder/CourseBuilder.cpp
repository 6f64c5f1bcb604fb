#include "CourseBuilder.h"

#include "ParallelTasks.h"

#include "CourseDatabase.h"
#include "CourseReader.h"
#include "LearnerData.h"
#include "LessonContainers.h"
#include "StagingFolder.h"

#include <QDir>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

namespace {

// The recorder's empty file is made at the word recordings' rate, so a take
// and the model it is compared with sound alike.
constexpr int kRecorderSampleRate = 22050;

// Writes every lesson's audio, lessons shared out between `jobs` threads.
// Returns the spans per lesson (course order), or nothing with `error` set
// to the failure of the earliest failing lesson.
std::optional<std::vector<std::vector<SentenceSpan>>> WriteCourseAudio(const Course& course, const QString& dataDir,
                                                                      SpeechSynthesizer::Options speechOptions,
                                                                      const std::function<bool()>& stop, QString& error)
{
    const std::size_t count = course.lessons.size();
    std::vector<int> firstWordIds(count);
    int nextWordId = 1;
    for (std::size_t i = 0; i < count; ++i) {
        firstWordIds[i] = nextWordId;
        nextWordId += static_cast<int>(course.lessons[i].words.size());
    }

    const int jobs = speechOptions.jobs;
    speechOptions.jobs = 1;  // the parallelism is across lessons
    const SpeechSynthesizer speech(speechOptions);
    std::vector<std::vector<SentenceSpan>> spans(count);
    const std::optional<QString> failure = RunParallelTasks(count, jobs, [&](std::size_t i) -> std::optional<QString> {
        if (stop && stop())
            return QStringLiteral("stopped");
        const CourseLesson& lesson = course.lessons[i];
        const QString bookDir = QDir(dataDir).filePath(QStringLiteral("qor%1").arg(lesson.book));
        QString message;
        if (auto lessonSpans = WriteLessonAudio(lesson, firstWordIds[i], bookDir, speech, message)) {
            spans[i] = std::move(*lessonSpans);
            return std::nullopt;
        }
        return QStringLiteral("book %1 lesson %2: %3").arg(lesson.book).arg(lesson.lesson).arg(message);
    });
    if (failure) {
        error = *failure;
        return std::nullopt;
    }
    return spans;
}

} // namespace

CourseBuilder::Result CourseBuilder::build(const QString& courseDir, const QString& dataDir, Diagnostics& diagnostics,
                                           QString& error) const
{
    const Course course = ReadCourse(courseDir, diagnostics);
    if (diagnostics.hasErrors())
        return Result::BadCourse;

    if (!StagingFolder::canReplace(dataDir, error))
        return Result::BadTarget;
    // The learner's notes and settings in an earlier build move into the new
    // one; checked before the long part of the build so a problem shows at once.
    auto learner = ReadLearnerData(dataDir, diagnostics, error);
    if (!learner || !AttachNotes(*learner, course, error))
        return Result::BadTarget;
    StagingFolder staging(dataDir);
    if (!staging.create(error))
        return Result::Failed;
    const QDir dir(staging.path());
    for (const CourseLesson& lesson : course.lessons) {
        const QString bookDir = QStringLiteral("qor%1").arg(lesson.book);
        if (!dir.exists(bookDir) && !dir.mkdir(bookDir)) {
            error = QStringLiteral("cannot create %1").arg(dir.filePath(bookDir));
            return Result::Failed;
        }
    }

    const auto spans = WriteCourseAudio(course, staging.path(), m_speech, m_stop, error);
    if (m_stop && m_stop())
        return Result::Stopped;
    if (!spans)
        return Result::Failed;
    // Read again: the learner may have written a note while the audio was made.
    // Its warnings were given by the first reading.
    Diagnostics repeated;
    learner = ReadLearnerData(dataDir, repeated, error);
    if (!learner || !AttachNotes(*learner, course, error))
        return Result::BadTarget;
    if (!WriteCourseDatabase(dir.filePath(QStringLiteral("qor.db")), course, *spans, *learner, error))
        return Result::Failed;
    // The recorder's file starts out as a valid, empty recording.
    const QString recorder = dir.filePath(QStringLiteral("tmpwav.wav"));
    const WholeFileFailure failure = WriteWholeFile(recorder, MakeWav({kRecorderSampleRate, {}}), {.sync = false});
    if (failure.failed()) {
        error = QStringLiteral("cannot write %1: %2").arg(recorder, failure.reason);
        return Result::Failed;
    }
    if (!staging.commit(error))
        return Result::Failed;
    return Result::Built;
}
