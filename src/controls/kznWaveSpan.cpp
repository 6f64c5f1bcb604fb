#include "controls/kznWaveSpan.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QColor kNeighbourFill(222, 222, 222);
const QColor kSpanFill(218, 232, 252);
const QColor kWaveInSpan(32, 74, 160);
const QColor kWaveOutside(128, 128, 128);
const QColor kBeginColour(0, 140, 0);
const QColor kEndColour(200, 0, 0);

// "m:ss" of a whole second.
QString SecondText(int ms)
{
    const int s = ms / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

TkznWaveSpan::TkznWaveSpan(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TkznWaveSpan::SetView(int viewBeginMs, int viewEndMs, std::vector<PeakColumn> peaks)
{
    m_viewBegin = viewBeginMs;
    m_viewEnd = std::max(viewEndMs, viewBeginMs + 1);
    m_peaks = std::move(peaks);
    // The loudest sound fills the height, so a quiet recording still shows
    // where its words are; near-silence is not blown up into noise.
    float loudest = 0.0f;
    for (const PeakColumn& p : m_peaks)
        loudest = std::max({loudest, std::fabs(p.low), std::fabs(p.high)});
    m_gain = 1.0f / std::max(loudest, 0.02f);
    update();
}

void TkznWaveSpan::SetNeighbours(std::optional<Span> previous, std::optional<Span> next)
{
    m_previous = previous;
    m_next = next;
    update();
}

void TkznWaveSpan::SetLimits(int lowestBeginMs, int highestEndMs)
{
    m_lowestBegin = lowestBeginMs;
    m_highestEnd = std::max(highestEndMs, lowestBeginMs + kMinLengthMs);
    SetSpan(m_span.beginMs, m_span.endMs);
}

void TkznWaveSpan::SetSpan(int beginMs, int endMs)
{
    const int begin = std::clamp(beginMs, m_lowestBegin, m_highestEnd - kMinLengthMs);
    const Span span{begin, std::clamp(endMs, begin + kMinLengthMs, m_highestEnd)};
    if (span == m_span)
        return;
    m_span = span;
    update();
    emit SpanChanged(m_span.beginMs, m_span.endMs);
}

void TkznWaveSpan::SetActiveHandle(Handle handle)
{
    m_active = handle;
    update();
}

void TkznWaveSpan::MoveHandle(Handle handle, int ms)
{
    if (handle == Handle::Begin)
        SetSpan(std::min(ms, m_span.endMs - kMinLengthMs), m_span.endMs);
    else
        SetSpan(m_span.beginMs, std::max(ms, m_span.beginMs + kMinLengthMs));
}

int TkznWaveSpan::XOfMs(int ms) const
{
    return static_cast<int>(std::lround(double(ms - m_viewBegin) * width() / double(m_viewEnd - m_viewBegin)));
}

int TkznWaveSpan::MsOfX(int x) const
{
    return m_viewBegin
        + static_cast<int>(std::lround(double(x) * double(m_viewEnd - m_viewBegin) / std::max(width(), 1)));
}

std::optional<TkznWaveSpan::Handle> TkznWaveSpan::HandleNear(int x) const
{
    const int toBegin = std::abs(x - XOfMs(m_span.beginMs));
    const int toEnd = std::abs(x - XOfMs(m_span.endMs));
    if (std::min(toBegin, toEnd) > kGrabPixels)
        return std::nullopt;
    // Handles a pixel apart: the side of the pointer decides.
    if (toBegin == toEnd)
        return x <= XOfMs(m_span.beginMs) ? Handle::Begin : Handle::End;
    return toBegin < toEnd ? Handle::Begin : Handle::End;
}

void TkznWaveSpan::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const int x = static_cast<int>(event->position().x());
    const std::optional<Handle> near = HandleNear(x);
    if (!near) {
        // A click elsewhere picks the nearer handle for the keys, moving nothing.
        const int toBegin = std::abs(x - XOfMs(m_span.beginMs));
        SetActiveHandle(toBegin <= std::abs(x - XOfMs(m_span.endMs)) ? Handle::Begin : Handle::End);
        return;
    }
    m_dragging = near;
    m_grabOffset = x - XOfMs(*near == Handle::Begin ? m_span.beginMs : m_span.endMs);
    SetActiveHandle(*near);
}

void TkznWaveSpan::mouseMoveEvent(QMouseEvent* event)
{
    const int x = static_cast<int>(event->position().x());
    if (m_dragging) {
        MoveHandle(*m_dragging, MsOfX(x - m_grabOffset));
        return;
    }
    setCursor(HandleNear(x) ? Qt::SizeHorCursor : Qt::ArrowCursor);
}

void TkznWaveSpan::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging.reset();
    QWidget::mouseReleaseEvent(event);
}

