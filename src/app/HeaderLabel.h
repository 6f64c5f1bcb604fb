#pragma once

#include <QLabel>

// The lesson header: one line, centred. A title too wide for it ends in "…"
// and shows whole as the label's tooltip; text() is always the whole title.
// (Two lines of the header's font do not fit its height, so wrapping would
// show the halves of both.)
class HeaderLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    bool IsElided() const;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
};
