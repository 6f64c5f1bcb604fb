#include "LearnerData.h"

#include "data/DataPath.h"
#include "data/SqliteConnection.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

bool ReadRows(QSqlDatabase& db, const QString& dbPath, LearnerData& data, Diagnostics& diagnostics, QString& error)
{
    QSqlQuery query(db);
    // rowid order: the order the rows were written in, so carrying them over is repeatable.
    if (!query.exec(QStringLiteral("SELECT FOption, FValue FROM tblOptions ORDER BY rowid"))) {
        error = query.lastError().text();
        return false;
    }
    while (query.next())
        data.options.push_back({query.value(0), query.value(1)});
    if (!query.exec(QStringLiteral("SELECT n.FContentID, c.FBook, c.FLesson, n.FNote FROM tblNote n "
                                   "LEFT JOIN tblContent c ON c.FID = n.FContentID ORDER BY n.rowid"))) {
        error = query.lastError().text();
        return false;
    }
    while (query.next()) {
        if (query.value(1).isNull()) {
            diagnostics.warning({dbPath, 0}, QStringLiteral("a note of content ID %1 belongs to no lesson and is not carried over")
                                                 .arg(query.value(0).toString()));
            continue;
        }
        data.notes.push_back({query.value(1).toInt(), query.value(2).toInt(), query.value(3)});
    }
    return true;
}

} // namespace

std::optional<LearnerData> ReadLearnerData(const QString& dataDir, Diagnostics& diagnostics, QString& error)
{
    LearnerData data;
    const QString dbPath = ResolveDataPath(dataDir, QStringLiteral("qor.db"));
    if (dbPath.isEmpty())
        return data;
    SqliteConnection connection(QStringLiteral("veltra-course-learner"));
    bool read = false;
    if (!connection.open(dbPath, SqliteConnection::Open::ReadOnly))
        error = connection.error().text();
    else
        read = ReadRows(connection.database(), dbPath, data, diagnostics, error);
    if (!read) {
        error = QStringLiteral("cannot read the learner's notes and settings from %1 (%2); move it away or build into "
                               "another folder")
                    .arg(dbPath, error);
        return std::nullopt;
    }
    return data;
}

bool AttachNotes(LearnerData& data, const Course& course, QString& error)
{
    for (LearnerData::Note& note : data.notes) {
        note.contentId = 0;
        for (std::size_t i = 0; i < course.lessons.size() && note.contentId == 0; ++i) {
            if (course.lessons[i].book == note.book && course.lessons[i].lesson == note.lesson)
                note.contentId = static_cast<int>(i) + 1;
        }
        if (note.contentId == 0) {
            error = QStringLiteral("the data folder holds a note for book %1 lesson %2, which is no longer in the course; "
                                   "refusing to lose it (put the lesson back, or build into another folder)")
                        .arg(note.book).arg(note.lesson);
            return false;
        }
    }
    return true;
}
