#include "StoreCommands.h"

#include "CommandLine.h"
#include "data/DMUnit.h"
#include "data/Messages.h"
#include "data/ReviewSchedule.h"

#include <QStringList>

#include <cstdio>

namespace {

// Passes the program's messages to stderr and remembers that one came.
class ToolMessages final : public Messages {
public:
    void info(const QString& text) override { Report(text); }
    void error(const QString& text) override { Report(text); }
    bool askYesNo(const QString& text) override
    {
        Report(text);
        return false;
    }
    bool reported = false;

private:
    void Report(const QString& text)
    {
        reported = true;
        std::fprintf(stderr, "veltra-course: %s\n", text.toUtf8().constData());
    }
};

QString Escaped(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return text;
}

QString Line(const QStringList& fields)
{
    QStringList parts;
    for (const QString& field : fields)
        parts.append(Escaped(field));
    return parts.join(QLatin1Char('\t')) + QLatin1Char('\n');
}

QString Record(const QString& kind, const QStringList& fields)
{
    return kind + QLatin1Char('\t') + Line(fields);
}

QString LessonText(TDM& dm)
{
    QString out = Record(QStringLiteral("title"), {dm.CurTitle});
    TLessonDataSet& sen = dm.adsQorSen;
    for (sen.First(); !sen.Eof(); sen.Next()) {
        out += Record(QStringLiteral("sentence"),
                      {sen.FieldText("FID"), sen.FieldText("FBeginPos"), sen.FieldText("FEndPos"),
                       sen.FieldText("FEnglish"), sen.FieldText("FChinese")});
    }
    TLessonDataSet& word = dm.adsQorWord;
    for (word.First(); !word.Eof(); word.Next()) {
        out += Record(QStringLiteral("word"),
                      {word.FieldText("FID"), word.FieldText("FEnglish"), word.FieldText("FChinese"),
                       word.FieldText("FPS"), word.FieldText("FInfo")});
    }
    dm.adsExplain.First();
    out += Record(QStringLiteral("explain"), {dm.DecodeFieldText(dm.adsExplain.FieldValue("FExplain"))});
    TLessonDataSet& note = dm.adsNote;
    for (note.First(); !note.Eof(); note.Next())
        out += Record(QStringLiteral("note"), {note.FieldText("FNote")});
    return out;
}

} // namespace

int RunShow(QStringList args)
{
    QString book;
    QString lesson;
    QString error;
    const bool byBook = TakeOption(args, QStringLiteral("--book"), book, error);
    const bool byLesson = error.isEmpty() && TakeOption(args, QStringLiteral("--lesson"), lesson, error);
    if (!error.isEmpty())
        return UsageError(error);
    int bookNumber = 0;
    int lessonNumber = 0;
    int contentId = 0;
    if (byBook || byLesson) {
        if (!byBook || !byLesson || args.size() != 1)
            return UsageError(QStringLiteral("show needs DATA_DIR with both --book and --lesson"));
        if (!ParseInt(book, bookNumber) || !ParseInt(lesson, lessonNumber))
            return UsageError(QStringLiteral("--book and --lesson need whole numbers"));
    } else if (args.size() != 2 || !ParseInt(args.at(1), contentId)) {
        return UsageError(QStringLiteral("show needs DATA_DIR and a content ID, or --book and --lesson"));
    }

    ToolMessages messages;
    ScopedMessages installed(&messages);
    TDM dm(args.first());
    if (!dm.IsConnected())
        return ExitFailed;
    const bool opened = byBook ? dm.OpenLessonByNumber(bookNumber, lessonNumber) : dm.OpenLesson(contentId);
    if (!opened) {
        if (messages.reported)
            return ExitFailed;
        const QString lessonName = byBook ? QStringLiteral("book %1 lesson %2").arg(bookNumber).arg(lessonNumber)
                                          : QStringLiteral("content ID %1").arg(contentId);
        return Failure(QStringLiteral("%1 cannot be opened (not in the catalogue, no sentences, "
                                      "or damaged rows)").arg(lessonName));
    }
    QString out = LessonText(dm);
    const auto study = dm.ShowStudyInfo();
    if (!study)
        return ExitFailed;
    out += Record(QStringLiteral("study"), {study->count, study->last, study->next});
    Print(out);
    return ExitOk;
}

int RunOption(QStringList args)
{
    if (args.size() != 2 && args.size() != 3)
        return UsageError(QStringLiteral("option needs DATA_DIR, NAME and an optional VALUE"));
    ToolMessages messages;
    ScopedMessages installed(&messages);
    TDM dm(args.at(0));
    if (!dm.IsConnected())
        return ExitFailed;
    if (args.size() == 2) {
        Print(dm.ReadOption(args.at(1)) + QLatin1Char('\n'));
        return ExitOk;
    }
    dm.WriteOption(args.at(1), args.at(2));
    return messages.reported ? ExitFailed : ExitOk;
}

int RunDue(QStringList args)
{
    if (args.size() != 1)
        return UsageError(QStringLiteral("due needs DATA_DIR"));
    ToolMessages messages;
    ScopedMessages installed(&messages);
    TDM dm(args.first());
    if (!dm.IsConnected())
        return ExitFailed;
    const auto due = dm.DueLessons(QDateTime::currentDateTime());
    if (!due)
        return Failure(QStringLiteral("the lesson catalogue cannot be read"));
    const QString format = QStringLiteral("yyyy/MM/dd HH:mm");
    QString out;
    for (const TDM::DueLesson& lesson : *due) {
        out += Line({QString::number(lesson.contentId), QString::number(lesson.book), QString::number(lesson.lesson),
                     lesson.title, QString::number(lesson.count), DayCountText(lesson.lastTime, format),
                     DayCountText(lesson.nextTime, format)});
    }
    Print(out);
    return ExitOk;
}
