// Opening a lesson: the four lesson datasets and the current-lesson values.
#include "data/DMUnit.h"

#include "data/BookName.h"
#include "data/Messages.h"

namespace {

bool FieldInt(const RowSet& rows, const char* field, int& value)
{
    const qsizetype column = rows.fields.indexOf(QString::fromLatin1(field));
    if (column < 0 || rows.rows.isEmpty())
        return false;
    bool ok = false;
    value = rows.rows.first().at(column).toInt(&ok);
    return ok;
}

QString FieldString(const RowSet& rows, const char* field)
{
    const qsizetype column = rows.fields.indexOf(QString::fromLatin1(field));
    return column < 0 ? QString() : rows.rows.first().at(column).toString();
}

} // namespace

bool TDM::OpenLesson(int contentId)
{
    if (!m_connected)
        return false;
    const QSqlDatabase db = Database();
    const auto content = LoadRows(db, QStringLiteral("Select * From tblContent Where FID=?"), {contentId}, false);
    int book = 0;
    int lesson = 0;
    int beginId = 0;
    int endId = 0;
    if (!content || content->rows.isEmpty() || !FieldInt(*content, "FBook", book) ||
        !FieldInt(*content, "FLesson", lesson) || !FieldInt(*content, "FBeginID", beginId) ||
        !FieldInt(*content, "FEndID", endId))
        return false;
    const QString title = BookName(book) + QStringLiteral(" - ") + FieldString(*content, "FEnglish") +
                          FieldString(*content, "FChinese");

    // Everything is read before anything is switched, so a failure leaves
    // the open lesson whole.
    auto sentences = LoadRows(
        db, QStringLiteral("Select * From tblQor%1 Where FID Between ? and ? Order By FID").arg(book),
        {beginId, endId}, false);
    if (!sentences || sentences->rows.isEmpty())
        return false;
    auto words = LoadRows(db, QStringLiteral("Select * From tblQor Where FBook=? and FLesson=? Order By FID"),
                          {book, lesson}, false);
    auto note = LoadRows(db, QStringLiteral("Select rowid, * From tblNote Where FContentID=? Order By rowid"),
                         {contentId}, true);
    auto explain = LoadRows(
        db, QStringLiteral("Select rowid, * From tblExplain Where FContentID=? Order By rowid"), {contentId}, true);
    if (!words || !note || !explain)
        return false;

    CurContentID = contentId;
    m_noteContentId = contentId;
    CurTitle = title;
    CurBook = book;
    CurLesson = lesson;
    adsQorSen.Assign(std::move(*sentences));
    adsQorWord.Assign(std::move(*words));
    adsNote.Assign(std::move(*note));
    adsExplain.Assign(std::move(*explain));
    return true;
}

int TDM::ContentIdOf(int book, int lesson) const
{
    const auto found = m_connected
        ? LoadRows(Database(), QStringLiteral("Select FID From tblContent Where FBook=? and FLesson=? Order By FID"),
                   {book, lesson}, false)
        : std::nullopt;
    int contentId = 0;
    if (!found || !FieldInt(*found, "FID", contentId))
        return 0;
    return contentId;
}

bool TDM::OpenLessonByNumber(int book, int lesson)
{
    const int contentId = ContentIdOf(book, lesson);
    if (contentId == 0) {
        ShowError(QStringLiteral("打开课文出错！"));
        return false;
    }
    return OpenLesson(contentId);
}

bool TDM::LessonInCatalogue(int contentId) const
{
    if (!m_connected)
        return true;
    const auto found = LoadRows(Database(), QStringLiteral("Select FID From tblContent Where FID=?"), {contentId}, false);
    return !found || !found->rows.isEmpty();
}

int TDM::LargestContentId() const
{
    if (!m_connected)
        return 0;
    const auto found = LoadRows(Database(), QStringLiteral("Select max(FID) From tblContent"), {}, false);
    return found && !found->rows.isEmpty() ? found->rows.front().value(0).toInt() : 0;
}
