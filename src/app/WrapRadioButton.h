#pragma once

#include <QRadioButton>

// A radio button whose caption wraps inside the button's fixed size and is
// centred vertically, for option texts longer than one line. The whole
// button area takes clicks. GUI thread only.
class TWrapRadioButton final : public QRadioButton {
    Q_OBJECT
public:
    explicit TWrapRadioButton(QWidget* parent = nullptr) : QRadioButton(parent) {}

protected:
    bool hitButton(const QPoint& pos) const override;
    void paintEvent(QPaintEvent* event) override;
};
