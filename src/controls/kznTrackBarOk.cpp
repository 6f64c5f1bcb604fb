#include "controls/kznTrackBarOk.h"

#include <QStyleOptionSlider>
#include <QStylePainter>

TkznTrackBarOk::TkznTrackBarOk(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(1);
    setSingleStep(1);
    setPageStep(2);
}

void TkznTrackBarOk::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);

    // Styles fill the channel up to the handle's position; drawing the channel
    // as if the handle sat at the minimum leaves that fill empty.
    QStyleOptionSlider channel = option;
    channel.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderTickmarks;
    channel.activeSubControls = QStyle::SC_None;
    channel.sliderPosition = minimum();
    channel.sliderValue = minimum();
    painter.drawComplexControl(QStyle::CC_Slider, channel);

    QStyleOptionSlider handle = option;
    handle.subControls = QStyle::SC_SliderHandle;
    painter.drawComplexControl(QStyle::CC_Slider, handle);
}
