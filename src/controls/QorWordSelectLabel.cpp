#include "controls/QorWordSelectLabel.h"

TQorWordSelectLabel::TQorWordSelectLabel(QWidget* parent) : QLabel(parent)
{
}

bool TQorWordSelectLabel::IsAnswerRight() const
{
    return m_answerButton && m_answerButton->isChecked();
}
