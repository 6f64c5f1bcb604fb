#include "controls/QorWordSelectLabel.h"

TQorWordSelectLabel::TQorWordSelectLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);  // words and meanings are never markup
}

bool TQorWordSelectLabel::IsAnswerRight() const
{
    return m_answerButton && m_answerButton->isChecked();
}
