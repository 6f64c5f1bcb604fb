#include "CourseRows.h"

#include "data/Cipher.h"
#include "data/Schema.h"
#include "data/TextCodec.h"

#include <QCryptographicHash>

bool CourseRows::insert(const QString& table, const QVariantList& values)
{
    auto statement = m_statements.find(table);
    if (statement == m_statements.end()) {
        QStringList fields;
        for (const SchemaTable& t : SchemaTables())
            if (t.name == table)
                fields = t.fields;
        Q_ASSERT(!fields.isEmpty());
        QSqlQuery query(m_db);
        const QStringList marks(fields.size(), QStringLiteral("?"));
        if (!query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(table, fields.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))))) {
            m_error = query.lastError();
            return false;
        }
        statement = m_statements.emplace(table, std::move(query)).first;
    }
    QSqlQuery& query = statement->second;
    for (qsizetype i = 0; i < values.size(); ++i)
        query.bindValue(int(i), values.at(i));
    if (!query.exec()) {
        m_error = query.lastError();
        return false;
    }
    return true;
}

bool CourseRows::insertLesson(const CourseLesson& lesson, const std::vector<SentenceSpan>& spans, const LessonIds& ids)
{
    const int lastSentence = ids.firstSentence + int(lesson.sentences.size()) - 1;
    const QVariant lastTime = lesson.lastStudied ? QVariant(*lesson.lastStudied) : QVariant(QMetaType(QMetaType::Double));
    // The title is shown as FEnglish + FChinese; the blank keeps the two parts apart.
    if (!insert(QStringLiteral("tblContent"), {ids.content, lesson.book, lesson.lesson, ids.firstSentence, lastSentence,
                                               lesson.english + QLatin1Char(' '), lesson.chinese, lesson.studyCount,
                                               lastTime}))
        return false;
    const QString sentenceTable = QStringLiteral("tblQor%1").arg(lesson.book);
    for (std::size_t s = 0; s < lesson.sentences.size(); ++s) {
        const CourseSentence& sentence = lesson.sentences[s];
        if (!insert(sentenceTable, {ids.firstSentence + int(s), sentence.english, EncipherField(sentence.chinese),
                                    spans[s].beginMs, spans[s].endMs}))
            return false;
    }
    for (std::size_t w = 0; w < lesson.words.size(); ++w) {
        const CourseWord& word = lesson.words[w];
        if (!insert(QStringLiteral("tblQor"), {ids.firstWord + int(w), lesson.book, lesson.lesson, word.english,
                                               EncipherField(word.chinese), EncipherField(word.phonetic),
                                               EncipherField(word.info)}))
            return false;
    }
    return insert(QStringLiteral("tblExplain"), {ids.content, EncipherField(lesson.explanation)});
}

QString EncipherField(const QString& text)
{
    const QByteArray bytes = TextToGb18030(text);
    const auto seed = static_cast<std::uint8_t>(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).at(0));
    return QString::fromLatin1(CipherText(bytes, QByteArray(kFieldKey), kEncodeMode, [seed] { return seed; }));
}
