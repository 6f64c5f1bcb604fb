#include "controls/kznMediaPlayerBar.h"

#include "controls/kznMediaPlayer.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace {

using enum TMPBtnType;

constexpr TButtonSet kPauseAndStop{btPause, btStop};

} // namespace

TkznMediaPlayerBar::TkznMediaPlayerBar(TkznMediaPlayer& player)
    : m_player(player)
{
    const QSize glyph = m_glyphs.MaxSize();
    m_minButtonSize = QSize(glyph.width() + 8, glyph.height() + 4);
}

void TkznMediaPlayerBar::SetVisibleButtons(TButtonSet buttons)
{
    m_visibleButtons = buttons;
    // Space must never act on a button nobody can see.
    if (!buttons.Contains(m_focusedButton))
        for (int b = 0; b < kMPButtonCount; ++b)
            if (buttons.Contains(TMPBtnType(b))) {
                m_focusedButton = TMPBtnType(b);
                break;
            }
    m_player.update();
}

void TkznMediaPlayerBar::SetEnabledButtons(TButtonSet buttons)
{
    m_enabledButtons = buttons;
    m_player.update();
}

void TkznMediaPlayerBar::SetColoredButtons(TButtonSet buttons)
{
    m_coloredButtons = buttons;
    m_player.update();
}

void TkznMediaPlayerBar::SetAutoEnable(bool autoEnable)
{
    m_autoEnable = autoEnable;
    m_player.update();
}

bool TkznMediaPlayerBar::IsPressable(TMPBtnType button) const
{
    return m_autoEnable ? m_autoEnabledButtons.Contains(button) : m_enabledButtons.Contains(button);
}

int TkznMediaPlayerBar::VisibleCount() const
{
    return std::max(1, m_visibleButtons.Count());
}

void TkznMediaPlayerBar::FitWidth(int width)
{
    m_buttonWidth = (width - 1) / VisibleCount() + 1;
}

QSize TkznMediaPlayerBar::Fit(QSize size)
{
    const int count = VisibleCount();
    FitWidth(size.width());
    const int width = std::max(BarWidth(), count * (m_minButtonSize.width() - 1) + 1);
    FitWidth(width);
    return QSize(width, std::max(size.height(), m_minButtonSize.height()));
}

int TkznMediaPlayerBar::BarWidth() const
{
    return VisibleCount() * (m_buttonWidth - 1) + 1;
}

std::optional<TMPBtnType> TkznMediaPlayerBar::ButtonAt(int x) const
{
    int left = 0;
    for (int b = 0; b < kMPButtonCount; ++b) {
        if (!m_visibleButtons.Contains(TMPBtnType(b)))
            continue;
        if (x >= left && x < left + m_buttonWidth)
            return TMPBtnType(b);
        left += m_buttonWidth - 1;
    }
    return std::nullopt;
}

void TkznMediaPlayerBar::MousePress(QPoint pos)
{
    const std::optional<TMPBtnType> button = ButtonAt(pos.x());
    if (!button || !IsPressable(*button))
        return;
    int left = 0;
    for (int b = 0; b < int(*button); ++b)
        if (m_visibleButtons.Contains(TMPBtnType(b)))
            left += m_buttonWidth - 1;
    m_currentRect = QRect(left, 0, m_buttonWidth, m_player.height());
    m_focusedButton = m_currentButton = *button;
    m_pressed = m_down = true;
    m_player.update();
}

void TkznMediaPlayerBar::MouseMove(QPoint pos)
{
    if (!m_pressed || m_currentRect.contains(pos) == m_down)
        return;
    m_down = !m_down;
    m_player.update();
}

void TkznMediaPlayerBar::MouseRelease()
{
    if (!m_pressed)
        return;
    m_pressed = false;
    if (!m_down)
        return;
    m_down = false;
    m_player.update();
    Click();
}

bool TkznMediaPlayerBar::KeyPress(int key)
{
    const int step = key == Qt::Key_Left ? -1 : key == Qt::Key_Right ? 1 : 0;
    if (step != 0) {
        for (int b = int(m_focusedButton) + step; b >= 0 && b < kMPButtonCount; b += step)
            if (m_visibleButtons.Contains(TMPBtnType(b))) {
                m_focusedButton = TMPBtnType(b);
                m_player.update();
                break;
            }
        return true;
    }
    if (key != Qt::Key_Space)
        return false;
    // Space acts only where a press could: the button is shown and may be pressed.
    if (m_visibleButtons.Contains(m_focusedButton) && IsPressable(m_focusedButton)) {
        m_currentButton = m_focusedButton;
        Click();
    }
    return true;
}

void TkznMediaPlayerBar::Click()
{
    const TMPBtnType button = m_currentButton;
    bool doDefault = true;
    emit m_player.OnClick(&m_player, button, doDefault);
    if (doDefault) {
        RunAction(button);
        emit m_player.OnPostClick(&m_player, button);
    }
    // A handler that cancels the action may have run one of its own.
    if (m_autoEnable && m_player.LastError() == TkznMediaPlayer::NoError && m_player.Opened())
        ApplyRule(button);
}

