#include "export/LessonExport.h"

#include "audio/Container.h"
#include "data/Cipher.h"
#include "data/DataPath.h"
#include "data/LessonDataSet.h"
#include "data/WholeFile.h"
#include "export/LessonList.h"

#include <QDir>
#include <QSet>

namespace {

// The whole book is read and filtered here: the values stay bound and the
// list may be longer than a statement takes parameters.
const QString kCatalogueSql = QStringLiteral(
    "Select FLesson, FBeginID, FEndID From tblContent Where FBook=? Order By FID");

QSet<qint64> LessonNumbers(const QString& list)
{
    QSet<qint64> numbers;
    for (const QString& item : list.split(QLatin1Char(','), Qt::SkipEmptyParts))
        numbers.insert(item.toLongLong());
    return numbers;
}

bool ToNumber(const QVariant& value, qint64& number)
{
    bool ok = false;
    number = value.toLongLong(&ok);
    return ok && !value.isNull();
}

std::optional<QVector<LrcSentence>> ReadSentences(const QSqlDatabase& db, const ExportLesson& lesson)
{
    const QString sql = QStringLiteral(
        "Select FBeginPos, FEnglish, FChinese From tblQor%1 Where FID Between ? and ? Order By FID")
                            .arg(lesson.book);
    const std::optional<RowSet> rows = LoadRows(db, sql, {lesson.beginId, lesson.endId}, false);
    if (!rows || rows->rows.isEmpty())
        return std::nullopt;
    QVector<LrcSentence> sentences;
    sentences.reserve(rows->rows.size());
    for (const QVector<QVariant>& row : rows->rows) {
        // Trimmed like the text page does: a stored blank would otherwise
        // turn the whole translation into the cipher's "-1".
        const QByteArray chinese =
            CipherText(row.at(2).toString().trimmed().toLatin1(), QByteArray(kFieldKey), kDecodeMode);
        sentences.append({row.at(0).toLongLong(), row.at(1).toString(), chinese});
    }
    return sentences;
}

} // namespace

QString ExportMessage(const ExportResult& result)
{
    switch (result.outcome) {
    case ExportOutcome::Done:
        return QStringLiteral("已完成MP3和歌词文件输出！");
    case ExportOutcome::InvalidList:
        return InvalidLessonListMessage();
    case ExportOutcome::NoLessons:
        return QStringLiteral("根据您指定的条件，没有找到任何课程！");
    case ExportOutcome::LessonDataError:
        return QStringLiteral("课文数据错误！");
    case ExportOutcome::WriteFailed:
        return QStringLiteral("无法写入文件：%1（%2）").arg(QDir::toNativeSeparators(result.file), result.reason);
    case ExportOutcome::Cancelled:
        break;
    }
    return {};
}

bool ExportOutcomeIsError(ExportOutcome outcome)
{
    return outcome == ExportOutcome::NoLessons || outcome == ExportOutcome::LessonDataError
        || outcome == ExportOutcome::WriteFailed;
}

ExportChoice ChooseExportLessons(const QSqlDatabase& db, int book, const QString& expression)
{
    const std::optional<QString> list = ExpandLessonList(expression);
    if (!list)
        return {ExportOutcome::InvalidList, {}};
    const QSet<qint64> wanted = LessonNumbers(*list);
    if (wanted.isEmpty() || book < 1 || book > 4)
        return {};
    const std::optional<RowSet> rows = LoadRows(db, kCatalogueSql, {book}, false);
    if (!rows)
        return {};
    ExportChoice choice;
    for (const QVector<QVariant>& row : rows->rows) {
        qint64 lesson = 0;
        ExportLesson item{book, 0, 0, 0};
        if (!ToNumber(row.at(0), lesson) || !wanted.contains(lesson) || !ToNumber(row.at(1), item.beginId)
            || !ToNumber(row.at(2), item.endId))
            continue;
        item.lesson = int(lesson);
        choice.lessons.append(item);
    }
    if (!choice.lessons.isEmpty())
        choice.outcome = ExportOutcome::Done;
    return choice;
}

QString ExportFileName(int book, int lesson, const QString& extension)
{
    return QStringLiteral("qor%1-%2").arg(book).arg(lesson) + extension;
}

ExportResult ExportLessons(const QSqlDatabase& db, const QString& dataDir, const QVector<ExportLesson>& lessons,
                           const QString& folder, LrcTimeStyle style, const ExportProgress& progress)
{
    const QDir out(folder);
    for (const ExportLesson& lesson : lessons) {
        const std::optional<QVector<LrcSentence>> sentences = ReadSentences(db, lesson);
        if (!sentences)
            return {ExportOutcome::LessonDataError, {}, {}};
        ExportedFiles files;
        // A lesson without a usable recording still gets its lyrics; one whose
        // recording cannot be written ends the export.
        const QString mp3Name = ExportFileName(lesson.book, lesson.lesson, QStringLiteral(".mp3"));
        const QString container = ResolveDataPath(dataDir, LessonContainerPath(lesson.book, lesson.lesson));
        QString reason;
        if (!container.isEmpty())
            files.mp3 = UnpackToFolder(container, folder, mp3Name, &reason);
        if (!reason.isEmpty())
            return {ExportOutcome::WriteFailed, out.filePath(mp3Name), reason};
        files.lrc = out.filePath(ExportFileName(lesson.book, lesson.lesson, QStringLiteral(".lrc")));
        reason = SaveWholeFile(files.lrc, BuildLrc(lesson.book, *sentences, style));
        if (!reason.isEmpty())
            return {ExportOutcome::WriteFailed, files.lrc, reason};
        if (progress)
            progress(lesson, files);
    }
    return {};
}
