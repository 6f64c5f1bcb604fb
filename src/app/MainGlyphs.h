#pragma once

#include <QPixmap>

#include <array>

// The main window's 16 x 16 glyphs, drawn once by us. GUI thread only.
class TMainGlyphs {
public:
    enum Index { Speaker = 0, Tick = 1, Cross = 2, Information = 3 };
    static constexpr int kCount = 4;
    static constexpr int kSize = 16;

    TMainGlyphs();

    // The glyph at `index`; an empty pixmap for an index outside 0..3.
    QPixmap Pixmap(int index) const;

private:
    std::array<QPixmap, kCount> m_pixmaps;
};
