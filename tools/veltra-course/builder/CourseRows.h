#pragma once

#include "CourseModel.h"
#include "LessonRecording.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <map>
#include <vector>

// Where a lesson's rows are numbered from: its catalogue row, its first
// sentence in its book's sentence table, its first word.
struct LessonIds {
    int content = 0;
    int firstSentence = 0;
    int firstWord = 0;
};

// The one way rows go into a course database, for the build, the author's
// new lesson and the import alike: one prepared statement per table naming
// every field of the schema, every value bound. The caller holds the
// transaction, and destroys this before the connection. Used on the thread
// that owns `db`.
class CourseRows {
public:
    explicit CourseRows(QSqlDatabase& db) : m_db(db) {}
    CourseRows(const CourseRows&) = delete;
    CourseRows& operator=(const CourseRows&) = delete;

    // One row of `table` (a table of SchemaTables()), the values in the
    // order of its fields, stored as they are.
    bool insert(const QString& table, const QVariantList& values);

    // A lesson's rows: its catalogue row (the title stored as FEnglish plus
    // a blank, then FChinese), its sentences with `spans` (one per
    // sentence), its words and its explanation, the enciphered fields
    // enciphered. Written in that order, so the same lesson always gives
    // the same file.
    bool insertLesson(const CourseLesson& lesson, const std::vector<SentenceSpan>& spans, const LessonIds& ids);

    // Why the last insert failed.
    const QSqlError& lastError() const { return m_error; }

private:
    QSqlDatabase& m_db;
    std::map<QString, QSqlQuery> m_statements;
    QSqlError m_error;
};

// The stored form of an enciphered field: the cipher's hex of the GB18030
// bytes with key "tqd". The seed comes from a hash of the text instead of
// the clock, so rebuilding gives identical output.
QString EncipherField(const QString& text);
