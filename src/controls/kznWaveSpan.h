#pragma once

#include "audio/WaveformPeaks.h"

#include <QWidget>

#include <optional>
#include <vector>

class QPainter;

// A picture of a stretch of the lesson recording with one sentence's begin
// and end as two handles: the neighbours' spans in grey, the sentence's own
// span tinted. The learner drags a handle with the mouse, or moves the active
// one with ← → (10 ms a press, 100 ms with Shift); Tab and Shift+Tab go from
// one handle to the other before leaving the control, Space asks to hear the
// sentence. Handles never cross each other (they stay kMinLengthMs apart) nor
// leave their limits, which the owner sets at the neighbours' spans.
//
// GUI thread only.
class TkznWaveSpan final : public QWidget {
    Q_OBJECT
public:
    enum class Handle { Begin, End };
    struct Span {
        int beginMs = 0;
        int endMs = 0;
        bool operator==(const Span&) const = default;
    };

    static constexpr int kMinLengthMs = 10;
    static constexpr int kStepMs = 10;
    static constexpr int kBigStepMs = 100;
    static constexpr int kGrabPixels = 6;
    static constexpr int kRulerHeight = 16;

    explicit TkznWaveSpan(QWidget* parent = nullptr);

    // The stretch shown, viewBeginMs..viewEndMs, with its peaks: best one
    // per pixel column of the control's width.
    void SetView(int viewBeginMs, int viewEndMs, std::vector<PeakColumn> peaks);
    // The neighbours' spans, drawn grey; either may be missing.
    void SetNeighbours(std::optional<Span> previous, std::optional<Span> next);
    // The begin never goes below lowestBeginMs, the end never above
    // highestEndMs.
    void SetLimits(int lowestBeginMs, int highestEndMs);
    // Places both handles inside the limits, the end at least kMinLengthMs
    // after the begin.
    void SetSpan(int beginMs, int endMs);

    Span CurrentSpan() const { return m_span; }
    Handle ActiveHandle() const { return m_active; }
    void SetActiveHandle(Handle handle);

    // Where a time of the view lies across the control, and back.
    int XOfMs(int ms) const;
    int MsOfX(int x) const;

signals:
    void SpanChanged(int beginMs, int endMs);
    void PlayRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void MoveHandle(Handle handle, int ms);
    std::optional<Handle> HandleNear(int x) const;
    void PaintRuler(QPainter& painter) const;
    void PaintHandle(QPainter& painter, Handle handle) const;

    int m_viewBegin = 0;
    int m_viewEnd = 1;
    std::vector<PeakColumn> m_peaks;
    float m_gain = 1.0f;
    std::optional<Span> m_previous;
    std::optional<Span> m_next;
    int m_lowestBegin = 0;
    int m_highestEnd = 1;
    Span m_span{0, 1};
    Handle m_active = Handle::Begin;
    std::optional<Handle> m_dragging;
    int m_grabOffset = 0;  // pointer x minus handle x when the drag began
};