void TkznWaveSpan::keyPressEvent(QKeyEvent* event)
{
    const int step = event->modifiers() & Qt::ShiftModifier ? kBigStepMs : kStepMs;
    const int at = m_active == Handle::Begin ? m_span.beginMs : m_span.endMs;
    switch (event->key()) {
    case Qt::Key_Left:
        MoveHandle(m_active, at - step);
        break;
    case Qt::Key_Right:
        MoveHandle(m_active, at + step);
        break;
    case Qt::Key_Space:
        emit PlayRequested();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

bool TkznWaveSpan::focusNextPrevChild(bool next)
{
    // The two handles are two stops of the tab chain.
    if (next && m_active == Handle::Begin) {
        SetActiveHandle(Handle::End);
        return true;
    }
    if (!next && m_active == Handle::End) {
        SetActiveHandle(Handle::Begin);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

void TkznWaveSpan::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const int waveHeight = height() - kRulerHeight;
    auto fillSpan = [&](const Span& span, const QColor& colour) {
        const int left = XOfMs(span.beginMs);
        painter.fillRect(QRect(left, 0, XOfMs(span.endMs) - left, waveHeight), colour);
    };
    for (const std::optional<Span>& neighbour : {m_previous, m_next}) {
        if (neighbour)
            fillSpan(*neighbour, kNeighbourFill);
    }
    fillSpan(m_span, kSpanFill);

    const int middle = waveHeight / 2;
    const float scale = m_gain * float(middle - 2);
    const int spanLeft = XOfMs(m_span.beginMs);
    const int spanRight = XOfMs(m_span.endMs);
    if (!m_peaks.empty()) {
        for (int x = 0; x < width(); ++x) {
            const size_t column = std::min(m_peaks.size() - 1, size_t(x) * m_peaks.size() / size_t(width()));
            const PeakColumn& p = m_peaks[column];
            painter.setPen(x >= spanLeft && x < spanRight ? kWaveInSpan : kWaveOutside);
            painter.drawLine(x, middle - int(std::lround(p.high * scale)), x, middle - int(std::lround(p.low * scale)));
        }
    }
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, waveHeight, width(), waveHeight);
    PaintRuler(painter);
    PaintHandle(painter, Handle::Begin);
    PaintHandle(painter, Handle::End);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void TkznWaveSpan::PaintRuler(QPainter& painter) const
{
    // A tick each second, labelled where the labels have room.
    const double pixelsPerSecond = 1000.0 * width() / double(m_viewEnd - m_viewBegin);
    int labelEvery = 1;
    for (int every : {1, 2, 5, 10, 30, 60, 300}) {
        labelEvery = every;
        if (pixelsPerSecond * every >= 48)
            break;
    }
    const int tickEvery = pixelsPerSecond >= 4 ? 1 : labelEvery;
    const int top = height() - kRulerHeight;
    painter.setPen(palette().color(QPalette::WindowText));
    QFont small = font();
    small.setPixelSize(10);
    painter.setFont(small);
    for (int s = (std::max(m_viewBegin, 0) + 999) / 1000; s * 1000 <= m_viewEnd; s += tickEvery) {
        const int x = XOfMs(s * 1000);
        const bool labelled = s % labelEvery == 0;
        painter.drawLine(x, top, x, top + (labelled ? 5 : 3));
        if (labelled)
            painter.drawText(QRect(x - 24, top + 4, 48, kRulerHeight - 4), Qt::AlignHCenter | Qt::AlignTop,
                             SecondText(s * 1000));
    }
}

void TkznWaveSpan::PaintHandle(QPainter& painter, Handle handle) const
{
    const bool active = handle == m_active;
    const QColor colour = handle == Handle::Begin ? kBeginColour : kEndColour;
    const int x = XOfMs(handle == Handle::Begin ? m_span.beginMs : m_span.endMs);
    const int bottom = height() - kRulerHeight;
    painter.setPen(QPen(colour, active ? 3 : 2));
    painter.drawLine(x, 0, x, bottom);
    // A grip at the top, pointing into the sentence; filled on the handle the
    // keys move.
    const int inward = handle == Handle::Begin ? 8 : -8;
    const QPolygon grip({QPoint(x, 0), QPoint(x + inward, 0), QPoint(x, 10)});
    painter.setPen(QPen(colour, 1));
    painter.setBrush(active ? QBrush(colour) : QBrush(palette().color(QPalette::Base)));
    painter.drawPolygon(grip);
    painter.setBrush(Qt::NoBrush);
}
