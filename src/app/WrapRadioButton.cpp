#include "app/WrapRadioButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

bool TWrapRadioButton::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

void TWrapRadioButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    const bool focused = option.state & QStyle::State_HasFocus;

    // The indicator alone, centred vertically like the text beside it.
    option.text.clear();
    option.state &= ~QStyle::State_HasFocus;
    const QRect indicator = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
    option.rect = QRect(indicator.left(), (height() - indicator.height()) / 2, indicator.width(), indicator.height());
    style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &option, &painter, this);

    const int textLeft = indicator.right() + 1 + style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, this);
    const QRect textRect(textLeft, 0, width() - textLeft, height());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    painter.drawText(textRect, flags, caption);
    if (focused) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = painter.boundingRect(textRect, flags, caption).adjusted(-1, 0, 1, 0) & rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}
