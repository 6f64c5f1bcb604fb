#include "controls/QorSenMemo.h"

#include "controls/HandlerGuard.h"
#include "data/AnswerMatches.h"

#include <QKeyEvent>
#include <QTextCursor>

#include <functional>

namespace {

// Runs `edit`; the text it adds at the cursor gets the plain format instead
// of the format of the character before it.
void AddPlain(QPlainTextEdit& memo, const std::function<void()>& edit)
{
    const QTextCursor before = memo.textCursor();
    const int start = before.selectionStart();
    const int replaced = before.selectionEnd() - start;
    const int count = memo.document()->characterCount();
    edit();
    QTextCursor after = memo.textCursor();
    const int added = memo.document()->characterCount() - count + replaced;
    if (added <= 0 || after.hasSelection() || after.position() != start + added)
        return;
    after.setPosition(start, QTextCursor::KeepAnchor);
    after.setCharFormat(QTextCharFormat());
}

} // namespace

TQorSenMemo::TQorSenMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

bool TQorSenMemo::IsAnswerRight() const
{
    return AnswerMatches(m_answer, toPlainText());
}

void TQorSenMemo::keyPressEvent(QKeyEvent* event)
{
    RunGuarded([&] {
        // Shortcuts (undo among them) keep the formats they bring back.
        if (event->text().isEmpty()
            || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            QPlainTextEdit::keyPressEvent(event);
        else
            AddPlain(*this, [&] { QPlainTextEdit::keyPressEvent(event); });
    });
}

void TQorSenMemo::inputMethodEvent(QInputMethodEvent* event)
{
    RunGuarded([&] { AddPlain(*this, [&] { QPlainTextEdit::inputMethodEvent(event); }); });
}

void TQorSenMemo::insertFromMimeData(const QMimeData* source)
{
    RunGuarded([&] { AddPlain(*this, [&] { QPlainTextEdit::insertFromMimeData(source); }); });
}
