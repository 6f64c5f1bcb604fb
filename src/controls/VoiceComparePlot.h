#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <memory>
#include <utility>

class QPainter;
struct TakeComparison;

// A take drawn against its model on the model's time line, in rows from top
// to bottom: the stretches where the two part most (numbered bands reaching
// across every row), the model's waveform, the model's words, the take's
// waveform warped onto the model's time (tinted where the take was slower
// or faster), both pitch contours around each speaker's median, and the
// time axis. A click in the model's row reports the model's time there, a
// click in the take's row the take's own time.
//
// GUI thread only.
class TVoiceComparePlot : public QWidget {
    Q_OBJECT
public:
    enum class Row { Partings, Model, Words, Take, Pitch, Axis };

    explicit TVoiceComparePlot(QWidget* parent = nullptr);
    ~TVoiceComparePlot() override;

    // Without a comparison the plot shows its placeholder text instead.
    void SetComparison(std::shared_ptr<const TakeComparison> comparison);
    const TakeComparison* Comparison() const { return m_comparison.get(); }
    void SetPlaceholder(const QString& text);
    QString Placeholder() const { return m_placeholder; }

    QRect RowRect(Row row) const;
    // The model's time at x, and back.
    double SecondsAt(int x) const;
    int XAt(double seconds) const;

signals:
    void ModelClicked(double modelSeconds);
    void TakeClicked(double takeSeconds);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    QRect PlotArea() const;
    void PaintPartings(QPainter& p) const;
    void PaintWaveform(QPainter& p, QRect row, bool take) const;
    void PaintPace(QPainter& p, QRect row) const;
    void PaintWords(QPainter& p, QRect row) const;
    void PaintPitch(QPainter& p, QRect row) const;
    void PaintAxis(QPainter& p, QRect row) const;
    void PaintRowLabels(QPainter& p) const;
    // Keys of a row's colours: line samples or filled swatches.
    void PaintLegend(QPainter& p, QRect row, const std::pair<QColor, QString> (&keys)[2], bool lines) const;

    std::shared_ptr<const TakeComparison> m_comparison;
    QString m_placeholder;
};
