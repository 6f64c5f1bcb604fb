#include "app/MainGlyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPixmap blank()
{
    QPixmap pixmap(TMainGlyphs::kSize, TMainGlyphs::kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap speaker()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.moveTo(2, 6);
    body.lineTo(5, 6);
    body.lineTo(9, 2.5);
    body.lineTo(9, 13.5);
    body.lineTo(5, 10);
    body.lineTo(2, 10);
    body.closeSubpath();
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(90, 90, 90));
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(30, 90, 200), 1.3));
    p.drawArc(QRectF(6.5, 5, 5, 6), -60 * 16, 120 * 16);
    p.drawArc(QRectF(5.5, 2.5, 9, 11), -60 * 16, 120 * 16);
    return pixmap;
}

QPixmap tick()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 150, 0), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
    return pixmap;
}

QPixmap cross()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(210, 0, 0), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    return pixmap;
}

QPixmap information()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 70, 160), 1));
    p.setBrush(QColor(50, 110, 210));
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(6.8, 3, 2.4, 2.4));
    p.drawRect(QRectF(6.9, 6.5, 2.2, 6.5));
    return pixmap;
}

} // namespace

TMainGlyphs::TMainGlyphs()
    : m_pixmaps{speaker(), tick(), cross(), information()}
{
}

QPixmap TMainGlyphs::Pixmap(int index) const
{
    if (index < 0 || index >= kCount)
        return QPixmap();
    return m_pixmaps[static_cast<std::size_t>(index)];
}
