#include "LessonAddition.h"

#include "CourseDatabase.h"
#include "LessonContainers.h"
#include "StagingFolder.h"
#include "audio/Container.h"
#include "data/DataPath.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <QScopeGuard>

namespace {

// A connection of its own to the folder's qor.db for one call.
class CourseConnection {
public:
    explicit CourseConnection(const QString& dataDir)
        : m_name(QStringLiteral("veltra-course-author-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        m_path = ResolveDataPath(dataDir, QStringLiteral("qor.db"));
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(m_path);
    }
    ~CourseConnection()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    CourseConnection(const CourseConnection&) = delete;
    CourseConnection& operator=(const CourseConnection&) = delete;

    bool open(QString& error)
    {
        if (m_path.isEmpty()) {
            error = QStringLiteral("no course database (qor.db) in this folder");
            return false;
        }
        if (!m_db.open()) {
            error = QStringLiteral("cannot open %1: %2").arg(m_path, m_db.lastError().text());
            return false;
        }
        return true;
    }

    // Runs a statement with bound values; the query for reading its rows.
    std::optional<QSqlQuery> run(const QString& statement, const QVariantList& values, QString& error)
    {
        QSqlQuery query(m_db);
        if (query.prepare(statement)) {
            for (int i = 0; i < values.size(); ++i)
                query.bindValue(i, values.at(i));
            if (query.exec())
                return query;
        }
        error = QStringLiteral("cannot write %1: %2").arg(m_path, query.lastError().text());
        return std::nullopt;
    }

    // The largest of a column, 0 for an empty table.
    std::optional<int> largest(const QString& statement, const QVariantList& values, QString& error)
    {
        std::optional<QSqlQuery> query = run(statement, values, error);
        if (!query)
            return std::nullopt;
        return query->next() ? query->value(0).toInt() : 0;
    }

private:
    QString m_name;
    QString m_path;
    QSqlDatabase m_db;
};

std::optional<bool> LessonTaken(CourseConnection& db, int book, int lesson, QString& error)
{
    std::optional<QSqlQuery> query = db.run(
        QStringLiteral("SELECT count(*) FROM tblContent WHERE FBook = ? AND FLesson = ?"), {book, lesson}, error);
    if (!query)
        return std::nullopt;
    return query->next() && query->value(0).toInt() > 0;
}

// The book's folder, found whatever the case of its name, made when missing.
QString BookFolder(const QString& dataDir, int book, QString& error)
{
    const QString name = QStringLiteral("qor%1").arg(book);
    QString folder = ResolveDataPath(dataDir, name);
    if (folder.isEmpty()) {
        folder = QDir(dataDir).filePath(name);
        if (!QDir().mkpath(folder)) {
            error = QStringLiteral("cannot create the folder %1").arg(folder);
            return {};
        }
    }
    return folder;
}

struct StagedFile {
    QString staged;
    QString target;
};

// Moves staged files into place; on failure puts back what was moved.
class PlacedFiles {
public:
    ~PlacedFiles()
    {
        if (!m_kept)
            for (const QString& path : m_placed)
                QFile::remove(path);
    }

