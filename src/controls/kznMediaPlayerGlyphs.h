#pragma once

#include "controls/kznMediaPlayerButtons.h"

#include <QImage>
#include <QSize>

#include <array>

// The button bar's 27 glyphs, drawn by us: for each button a plain look (the
// button may be pressed), a greyed one (it may not) and a coloured one. They
// are 16-colour images whose olive pixels are transparent.
class TkznMediaPlayerGlyphs {
public:
    enum Look { Enabled, Disabled, Colored };
    static constexpr int kLookCount = 3;

    TkznMediaPlayerGlyphs();

    const QImage& Glyph(Look look, TMPBtnType button) const { return m_glyphs[size_t(button)][look]; }
    // The widest and the tallest of them all.
    QSize MaxSize() const;

private:
    std::array<std::array<QImage, kLookCount>, kMPButtonCount> m_glyphs;
};
