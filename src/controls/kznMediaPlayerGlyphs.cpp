#include "controls/kznMediaPlayerGlyphs.h"

#include <QList>

#include <algorithm>
#include <vector>

namespace {

// Indexes into the 16-colour palette.
enum Colour : uint8_t {
    Black, Maroon, Green, Olive, Navy, Purple, Teal, Grey,
    Silver, Red, Lime, Yellow, Blue, Fuchsia, Aqua, White,
};

QList<QRgb> Palette()
{
    QList<QRgb> palette = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
        qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
    };
    // Olive is the glyphs' transparent colour.
    palette[Olive] = qRgba(128, 128, 0, 0);
    return palette;
}

// The pixels a button's symbol covers. Every shape leaves its last column and
// row free for the shadow of the greyed look.
class Shape {
public:
    Shape(int width, int height) : m_width(width), m_height(height), m_on(size_t(width * height)) {}

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool On(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < m_width && y < m_height && m_on[size_t(y * m_width + x)];
    }

    Shape& Rect(int x, int y, int width, int height)
    {
        for (int row = y; row < y + height; ++row)
            Span(x, x + width - 1, row);
        return *this;
    }
    // Pointing right, its flat side at column x, `height` rows from row y.
    Shape& RightTriangle(int x, int y, int height)
    {
        for (int r = 0; r < height; ++r)
            Span(x, x + std::min(r, height - 1 - r), y + r);
        return *this;
    }
    // Pointing left, its flat side at column `right`.
    Shape& LeftTriangle(int right, int y, int height)
    {
        for (int r = 0; r < height; ++r)
            Span(right - std::min(r, height - 1 - r), right, y + r);
        return *this;
    }
    // Pointing up, its base `width` (odd) columns wide from column x.
    Shape& UpTriangle(int x, int y, int width)
    {
        const int half = width / 2;
        for (int r = 0; r <= half; ++r)
            Span(x + half - r, x + half + r, y + r);
        return *this;
    }
    // A disc `diameter` pixels across, its box's corner at (x, y).
    Shape& Disc(int x, int y, int diameter)
    {
        const double radius = diameter / 2.0;
        for (int j = 0; j < diameter; ++j)
            for (int i = 0; i < diameter; ++i) {
                const double dx = i + 0.5 - radius;
                const double dy = j + 0.5 - radius;
                if (dx * dx + dy * dy <= radius * radius)
                    Span(x + i, x + i, y + j);
            }
        return *this;
    }

private:
    void Span(int from, int to, int row)
    {
        for (int x = from; x <= to; ++x)
            m_on[size_t(row * m_width + x)] = true;
    }

    int m_width;
    int m_height;
    std::vector<bool> m_on;
};

// In TMPBtnType order.
std::array<Shape, kMPButtonCount> Shapes()
{
    return {
        std::move(Shape(13, 15).RightTriangle(3, 1, 13)),                   // play
        std::move(Shape(13, 15).Rect(2, 2, 3, 11).Rect(7, 2, 3, 11)),       // pause
        std::move(Shape(13, 15).Rect(2, 3, 8, 8)),                          // stop
        // next and previous
        std::move(Shape(21, 15).RightTriangle(2, 2, 11).RightTriangle(8, 2, 11).Rect(14, 2, 3, 11)),
        std::move(Shape(21, 15).Rect(2, 2, 3, 11).LeftTriangle(10, 2, 11).LeftTriangle(16, 2, 11)),
        std::move(Shape(14, 15).RightTriangle(2, 2, 11).Rect(8, 2, 3, 11)), // step
        std::move(Shape(14, 15).Rect(2, 2, 3, 11).LeftTriangle(10, 2, 11)), // back
        std::move(Shape(13, 15).Disc(1, 2, 10)),                            // record
        std::move(Shape(15, 16).UpTriangle(1, 2, 13).Rect(1, 11, 13, 3)),   // eject
    };
}

// The coloured look: a bright body inside a darker outline.
struct Tint {
    Colour body;
    Colour outline;
};

Tint TintOf(TMPBtnType button)
{
    switch (button) {
    case TMPBtnType::btPlay:
        return {Lime, Green};
    case TMPBtnType::btPause:
        return {Aqua, Teal};
    case TMPBtnType::btStop:
        return {Blue, Navy};
    case TMPBtnType::btRecord:
        return {Red, Maroon};
    case TMPBtnType::btEject:
        return {Fuchsia, Purple};
    default:
        return {Yellow, Black};
    }
}

QImage Draw(const Shape& shape, TkznMediaPlayerGlyphs::Look look, Tint tint)
{
    QImage image(shape.Width(), shape.Height(), QImage::Format_Indexed8);
    image.setColorTable(Palette());
    image.fill(Olive);
    for (int y = 0; y < shape.Height(); ++y)
        for (int x = 0; x < shape.Width(); ++x) {
            const bool on = shape.On(x, y);
            switch (look) {
            case TkznMediaPlayerGlyphs::Enabled:
                if (on)
                    image.setPixel(x, y, Black);
                break;
            case TkznMediaPlayerGlyphs::Disabled:
                // Greyed and etched: a white copy one pixel down and right.
                if (on)
                    image.setPixel(x, y, Grey);
                else if (shape.On(x - 1, y - 1))
                    image.setPixel(x, y, White);
                break;
            case TkznMediaPlayerGlyphs::Colored:
                if (on) {
                    const bool edge = !shape.On(x - 1, y) || !shape.On(x + 1, y) ||
                                      !shape.On(x, y - 1) || !shape.On(x, y + 1);
                    image.setPixel(x, y, edge ? tint.outline : tint.body);
                }
                break;
            }
        }
    return image;
}

} // namespace

TkznMediaPlayerGlyphs::TkznMediaPlayerGlyphs()
{
    const std::array<Shape, kMPButtonCount> shapes = Shapes();
    for (int b = 0; b < kMPButtonCount; ++b)
        for (int look = 0; look < kLookCount; ++look)
            m_glyphs[size_t(b)][size_t(look)] = Draw(shapes[size_t(b)], Look(look), TintOf(TMPBtnType(b)));
}

QSize TkznMediaPlayerGlyphs::MaxSize() const
{
    QSize max(0, 0);
    for (const auto& looks : m_glyphs)
        for (const QImage& glyph : looks)
            max = max.expandedTo(glyph.size());
    return max;
}
