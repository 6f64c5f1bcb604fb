#include "CourseDatabase.h"

#include "CourseRows.h"

#include "data/Schema.h"
#include "data/ScopedTransaction.h"
#include "data/SqliteConnection.h"

namespace {

bool WriteRows(CourseRows& rows, const Course& course, const std::vector<std::vector<SentenceSpan>>& spans,
               const LearnerData& learner)
{
    int nextSentenceId[5] = {0, 1, 1, 1, 1};
    int nextWordId = 1;
    for (std::size_t i = 0; i < course.lessons.size(); ++i) {
        const CourseLesson& lesson = course.lessons[i];
        const LessonIds ids{static_cast<int>(i) + 1, nextSentenceId[lesson.book], nextWordId};
        if (!rows.insertLesson(lesson, spans[i], ids))
            return false;
        nextSentenceId[lesson.book] += static_cast<int>(lesson.sentences.size());
        nextWordId += static_cast<int>(lesson.words.size());
    }
    for (const LearnerData::Option& option : learner.options) {
        if (!rows.insert(QStringLiteral("tblOptions"), {option.name, option.value}))
            return false;
    }
    for (const LearnerData::Note& note : learner.notes) {
        if (!rows.insert(QStringLiteral("tblNote"), {note.contentId, note.text}))
            return false;
    }
    return true;
}

} // namespace

bool WriteCourseDatabase(const QString& path, const Course& course, const std::vector<std::vector<SentenceSpan>>& spans,
                         const LearnerData& learner, QString& error)
{
    SqliteConnection connection(QStringLiteral("veltra-course-build"));
    QSqlDatabase& db = connection.database();
    const auto failed = [&](const QString& reason) {
        error = QStringLiteral("cannot write %1: %2").arg(path, reason);
        return false;
    };
    if (!connection.open(path, SqliteConnection::Open::Create))
        return failed(connection.error().text());
    QString schemaError;
    if (!CreateSchema(db, &schemaError))
        return failed(schemaError);
    ScopedTransaction transaction(db);
    if (!transaction.IsOpen())
        return failed(db.lastError().text());
    {
        CourseRows rows(db);
        if (!WriteRows(rows, course, spans, learner))
            return failed(rows.lastError().text());
    }
    if (!transaction.Commit())
        return failed(db.lastError().text());
    return true;
}
