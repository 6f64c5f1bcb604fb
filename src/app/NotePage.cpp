#include "app/NotePage.h"

#include "app/AppFonts.h"
#include "controls/HandlerGuard.h"
#include "data/LessonDataSet.h"
#include "data/Messages.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <stdexcept>

namespace {

const QString kNoteField = QStringLiteral("FNote");

[[noreturn]] void fail(const QString& what, const TLessonDataSet& dataSet)
{
    const QString reason = dataSet.LastError();
    throw std::runtime_error((reason.isEmpty() ? what : what + QStringLiteral("\n") + reason).toStdString());
}

bool isEditing(const TLessonDataSet& dataSet)
{
    const auto state = dataSet.GetState();
    return state == TLessonDataSet::State::Edit || state == TLessonDataSet::State::Insert;
}

QPushButton* makeButton(const QString& name, const QString& caption, int left, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFont(SongTiFont(12));
    button->setGeometry(left, 312, 75, 25);
    return button;
}

} // namespace

TNotePage::TNotePage(TLessonDataSet& adsNote, QWidget* parent)
    : QWidget(parent)
    , m_note(adsNote)
{
    setObjectName(QStringLiteral("tsNote"));
    memoNote = new QPlainTextEdit(this);
    memoNote->setObjectName(QStringLiteral("memoNote"));
    memoNote->setGeometry(17, 16, 579, 281);
    memoNote->setFont(SongTiFont(14));
    memoNote->setReadOnly(true);
    btnNoteEdit = makeButton(QStringLiteral("btnNoteEdit"), QStringLiteral("修改"), 104, this);
    btnNoteSave = makeButton(QStringLiteral("btnNoteSave"), QStringLiteral("保存"), 264, this);
    btnNoteDelete = makeButton(QStringLiteral("btnNoteDelete"), QStringLiteral("删除"), 432, this);
    setTabOrder(memoNote, btnNoteEdit);
    setTabOrder(btnNoteEdit, btnNoteSave);
    setTabOrder(btnNoteSave, btnNoteDelete);

    connect(btnNoteEdit, &QPushButton::clicked, this, Guarded([this] { btnNoteEditClick(); }));
    connect(btnNoteSave, &QPushButton::clicked, this, Guarded([this] { btnNoteSaveClick(); }));
    connect(btnNoteDelete, &QPushButton::clicked, this, Guarded([this] { btnNoteDeleteClick(); }));
    connect(memoNote, &QPlainTextEdit::textChanged, this, Guarded([this] { memoNoteChanged(); }));
}

void TNotePage::Reload()
{
    m_loading = true;
    memoNote->setPlainText(m_note.RecordCount() > 0 ? m_note.FieldText(kNoteField) : QString());
    m_loading = false;
}

bool TNotePage::PostPendingNote(QString* error)
{
    if (!isEditing(m_note))
        return true;
    if (m_note.Post())
        return true;
    if (error) {
        const QString reason = m_note.LastError();
        *error = QStringLiteral("保存学习笔记失败！") + (reason.isEmpty() ? QString() : u'\n' + reason);
    }
    return false;
}

void TNotePage::memoNoteChanged()
{
    if (m_loading || memoNote->isReadOnly())
        return;
    if (!isEditing(m_note)) {
        const bool started = m_note.RecordCount() > 0 ? m_note.Edit() : m_note.Insert();
        if (!started)
            fail(QStringLiteral("无法修改学习笔记！"), m_note);
    }
    m_note.SetFieldValue(kNoteField, memoNote->toPlainText());
}

void TNotePage::btnNoteEditClick()
{
    // Without an open lesson a note would have nowhere to go.
    if (!m_note.Active()) {
        ShowInfo(QStringLiteral("请先打开一课，再写学习笔记。"));
        return;
    }
    memoNote->setReadOnly(false);
}

void TNotePage::btnNoteSaveClick()
{
    QString error;
    if (!PostPendingNote(&error))
        throw std::runtime_error(error.toStdString());  // the memo stays editable
    memoNote->setReadOnly(true);
}

void TNotePage::btnNoteDeleteClick()
{
    if (m_note.RecordCount() == 0)
        return;
    if (!AskYesNo(QStringLiteral("确实要删除这一课的学习笔记吗？")))
        return;
    // A new note that was never saved has no row to delete: dropping it is
    // the deletion.
    const bool unsavedNew = m_note.GetState() == TLessonDataSet::State::Insert;
    if (isEditing(m_note))
        m_note.Cancel();
    if (!unsavedNew && !m_note.Delete())
        fail(QStringLiteral("删除学习笔记失败！"), m_note);
    Reload();
}
