#include "controls/QorSenMemo.h"

#include "data/AnswerMatches.h"

TQorSenMemo::TQorSenMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

bool TQorSenMemo::IsAnswerRight() const
{
    return AnswerMatches(m_answer, toPlainText());
}
