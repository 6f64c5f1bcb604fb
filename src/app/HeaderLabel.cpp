#include "app/HeaderLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

bool HeaderLabel::IsElided() const
{
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

bool HeaderLabel::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(e);
        if (IsElided())
            QToolTip::showText(help->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(e);
}

void HeaderLabel::paintEvent(QPaintEvent* e)
{
    if (!IsElided()) {
        QLabel::paintEvent(e);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect();
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(area, Qt::AlignCenter, fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
}
