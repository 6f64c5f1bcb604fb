#pragma once

#include "controls/kznMediaPlayerButtons.h"
#include "controls/kznMediaPlayerGlyphs.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class QPainter;
class TkznMediaPlayer;

// The player's bar of push buttons. The player forwards its paint, mouse,
// keyboard and size handling here and tells it when a device opens, closes or
// completes a command; the bar runs the player's operations and raises its
// OnClick and OnPostClick. Buttons are laid out left to right in TMPBtnType
// order, each ButtonWidth wide, neighbours sharing their one-pixel edge.
// GUI thread only.
class TkznMediaPlayerBar {
public:
    explicit TkznMediaPlayerBar(TkznMediaPlayer& player);

    TButtonSet VisibleButtons() const { return m_visibleButtons; }
    TButtonSet EnabledButtons() const { return m_enabledButtons; }
    TButtonSet ColoredButtons() const { return m_coloredButtons; }
    TButtonSet AutoEnabledButtons() const { return m_autoEnabledButtons; }
    bool AutoEnable() const { return m_autoEnable; }
    void SetVisibleButtons(TButtonSet buttons);
    void SetEnabledButtons(TButtonSet buttons);
    void SetColoredButtons(TButtonSet buttons);
    void SetAutoEnable(bool autoEnable);

    int ButtonWidth() const { return m_buttonWidth; }
    QSize MinButtonSize() const { return m_minButtonSize; }
    TMPBtnType FocusedButton() const { return m_focusedButton; }
    TMPBtnType CurrentButton() const { return m_currentButton; }
    bool IsDown() const { return m_down; }

    // Whether a press or Space may act on `button` now.
    bool IsPressable(TMPBtnType button) const;

    // Takes ButtonWidth from `size` and returns the size the control must
    // have: wide enough for every visible button at its minimum size.
    QSize Fit(QSize size);
    // ButtonWidth from `width` alone, the size left as it is.
    void FitWidth(int width);
    // The width the visible buttons fill at the present ButtonWidth.
    int BarWidth() const;
    // The visible button under x; a shared edge belongs to the left button.
    std::optional<TMPBtnType> ButtonAt(int x) const;

    // Draws the whole client area of the player.
    void Paint(QPainter& painter) const;

    void MousePress(QPoint pos);
    void MouseMove(QPoint pos);
    void MouseRelease();
    // Left, Right and Space; false for any other key.
    bool KeyPress(int key);

    // Automatic enabling, from the device's capabilities.
    void DeviceOpened();
    void DeviceClosed();
    void NotifyArrived();

private:
    int VisibleCount() const;
    // btPlay and btRecord as far as the device can play and record.
    TButtonSet Startable() const;
    void Click();
    void RunAction(TMPBtnType button);
    void ApplyRule(TMPBtnType button);
    void SetAutoEnabledButtons(TButtonSet buttons);
    const QImage& GlyphFor(TMPBtnType button) const;
    void PaintButton(QPainter& painter, int x, TMPBtnType button) const;

    TkznMediaPlayer& m_player;
    TkznMediaPlayerGlyphs m_glyphs;
    TButtonSet m_visibleButtons = TButtonSet::All();
    TButtonSet m_enabledButtons = TButtonSet::All();
    TButtonSet m_coloredButtons = TButtonSet::All();
    TButtonSet m_autoEnabledButtons;
    bool m_autoEnable = true;
    bool m_pressed = false;  // a mouse press is in progress
    bool m_down = false;     // the pressed button is drawn down
    TMPBtnType m_currentButton = TMPBtnType::btPlay;
    QRect m_currentRect;
    int m_buttonWidth = 0;
    QSize m_minButtonSize;
    TMPBtnType m_focusedButton = TMPBtnType::btPlay;
};
