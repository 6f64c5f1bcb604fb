#pragma once

#include "export/LrcText.h"

#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <functional>

// Writes chosen lessons as MP3 and LRC files: the logic shared by the export
// dialog and the command line. GUI thread only (it reads the program's one
// database connection); nothing here shows a message.

// How an export ended. Every outcome but Cancelled has a text for the learner.
enum class ExportOutcome {
    Done,             // every lesson written
    InvalidList,      // the lesson expression is not valid; nothing written
    NoLessons,        // the expression names no lesson of the book; nothing written
    Cancelled,        // no output folder chosen; nothing written, nothing said
    LessonDataError,  // a lesson without sentences; the lessons before it stay
                      // written, the rest are skipped
    WriteFailed,      // a recording or lyric file could not be written (a full
                      // disk, a folder without write permission); the complete
                      // files before it stay, the rest are skipped
};

// An export's end, with the file that could not be written and the system's
// reason for WriteFailed.
struct ExportResult {
    ExportOutcome outcome = ExportOutcome::Done;
    QString file;
    QString reason;
};

// The text for `result` ("" for Cancelled) and whether it is an error (the
// error box) rather than information.
QString ExportMessage(const ExportResult& result);
bool ExportOutcomeIsError(ExportOutcome outcome);

// One catalogue row to export.
struct ExportLesson {
    int book = 0;
    int lesson = 0;
    qint64 beginId = 0;  // the lesson's sentences in tblQor<book>, inclusive
    qint64 endId = 0;
};

// The lessons of `book` (1-4) that `expression` names, in catalogue order
// (by FID, not by the expression), each once. `outcome` is Done when there is
// at least one, else InvalidList or NoLessons (also for a failed query).
struct ExportChoice {
    ExportOutcome outcome = ExportOutcome::NoLessons;
    QVector<ExportLesson> lessons;
};
ExportChoice ChooseExportLessons(const QSqlDatabase& db, int book, const QString& expression);

// "qor" + book + "-" + lesson + extension (".mp3", ".lrc").
QString ExportFileName(int book, int lesson, const QString& extension);

// What one lesson left in the output folder: the lyric file, and the recording
// unless the lesson's audio container is missing or damaged (then empty).
struct ExportedFiles {
    QString lrc;
    QString mp3;
};
// Called after each lesson is written, before the next one starts.
using ExportProgress = std::function<void(const ExportLesson& lesson, const ExportedFiles& files)>;

// Writes the lessons, in order, into the existing folder `folder`: the
// recording unpacked from `dataDir`'s container and the lyric file. A file of
// the same name is replaced only once its new content is complete. A missing
// or damaged container only leaves that lesson without its recording.
// Returns Done, LessonDataError or WriteFailed.
ExportResult ExportLessons(const QSqlDatabase& db, const QString& dataDir, const QVector<ExportLesson>& lessons,
                            const QString& folder, LrcTimeStyle style, const ExportProgress& progress = {});
