#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariant>

class QSqlQuery;

// Builds a small lesson database in a temporary data folder for tests: the
// schema plus whatever rows a test adds. Enciphered fields are given as plain
// text and stored enciphered. The file is named "Qor.DB" so every open also
// proves the case-insensitive lookup.
class TestLessonDb {
public:
    TestLessonDb();
    ~TestLessonDb();
    TestLessonDb(const TestLessonDb&) = delete;
    TestLessonDb& operator=(const TestLessonDb&) = delete;

    QString DataDir() const { return m_dir.path() + QStringLiteral("/Data"); }
    QString FilePath() const { return DataDir() + QStringLiteral("/Qor.DB"); }

    TestLessonDb& Lesson(int id, int book, int lesson, int beginId, int endId, const QString& english,
                         const QString& chinese, int studyCount = 0, const QVariant& lastTime = {});
    TestLessonDb& Sentence(int book, int id, const QString& english, const QString& chinese,
                           int beginPos = 0, int endPos = 0);
    TestLessonDb& Word(int id, int book, int lesson, const QString& english, const QString& chinese,
                       const QString& phonetic = {}, const QString& info = {});
    TestLessonDb& Note(int contentId, const QString& note);
    TestLessonDb& Explain(int contentId, const QString& explain);
    TestLessonDb& Option(const QString& name, const QString& value);
    // Runs raw SQL (extra tables, triggers, damage).
    TestLessonDb& Exec(const QString& statement);
    // Bound query returning the first column of every row as text.
    QStringList Column(const QString& statement, const QVariantList& binds = {});

    // Upper-case hex of the GB18030 bytes of `text` under the field key.
    static QString Encipher(const QString& text);

private:
    // Prepares, binds and runs `statement`; a failure fails the test.
    QSqlQuery Run(const QString& statement, const QVariantList& binds);

    QTemporaryDir m_dir;
    QString m_connection;
};

// Gives the test process the application object Qt SQL and fonts expect
// (a GUI one; tests run on the offscreen platform).
void EnsureApplication();
