#include "data/TestLessonDb.h"

#include "data/Cipher.h"
#include "data/Schema.h"
#include "data/TextCodec.h"

#include <QGuiApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <atomic>

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "veltra-test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QGuiApplication(argc, argv);  // lives for the whole test process
}

TestLessonDb::TestLessonDb()
{
    static std::atomic<int> counter{0};
    EnsureApplication();
    m_connection = QStringLiteral("test-lesson-db-%1").arg(++counter);
    QDir().mkpath(DataDir());
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(FilePath());
    EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
    QString error;
    EXPECT_TRUE(CreateSchema(db, &error)) << error.toStdString();
}

TestLessonDb::~TestLessonDb()
{
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

QString TestLessonDb::Encipher(const QString& text)
{
    return QString::fromLatin1(CipherText(TextToGb18030(text), QByteArray(kFieldKey), kEncodeMode));
}

QSqlQuery TestLessonDb::Run(const QString& statement, const QVariantList& binds)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    bool ok = query.prepare(statement);
    for (const QVariant& value : binds)
        query.addBindValue(value);
    ok = ok && query.exec();
    EXPECT_TRUE(ok) << statement.toStdString() << ": " << query.lastError().text().toStdString();
    return query;
}

TestLessonDb& TestLessonDb::Lesson(int id, int book, int lesson, int beginId, int endId, const QString& english,
                                   const QString& chinese, int studyCount, const QVariant& lastTime)
{
    Run(QStringLiteral("Insert Into tblContent(FID,FBook,FLesson,FBeginID,FEndID,FEnglish,FChinese,"
                       "FStudyCount,FLastTime) Values(?,?,?,?,?,?,?,?,?)"),
        {id, book, lesson, beginId, endId, english, chinese, studyCount, lastTime});
    return *this;
}

TestLessonDb& TestLessonDb::Sentence(int book, int id, const QString& english, const QString& chinese,
                                     int beginPos, int endPos)
{
    Run(QStringLiteral("Insert Into tblQor%1(FID,FEnglish,FChinese,FBeginPos,FEndPos) Values(?,?,?,?,?)").arg(book),
        {id, english, Encipher(chinese), beginPos, endPos});
    return *this;
}

TestLessonDb& TestLessonDb::Word(int id, int book, int lesson, const QString& english, const QString& chinese,
                                 const QString& phonetic, const QString& info)
{
    Run(QStringLiteral("Insert Into tblQor(FID,FBook,FLesson,FEnglish,FChinese,FPS,FInfo) Values(?,?,?,?,?,?,?)"),
        {id, book, lesson, english, Encipher(chinese), Encipher(phonetic), Encipher(info)});
    return *this;
}

TestLessonDb& TestLessonDb::Note(int contentId, const QString& note)
{
    Run(QStringLiteral("Insert Into tblNote(FContentID,FNote) Values(?,?)"), {contentId, note});
    return *this;
}

TestLessonDb& TestLessonDb::Explain(int contentId, const QString& explain)
{
    Run(QStringLiteral("Insert Into tblExplain(FContentID,FExplain) Values(?,?)"), {contentId, Encipher(explain)});
    return *this;
}

TestLessonDb& TestLessonDb::Option(const QString& name, const QString& value)
{
    Run(QStringLiteral("Insert Into tblOptions(FOption,FValue) Values(?,?)"), {name, value});
    return *this;
}

TestLessonDb& TestLessonDb::Exec(const QString& statement)
{
    Run(statement, {});
    return *this;
}

QStringList TestLessonDb::Column(const QString& statement, const QVariantList& binds)
{
    QSqlQuery query = Run(statement, binds);
    QStringList values;
    while (query.next())
        values.append(query.value(0).toString());
    return values;
}
