#include "app/ExplainPage.h"

#include "controls/HandlerGuard.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>

TExplainMemo::TExplainMemo(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("memoExplain"));
    setReadOnly(true);
    // Keep a caret the learner can move with the keys, as the F-keys act on it.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(false);
}

void TExplainMemo::keyPressEvent(QKeyEvent* event)
{
    bool handled = false;
    RunGuarded([&] { handled = event->modifiers() == Qt::NoModifier && memoExplainKeyDown(event->key()); });
    if (handled) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool TExplainMemo::memoExplainKeyDown(int key)
{
    switch (key) {
    case Qt::Key_F2: IndentBy(2); return true;
    case Qt::Key_F3: DeleteCaretLine(); return true;
    case Qt::Key_F4: IndentBy(4); return true;
    case Qt::Key_F6: IndentBy(6); return true;
    case Qt::Key_F8: IndentBy(8); return true;
    case Qt::Key_F10: IndentBy(10); return true;
    default: return false;
    }
}

void TExplainMemo::IndentBy(int spaces)
{
    // The spaces go in front of the selected text, which is kept; the caret
    // ends where that text ends.
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    cursor.setPosition(start);
    cursor.insertText(QString(spaces, u' '));
    cursor.setPosition(end + spaces);
    const QTextBlock next = cursor.block().next();
    if (next.isValid())
        cursor.setPosition(next.position());
    setTextCursor(cursor);
    ensureCursorVisible();
}

void TExplainMemo::DeleteCaretLine()
{
    QTextCursor cursor = textCursor();
    const QTextBlock line = cursor.block();
    if (document()->isEmpty())
        return;
    cursor.clearSelection();
    if (line.next().isValid()) {
        // The line and its line break; the caret lands on the next line.
        cursor.setPosition(line.position());
        cursor.setPosition(line.next().position(), QTextCursor::KeepAnchor);
    } else if (line.previous().isValid()) {
        // The last line takes the line break before it.
        const QTextBlock previous = line.previous();
        cursor.setPosition(previous.position() + previous.length() - 1);
        cursor.setPosition(line.position() + line.length() - 1, QTextCursor::KeepAnchor);
    } else {
        cursor.select(QTextCursor::Document);
    }
    cursor.removeSelectedText();
    setTextCursor(cursor);
    ensureCursorVisible();
}

TExplainPage::TExplainPage(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tsExplain"));
    memoExplain = new TExplainMemo(this);
    memoExplain->setGeometry(16, 16, 585, 313);
}

void TExplainPage::SetExplanation(const QString& text)
{
    memoExplain->setPlainText(text);
    memoExplain->moveCursor(QTextCursor::Start);
}
