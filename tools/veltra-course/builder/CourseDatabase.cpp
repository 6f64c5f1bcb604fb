#include "CourseDatabase.h"

#include "data/Cipher.h"
#include "data/Schema.h"
#include "data/TextCodec.h"

#include <QCryptographicHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <functional>

namespace {

// Runs one prepared statement per row with bound values.
class Inserter {
public:
    Inserter(QSqlDatabase& db, const QString& statement, QString& error) : m_query(db), m_error(error)
    {
        if (!m_query.prepare(statement))
            fail();
    }

    bool ok() const { return m_ok; }

    bool insert(const QVariantList& values)
    {
        if (!m_ok)
            return false;
        for (int i = 0; i < values.size(); ++i)
            m_query.bindValue(i, values.at(i));
        if (!m_query.exec())
            fail();
        return m_ok;
    }

private:
    void fail()
    {
        m_ok = false;
        if (m_error.isEmpty())
            m_error = m_query.lastError().text();
    }

    QSqlQuery m_query;
    QString& m_error;
    bool m_ok = true;
};

bool WriteRows(QSqlDatabase& db, const Course& course, const std::vector<std::vector<SentenceSpan>>& spans, QString& error)
{
    Inserter content(db, QStringLiteral("INSERT INTO tblContent (FID, FBook, FLesson, FBeginID, FEndID, FEnglish, FChinese, "
                                        "FStudyCount, FLastTime) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                     error);
    Inserter words(db, QStringLiteral("INSERT INTO tblQor (FID, FBook, FLesson, FEnglish, FChinese, FPS, FInfo) "
                                      "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                   error);
    Inserter explanations(db, QStringLiteral("INSERT INTO tblExplain (FContentID, FExplain) VALUES (?, ?)"), error);
    if (!content.ok() || !words.ok() || !explanations.ok())
        return false;

    int nextSentenceId[5] = {0, 1, 1, 1, 1};
    int nextWordId = 1;
    for (std::size_t i = 0; i < course.lessons.size(); ++i) {
        const CourseLesson& lesson = course.lessons[i];
        const int contentId = static_cast<int>(i) + 1;
        const int firstSentence = nextSentenceId[lesson.book];
        const int lastSentence = firstSentence + static_cast<int>(lesson.sentences.size()) - 1;
        nextSentenceId[lesson.book] = lastSentence + 1;
        const QVariant lastTime = lesson.lastStudied ? QVariant(*lesson.lastStudied) : QVariant(QMetaType(QMetaType::Double));
        // The title is shown as FEnglish + FChinese; the blank keeps the two parts apart.
        if (!content.insert({contentId, lesson.book, lesson.lesson, firstSentence, lastSentence,
                             lesson.english + QLatin1Char(' '), lesson.chinese, lesson.studyCount, lastTime}))
            return false;

        Inserter sentences(db, QStringLiteral("INSERT INTO tblQor%1 (FID, FEnglish, FChinese, FBeginPos, FEndPos) "
                                              "VALUES (?, ?, ?, ?, ?)").arg(lesson.book),
                           error);
        for (std::size_t s = 0; s < lesson.sentences.size(); ++s) {
            const CourseSentence& sentence = lesson.sentences[s];
            if (!sentences.insert({firstSentence + static_cast<int>(s), sentence.english, EncipherField(sentence.chinese),
                                   spans[i][s].beginMs, spans[i][s].endMs}))
                return false;
        }
        for (const CourseWord& word : lesson.words) {
            if (!words.insert({nextWordId++, lesson.book, lesson.lesson, word.english, EncipherField(word.chinese),
                               EncipherField(word.phonetic), EncipherField(word.info)}))
                return false;
        }
        if (!explanations.insert({contentId, EncipherField(lesson.explanation)}))
            return false;
    }
    return true;
}

bool WriteLearnerRows(QSqlDatabase& db, const LearnerData& learner, QString& error)
{
    Inserter options(db, QStringLiteral("INSERT INTO tblOptions (FOption, FValue) VALUES (?, ?)"), error);
    for (const LearnerData::Option& option : learner.options) {
        if (!options.insert({option.name, option.value}))
            return false;
    }
    Inserter notes(db, QStringLiteral("INSERT INTO tblNote (FContentID, FNote) VALUES (?, ?)"), error);
    for (const LearnerData::Note& note : learner.notes) {
        if (!notes.insert({note.contentId, note.text}))
            return false;
    }
    return options.ok() && notes.ok();
}

} // namespace

QString EncipherField(const QString& text)
{
    const QByteArray bytes = TextToGb18030(text);
    const auto seed = static_cast<std::uint8_t>(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).at(0));
    return QString::fromLatin1(CipherText(bytes, QByteArray(kFieldKey), kEncodeMode, [seed] { return seed; }));
}

bool WriteCourseDatabase(const QString& path, const Course& course, const std::vector<std::vector<SentenceSpan>>& spans,
                         const LearnerData& learner, QString& error)
{
    const QString connection = QStringLiteral("veltra-course-build-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool written = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            error = db.lastError().text();
        } else if (!CreateSchema(db, &error)) {
        } else if (!db.transaction()) {
            error = db.lastError().text();
        } else if (!WriteRows(db, course, spans, error) || !WriteLearnerRows(db, learner, error)) {
            db.rollback();
        } else if (!db.commit()) {
            error = db.lastError().text();
        } else {
            written = true;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!written)
        error = QStringLiteral("cannot write %1: %2").arg(path, error);
    return written;
}
