#include "controls/VoiceComparePlot.h"

#include "analysis/AnalysisVoice.h"
#include "analysis/TakeComparison.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kLabelWidth = 44;
constexpr int kMargin = 6;
constexpr int kPartingsHeight = 20;
constexpr int kWordsHeight = 20;
constexpr int kAxisHeight = 22;
constexpr int kRowGap = 4;
constexpr double kPitchRange = 12.0;  // semitones shown each side of the median
// A voice quieter than this is drawn small rather than blown up to full height.
constexpr float kLeastDrawnPeak = 0.0316f;  // −30 dBFS

const QColor kModelWave(52, 73, 94);
const QColor kTakeWave(39, 135, 84);
const QColor kModelPitch(44, 111, 187);
const QColor kTakePitch(230, 126, 34);
const QColor kSlower(240, 160, 60);
const QColor kFaster(90, 160, 230);
const QColor kParting(230, 60, 50);

const QString kNumbers[] = {QStringLiteral("①"), QStringLiteral("②"), QStringLiteral("③")};

float PeakOf(const std::vector<float>& v)
{
    float peak = 0;
    for (float s : v)
        peak = std::max(peak, std::fabs(s));
    return peak;
}

// The lowest and highest sample from..to (at least one sample, when any lies there).
std::pair<float, float> Extent(const std::vector<float>& v, double from, double to)
{
    const auto size = std::ptrdiff_t(v.size());
    std::ptrdiff_t a = std::clamp<std::ptrdiff_t>(std::ptrdiff_t(std::floor(from)), 0, size);
    std::ptrdiff_t b = std::clamp<std::ptrdiff_t>(std::ptrdiff_t(std::ceil(to)), 0, size);
    if (b <= a)
        b = std::min(a + 1, size);
    if (a >= b)
        return {0.0f, 0.0f};
    const auto [lo, hi] = std::minmax_element(v.begin() + a, v.begin() + b);
    return {*lo, *hi};
}

} // namespace

