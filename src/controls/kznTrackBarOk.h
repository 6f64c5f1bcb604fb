#pragma once

#include <QSlider>

// The horizontal speed slider of the settings dialog: a tick under every
// position and a plain channel, without the filled part some styles draw
// between the start and the handle (a range band would suggest a selection
// where there is only one value). GUI thread only.
class TkznTrackBarOk : public QSlider {
    Q_OBJECT
public:
    explicit TkznTrackBarOk(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