    bool place(const std::vector<StagedFile>& files, QString& error)
    {
        for (const StagedFile& file : files) {
            QFile::remove(file.target);
            if (!QFile::rename(file.staged, file.target)) {
                error = QStringLiteral("cannot move a recording to %1").arg(file.target);
                return false;
            }
            m_placed << file.target;
        }
        return true;
    }
    void keep() { m_kept = true; }

private:
    QStringList m_placed;
    bool m_kept = false;
};

bool Stage(const QString& folder, const QString& name, const QByteArray& audio, std::vector<StagedFile>& files,
           QString& error)
{
    const QByteArray container = PackContainer(audio);
    if (container.isEmpty()) {
        error = QStringLiteral("the recording is too large for a container");
        return false;
    }
    const QString path = QDir(folder).filePath(name);
    if (!WriteFile(path, container, error))
        return false;
    files.push_back({path, QString()});
    return true;
}

} // namespace

bool LessonNumberFree(const QString& dataDir, int book, int lesson, QString& error)
{
    CourseConnection db(dataDir);
    if (!db.open(error))
        return false;
    if (lesson == 0)
        return true;
    const std::optional<bool> taken = LessonTaken(db, book, lesson, error);
    if (taken && *taken)
        error = QStringLiteral("book %1 already has a lesson %2").arg(book).arg(lesson);
    return taken && !*taken;
}

std::optional<int> AddLesson(const QString& dataDir, const NewLesson& lesson, QString& error)
{
    StagingFolder staging(dataDir, StagingFolder::Place::InsideTarget);
    if (!staging.create(error))
        return std::nullopt;
    // Packed before the database is locked, named once the numbers are known.
    std::vector<StagedFile> files;
    if (!Stage(staging.path(), QStringLiteral("lesson.qor"), lesson.recording, files, error))
        return std::nullopt;
    for (std::size_t w = 0; w < lesson.wordSounds.size(); ++w)
        if (!Stage(staging.path(), QStringLiteral("word%1.qow").arg(w), MakeWav(lesson.wordSounds[w]), files, error))
            return std::nullopt;
    const QString bookFolder = BookFolder(dataDir, lesson.book, error);
    if (bookFolder.isEmpty())
        return std::nullopt;

    CourseConnection db(dataDir);
    if (!db.open(error))
        return std::nullopt;
    // An immediate transaction takes the write lock before the numbers are
    // read, so two runs at once cannot pick the same ones.
    if (!db.run(QStringLiteral("BEGIN IMMEDIATE"), {}, error))
        return std::nullopt;
    bool committed = false;
    const auto rollback = qScopeGuard([&] {
        QString ignored;
        if (!committed)
            db.run(QStringLiteral("ROLLBACK"), {}, ignored);
    });

    int number = lesson.lesson;
    if (number > 0) {
        const std::optional<bool> taken = LessonTaken(db, lesson.book, number, error);
        if (!taken)
            return std::nullopt;
        if (*taken) {
            error = QStringLiteral("book %1 already has a lesson %2").arg(lesson.book).arg(number);
            return std::nullopt;
        }
    } else {
        const auto last = db.largest(QStringLiteral("SELECT max(FLesson) FROM tblContent WHERE FBook = ?"),
                                     {lesson.book}, error);
        if (!last)
            return std::nullopt;
        number = *last + 1;
    }
    const auto lastContent = db.largest(QStringLiteral("SELECT max(FID) FROM tblContent"), {}, error);
    const auto lastSentence = db.largest(QStringLiteral("SELECT max(FID) FROM tblQor%1").arg(lesson.book), {}, error);
    const auto lastWord = db.largest(QStringLiteral("SELECT max(FID) FROM tblQor"), {}, error);
    if (!lastContent || !lastSentence || !lastWord)
        return std::nullopt;

    const int contentId = *lastContent + 1;
    const int firstSentence = *lastSentence + 1;
    const int lastSentenceId = firstSentence + int(lesson.sentences.size()) - 1;
    // The title is shown as FEnglish + FChinese; the blank keeps the two parts apart.
    if (!db.run(QStringLiteral("INSERT INTO tblContent (FID, FBook, FLesson, FBeginID, FEndID, FEnglish, FChinese, "
                               "FStudyCount, FLastTime) VALUES (?, ?, ?, ?, ?, ?, ?, 0, NULL)"),
                {contentId, lesson.book, number, firstSentence, lastSentenceId, lesson.title + QLatin1Char(' '),
                 QStringLiteral("")},
                error))
        return std::nullopt;
    for (std::size_t s = 0; s < lesson.sentences.size(); ++s) {
        if (!db.run(QStringLiteral("INSERT INTO tblQor%1 (FID, FEnglish, FChinese, FBeginPos, FEndPos) "
                                   "VALUES (?, ?, ?, ?, ?)")
                        .arg(lesson.book),
                    {firstSentence + int(s), lesson.sentences[s].english, EncipherField(lesson.sentences[s].chinese),
                     lesson.spans[s].beginMs, lesson.spans[s].endMs},
                    error))
            return std::nullopt;
    }
    files[0].target = QDir(bookFolder).filePath(QStringLiteral("%1.qor").arg(number));
    for (std::size_t w = 0; w < lesson.words.size(); ++w) {
        const CourseWord& word = lesson.words[w];
        const int wordId = *lastWord + 1 + int(w);
        if (!db.run(QStringLiteral("INSERT INTO tblQor (FID, FBook, FLesson, FEnglish, FChinese, FPS, FInfo) "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                    {wordId, lesson.book, number, word.english, EncipherField(word.chinese),
                     EncipherField(word.phonetic), EncipherField(word.info)},
                    error))
            return std::nullopt;
        files[w + 1].target = QDir(bookFolder).filePath(QStringLiteral("%1.qow").arg(wordId));
    }
    if (!db.run(QStringLiteral("INSERT INTO tblExplain (FContentID, FExplain) VALUES (?, ?)"),
                {contentId, EncipherField(QString())}, error))
        return std::nullopt;

    PlacedFiles placed;
    if (!placed.place(files, error))
        return std::nullopt;
    if (!db.run(QStringLiteral("COMMIT"), {}, error))
        return std::nullopt;
    committed = true;
    placed.keep();
    return number;
}