void TkznMediaPlayerBar::RunAction(TMPBtnType button)
{
    switch (button) {
    case btPlay:
        m_player.Play();
        break;
    case btPause:
        m_player.Pause();
        break;
    case btStop:
        m_player.Stop();
        break;
    case btNext:
        m_player.Next();
        break;
    case btPrev:
        m_player.Previous();
        break;
    case btStep:
        m_player.Step();
        break;
    case btBack:
        m_player.Back();
        break;
    case btRecord:
        m_player.StartRecording();
        break;
    case btEject:
        m_player.Eject();
        break;
    }
}

TButtonSet TkznMediaPlayerBar::Startable() const
{
    TButtonSet buttons;
    if (m_player.CanPlay())
        buttons = buttons + TButtonSet{btPlay};
    if (m_player.CanRecord())
        buttons = buttons + TButtonSet{btRecord};
    return buttons;
}

void TkznMediaPlayerBar::ApplyRule(TMPBtnType button)
{
    switch (button) {
    case btPlay:
    case btRecord:
        SetAutoEnabledButtons(m_autoEnabledButtons - TButtonSet{btPlay, btRecord} + kPauseAndStop);
        break;
    case btPause:
        SetAutoEnabledButtons(m_autoEnabledButtons + Startable());
        break;
    default:
        SetAutoEnabledButtons(m_autoEnabledButtons + Startable() - kPauseAndStop);
        break;
    }
}

void TkznMediaPlayerBar::SetAutoEnabledButtons(TButtonSet buttons)
{
    m_autoEnabledButtons = buttons;
    m_player.update();
}

void TkznMediaPlayerBar::DeviceOpened()
{
    TButtonSet buttons = Startable() + TButtonSet{btNext, btPrev};
    if (m_player.CanStep())
        buttons = buttons + TButtonSet{btStep, btBack};
    if (m_player.CanEject())
        buttons = buttons + TButtonSet{btEject};
    SetAutoEnabledButtons(buttons);
}

void TkznMediaPlayerBar::DeviceClosed()
{
    SetAutoEnabledButtons({});
}

void TkznMediaPlayerBar::NotifyArrived()
{
    if (m_autoEnable && m_player.Mode() == TMPModes::mpStopped)
        SetAutoEnabledButtons(m_autoEnabledButtons + Startable() - kPauseAndStop);
}

const QImage& TkznMediaPlayerBar::GlyphFor(TMPBtnType button) const
{
    if (!m_player.isEnabled() || !IsPressable(button))
        return m_glyphs.Glyph(TkznMediaPlayerGlyphs::Disabled, button);
    return m_glyphs.Glyph(m_coloredButtons.Contains(button) ? TkznMediaPlayerGlyphs::Colored
                                                            : TkznMediaPlayerGlyphs::Enabled,
                          button);
}

namespace {

void Outline(QPainter& painter, const QRect& rect, const QColor& colour)
{
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), colour);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), colour);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), colour);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), colour);
}

} // namespace

void TkznMediaPlayerBar::Paint(QPainter& painter) const
{
    const QRect client = m_player.rect();
    painter.fillRect(client, m_player.palette().color(QPalette::Button));
    Outline(painter, client, m_player.palette().color(QPalette::Shadow));
    int x = 0;
    for (int b = 0; b < kMPButtonCount; ++b)
        if (m_visibleButtons.Contains(TMPBtnType(b))) {
            PaintButton(painter, x, TMPBtnType(b));
            x += m_buttonWidth - 1;
        }
}

void TkznMediaPlayerBar::PaintButton(QPainter& painter, int x, TMPBtnType button) const
{
    const QPalette& palette = m_player.palette();
    const QRect rect(x, 0, m_buttonWidth, m_player.height());
    const bool down = m_down && button == m_currentButton;
    painter.fillRect(rect, palette.color(QPalette::Button));
    Outline(painter, rect, palette.color(QPalette::Shadow));

    const QRect inner = rect.adjusted(1, 1, -1, -1);
    const QColor shadow = palette.color(QPalette::Dark);
    if (!down) {
        const QColor light = palette.color(QPalette::Light);
        painter.fillRect(QRect(inner.left(), inner.top(), 1, inner.height()), light);
        painter.fillRect(QRect(inner.left(), inner.top(), inner.width(), 1), light);
        painter.fillRect(QRect(inner.left(), inner.bottom(), inner.width(), 1), shadow);
        painter.fillRect(QRect(inner.right(), inner.top(), 1, inner.height()), shadow);
    } else {
        painter.fillRect(QRect(inner.left(), inner.top(), 1, inner.height()), shadow);
        painter.fillRect(QRect(inner.left(), inner.top(), inner.width(), 1), shadow);
    }

    const QImage& glyph = GlyphFor(button);
    const QPoint shift = down ? QPoint(1, 1) : QPoint(0, 0);
    painter.drawImage(QPoint(x + m_buttonWidth / 2 - glyph.width() / 2,
                             rect.height() / 2 - glyph.height() / 2) + shift,
                      glyph);

    if (m_player.hasFocus() && button == m_focusedButton) {
        // A dotted line, every other pixel, like the system's focus rectangle.
        QPen pen(palette.color(QPalette::WindowText), 0);
        pen.setDashPattern({1, 1});
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(3, 3, -4, -4).translated(shift));
    }
}