TVoiceComparePlot::TVoiceComparePlot(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("VoiceComparePlot"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

TVoiceComparePlot::~TVoiceComparePlot() = default;

void TVoiceComparePlot::SetComparison(std::shared_ptr<const TakeComparison> comparison)
{
    m_comparison = std::move(comparison);
    update();
}

void TVoiceComparePlot::SetPlaceholder(const QString& text)
{
    m_placeholder = text;
    update();
}

QSize TVoiceComparePlot::sizeHint() const
{
    return {720, 380};
}

QSize TVoiceComparePlot::minimumSizeHint() const
{
    return {360, 240};
}

QRect TVoiceComparePlot::PlotArea() const
{
    return rect().adjusted(kLabelWidth, kMargin, -kMargin, -kMargin);
}

QRect TVoiceComparePlot::RowRect(Row row) const
{
    const QRect area = PlotArea();
    // Fixed rows keep their height; the two waveforms and the pitch share the rest.
    const int fixed = kPartingsHeight + kWordsHeight + kAxisHeight + 4 * kRowGap;
    const int flexible = std::max(60, area.height() - fixed);
    const int wave = flexible * 3 / 10;
    const int pitch = flexible - 2 * wave;
    const int heights[] = {kPartingsHeight, wave, kWordsHeight, wave, pitch, kAxisHeight};
    const int gaps[] = {0, kRowGap, 0, kRowGap, kRowGap, kRowGap};
    int y = area.top();
    for (int i = 0; i <= int(row); ++i) {
        y += gaps[i];
        if (i == int(row))
            return QRect(area.left(), y, area.width(), heights[i]);
        y += heights[i];
    }
    return {};
}

double TVoiceComparePlot::SecondsAt(int x) const
{
    const QRect area = PlotArea();
    const double seconds = m_comparison ? m_comparison->ModelSeconds() : 0.0;
    if (area.width() <= 0)
        return 0.0;
    return std::clamp(double(x - area.left()) / area.width() * seconds, 0.0, seconds);
}

int TVoiceComparePlot::XAt(double seconds) const
{
    const QRect area = PlotArea();
    const double total = m_comparison ? m_comparison->ModelSeconds() : 0.0;
    return total > 0 ? area.left() + int(std::lround(seconds / total * area.width())) : area.left();
}

void TVoiceComparePlot::mousePressEvent(QMouseEvent* event)
{
    if (!m_comparison || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    const double seconds = SecondsAt(at.x());
    // The label column belongs to its row too: a click there starts at 0.
    auto inRow = [&](Row row) { return at.y() >= RowRect(row).top() && at.y() <= RowRect(row).bottom(); };
    if (inRow(Row::Model) || inRow(Row::Words))
        emit ModelClicked(seconds);
    else if (inRow(Row::Take))
        emit TakeClicked(m_comparison->TakeSecondsAt(seconds));
}

void TVoiceComparePlot::mouseMoveEvent(QMouseEvent* event)
{
    const int y = int(event->position().y());
    const bool playable = m_comparison
        && ((y >= RowRect(Row::Model).top() && y <= RowRect(Row::Words).bottom())
            || (y >= RowRect(Row::Take).top() && y <= RowRect(Row::Take).bottom()));
    setCursor(playable ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TVoiceComparePlot::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!m_comparison) {
        p.setPen(palette().color(QPalette::PlaceholderText));
        p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_placeholder);
        return;
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    for (Row row : {Row::Model, Row::Take})
        p.fillRect(RowRect(row), QColor(246, 247, 249));
    PaintPace(p, RowRect(Row::Take));
    PaintPartings(p);
    PaintWaveform(p, RowRect(Row::Model), false);
    PaintWaveform(p, RowRect(Row::Take), true);
    PaintWords(p, RowRect(Row::Words));
    PaintPitch(p, RowRect(Row::Pitch));
    PaintAxis(p, RowRect(Row::Axis));
    PaintRowLabels(p);
    PaintLegend(p, RowRect(Row::Take), {{kSlower, QStringLiteral("较慢")}, {kFaster, QStringLiteral("较快")}}, false);
    PaintLegend(p, RowRect(Row::Pitch), {{kModelPitch, QStringLiteral("范读")}, {kTakePitch, QStringLiteral("跟读")}}, true);
}

void TVoiceComparePlot::PaintPartings(QPainter& p) const
{
    const QRect band = RowRect(Row::Partings);
    const int bottom = RowRect(Row::Pitch).bottom();
    const int right = PlotArea().right();
    for (std::size_t i = 0; i < m_comparison->partings.size(); ++i) {
        const Parting& part = m_comparison->partings[i];
        const int x0 = XAt(part.firstFrame * kFrameSeconds);
        const int x1 = std::max(x0 + 2, XAt((part.lastFrame + 1) * kFrameSeconds));
        QColor fill = kParting;
        fill.setAlpha(36);
        p.fillRect(QRect(QPoint(x0, band.top()), QPoint(x1, bottom)), fill);
        p.setPen(QPen(kParting, 1, Qt::DashLine));
        p.drawLine(x0, band.top(), x0, bottom);
        p.drawLine(x1, band.top(), x1, bottom);
        // The label may run past a narrow band, not past the plot.
        const QString label = kNumbers[i] + QLatin1Char(' ') + part.words.join(QLatin1Char(' '));
        const int width = std::max(x1 - x0 - 4, std::min(160, right - x0 - 4));
        p.setPen(kParting.darker(130));
        p.drawText(QRect(x0 + 3, band.top(), width, band.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   p.fontMetrics().elidedText(label, Qt::ElideRight, width));
    }
}

void TVoiceComparePlot::PaintWaveform(QPainter& p, QRect row, bool take) const
{
    const TakeComparison& c = *m_comparison;
    const std::vector<float>& voice = take ? c.take : c.model;
    const float scale = 1.0f / std::max(PeakOf(voice), kLeastDrawnPeak);
    const double middle = row.center().y();
    const double half = row.height() / 2.0 - 1.0;
    p.setPen(QColor(210, 214, 220));
    p.drawLine(row.left(), int(middle), row.right(), int(middle));
    p.setPen(take ? kTakeWave : kModelWave);
    for (int x = row.left(); x <= row.right(); ++x) {
        double from = SecondsAt(x);
        double to = SecondsAt(x + 1);
        if (take) {
            from = c.TakeSecondsAt(from);
            to = c.TakeSecondsAt(to);
        }
        const auto [lo, hi] = Extent(voice, from * kAnalysisRate, to * kAnalysisRate);
        p.drawLine(x, int(std::lround(middle - hi * scale * half)), x, int(std::lround(middle - lo * scale * half)));
    }
}

void TVoiceComparePlot::PaintPace(QPainter& p, QRect row) const
{
    const TakeComparison& c = *m_comparison;
    if (c.pace.empty())
        return;
    for (int x = row.left(); x <= row.right(); ++x) {
        const std::size_t k = std::min(c.pace.size() - 1, std::size_t(SecondsAt(x) / kFrameSeconds));
        const double octave = std::log2(std::max(c.pace[k], 1e-3f));
        // A fifth slower or faster starts to show; twice or half is full colour.
        if (std::fabs(octave) < 0.3)
            continue;
        QColor tint = octave > 0 ? kSlower : kFaster;
        tint.setAlpha(int(std::min(1.0, std::fabs(octave)) * 150));
        p.fillRect(QRect(x, row.top(), 1, row.height()), tint);
    }
}

void TVoiceComparePlot::PaintWords(QPainter& p, QRect row) const
{
    p.setPen(QColor(120, 120, 120));
    for (const PlacedWord& w : m_comparison->words) {
        const int x0 = XAt(w.begin);
        const int x1 = XAt(w.end);
        p.setPen(QColor(190, 190, 190));
        p.drawLine(x0, row.top(), x0, row.top() + 5);
        p.setPen(QColor(40, 40, 40));
        const int width = std::max(x1 - x0, 8);
        p.drawText(QRect(x0, row.top(), width, row.height()), Qt::AlignHCenter | Qt::AlignVCenter,
                   p.fontMetrics().elidedText(w.text, Qt::ElideRight, width));
    }
}

void TVoiceComparePlot::PaintPitch(QPainter& p, QRect row) const
{
    const TakeComparison& c = *m_comparison;
    auto yOf = [&](double semitones) {
        const double clamped = std::clamp(semitones, -kPitchRange, kPitchRange);
        return row.center().y() - clamped / kPitchRange * (row.height() / 2.0 - 2.0);
    };
    for (int st : {-12, -6, 0, 6, 12}) {
        p.setPen(QPen(QColor(215, 218, 224), 1, st == 0 ? Qt::SolidLine : Qt::DotLine));
        p.drawLine(row.left(), int(yOf(st)), row.right(), int(yOf(st)));
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    auto contour = [&](const QColor& colour, auto semitonesAt) {
        QPainterPath path;
        bool drawing = false;
        for (int k = 0; k < c.ModelFrames(); ++k) {
            const float st = semitonesAt(k);
            if (std::isnan(st)) {
                drawing = false;
                continue;
            }
            const QPointF at(XAt(k * kFrameSeconds), yOf(st));
            if (drawing)
                path.lineTo(at);
            else
                path.moveTo(at);
            drawing = true;
        }
        p.setPen(QPen(colour, 2));
        p.drawPath(path);
    };
    contour(kModelPitch, [&](int k) { return c.modelPitch[std::size_t(k)]; });
    contour(kTakePitch, [&](int k) { return c.TakePitchAtModelFrame(k); });
    p.setRenderHint(QPainter::Antialiasing, false);
}

void TVoiceComparePlot::PaintAxis(QPainter& p, QRect row) const
{
    const double total = m_comparison->ModelSeconds();
    const double perSecond = total > 0 ? row.width() / total : 0;
    const double step = perSecond >= 120 ? 0.25 : perSecond >= 50 ? 0.5 : 1.0;
    p.setPen(QColor(120, 120, 120));
    p.drawLine(row.left(), row.top(), row.right(), row.top());
    const QFontMetrics fm = p.fontMetrics();
    for (double t = 0; t <= total + 1e-9; t += step) {
        const int x = XAt(t);
        p.drawLine(x, row.top(), x, row.top() + 4);
        const QString label = QString::number(t, 'g', 3);
        p.drawText(x - fm.horizontalAdvance(label) / 2, row.top() + 4 + fm.ascent(), label);
    }
    p.drawText(row.left() - kLabelWidth + 4, row.top() + 4 + fm.ascent(), QStringLiteral("秒"));
}

void TVoiceComparePlot::PaintLegend(QPainter& p, QRect row, const std::pair<QColor, QString> (&keys)[2], bool lines) const
{
    // Right to left from the row's top right corner, on a veil that keeps
    // it readable over a waveform.
    const QFontMetrics fm = p.fontMetrics();
    const int middle = row.top() + 2 + fm.height() / 2;
    int width = 0;
    for (const auto& [colour, text] : keys)
        width += fm.horizontalAdvance(text) + 32;
    p.fillRect(QRect(row.right() - width - 2, row.top() + 1, width + 2, fm.height() + 2), QColor(255, 255, 255, 200));
    int x = row.right() - 4;
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
        const auto& [colour, text] = *it;
        x -= fm.horizontalAdvance(text);
        p.setPen(QColor(60, 60, 60));
        p.drawText(x, row.top() + 2 + fm.ascent(), text);
        x -= 20;
        if (lines) {
            p.setPen(QPen(colour, 2));
            p.drawLine(x, middle, x + 16, middle);
        } else {
            QColor swatch = colour;
            swatch.setAlpha(150);
            p.fillRect(QRect(x + 4, middle - 5, 12, 10), swatch);
        }
        x -= 12;
    }
}

void TVoiceComparePlot::PaintRowLabels(QPainter& p) const
{
    p.setPen(QColor(60, 60, 60));
    const std::pair<Row, QString> labels[] = {
        {Row::Model, QStringLiteral("范读")}, {Row::Take, QStringLiteral("跟读")}, {Row::Pitch, QStringLiteral("音高")}};
    for (const auto& [row, text] : labels) {
        const QRect r = RowRect(row);
        p.drawText(QRect(0, r.top(), kLabelWidth - 4, r.height()), Qt::AlignRight | Qt::AlignVCenter, text);
    }
}
