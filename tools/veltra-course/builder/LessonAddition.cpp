#include "LessonAddition.h"

#include "CourseRows.h"
#include "LessonContainers.h"
#include "StagingFolder.h"
#include "data/DataPath.h"
#include "data/SqliteConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <QScopeGuard>

namespace {

// The staged containers reach the disk when each is moved into place.
constexpr WholeFileOptions kStaged{.sync = false};

// A connection of its own to the folder's qor.db for one call.
class CourseConnection {
public:
    explicit CourseConnection(const QString& dataDir)
        : m_path(ResolveDataPath(dataDir, QStringLiteral("qor.db"))), m_connection(QStringLiteral("veltra-course-author"))
    {
    }

    bool open(QString& error)
    {
        if (m_path.isEmpty()) {
            error = QStringLiteral("no course database (qor.db) in this folder");
            return false;
        }
        if (!m_connection.open(m_path, SqliteConnection::Open::Existing)) {
            error = QStringLiteral("cannot open %1: %2").arg(m_path, m_connection.error().text());
            return false;
        }
        return true;
    }

    // Runs a statement with bound values; the query for reading its rows.
    std::optional<QSqlQuery> run(const QString& statement, const QVariantList& values, QString& error)
    {
        QSqlQuery query(m_connection.database());
        if (query.prepare(statement)) {
            for (int i = 0; i < values.size(); ++i)
                query.bindValue(i, values.at(i));
            if (query.exec())
                return query;
        }
        failed(query.lastError(), error);
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

    // The rows of a lesson, as the builder writes them.
    bool insertLesson(const CourseLesson& lesson, const std::vector<SentenceSpan>& spans, const LessonIds& ids,
                      QString& error)
    {
        CourseRows rows(m_connection.database());
        return rows.insertLesson(lesson, spans, ids) || failed(rows.lastError(), error);
    }

private:
    bool failed(const QSqlError& reason, QString& error) const
    {
        error = QStringLiteral("cannot write %1: %2").arg(m_path, reason.text());
        return false;
    }

    QString m_path;
    SqliteConnection m_connection;
};

std::optional<bool> LessonTaken(CourseConnection& db, int book, int lesson, QString& error)
{
    std::optional<QSqlQuery> query = db.run(
        QStringLiteral("SELECT count(*) FROM tblContent WHERE FBook = ? AND FLesson = ?"), {book, lesson}, error);
    if (!query)
        return std::nullopt;
    return query->next() && query->value(0).toInt() > 0;
}

// The name of the book's folder, found whatever its case, made when missing.
QString BookFolder(const QString& dataDir, int book, QString& error)
{
    const QString name = QStringLiteral("qor%1").arg(book);
    const QString folder = ResolveDataPath(dataDir, name);
    if (!folder.isEmpty())
        return QFileInfo(folder).fileName();
    if (!QDir(dataDir).mkpath(name)) {
        error = QStringLiteral("cannot create the folder %1").arg(QDir(dataDir).filePath(name));
        return {};
    }
    return name;
}

// Staged containers moved into the data folder inside the transaction:
// taken out again unless kept.
class PlacedFiles {
public:
    explicit PlacedFiles(StagingFolder& staging) : m_staging(staging) {}
    ~PlacedFiles()
    {
        if (!m_kept)
            for (const QString& path : m_placed)
                QFile::remove(path);
    }
    PlacedFiles(const PlacedFiles&) = delete;
    PlacedFiles& operator=(const PlacedFiles&) = delete;

    // `as` is relative to the data folder. A container already there
    // belongs to no lesson (the number is free) and is replaced.
    bool place(const QString& staged, const QString& as, QString& error)
    {
        const QString target = QDir(m_staging.target()).filePath(as);
        if (!m_staging.commitFile(staged, as, QFileInfo::exists(target) ? target : QString(), QString(), error))
            return false;
        m_placed << target;
        return true;
    }
    void keep() { m_kept = true; }

private:
    StagingFolder& m_staging;
    QStringList m_placed;
    bool m_kept = false;
};

QString WordStagingName(std::size_t w)
{
    return QStringLiteral("word%1.qow").arg(w);
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
    const QDir staged(staging.path());
    if (!WriteContainer(staged.filePath(QStringLiteral("lesson.qor")), lesson.recording, kStaged, error))
        return std::nullopt;
    for (std::size_t w = 0; w < lesson.wordSounds.size(); ++w)
        if (!WriteContainer(staged.filePath(WordStagingName(w)), MakeWav(lesson.wordSounds[w]), kStaged, error))
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

    // Never studied, no translation of the title (stored empty, not NULL), no explanation yet.
    const CourseLesson rows{lesson.book, number, lesson.title, QStringLiteral(""), 0, std::nullopt,
                            lesson.sentences, lesson.words, QString(), {}};
    const LessonIds ids{*lastContent + 1, *lastSentence + 1, *lastWord + 1};
    if (!db.insertLesson(rows, lesson.spans, ids, error))
        return std::nullopt;

    PlacedFiles placed(staging);
    if (!placed.place(QStringLiteral("lesson.qor"), bookFolder + QStringLiteral("/%1.qor").arg(number), error))
        return std::nullopt;
    for (std::size_t w = 0; w < lesson.wordSounds.size(); ++w)
        if (!placed.place(WordStagingName(w), bookFolder + QStringLiteral("/%1.qow").arg(ids.firstWord + int(w)), error))
            return std::nullopt;
    if (!db.run(QStringLiteral("COMMIT"), {}, error))
        return std::nullopt;
    committed = true;
    placed.keep();
    return number;
}
