#pragma once

#include <QRect>
#include <QString>

class QPushButton;
class QWidget;

// A push button of a main-window page, placed at `geometry`, with a caption
// in 宋体 12 px. GUI thread only.
QPushButton* PageButton(QWidget* page, const QString& name, const QString& caption, QRect geometry);
