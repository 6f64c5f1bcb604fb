#pragma once

#include <QRect>
#include <QString>

#include <functional>

class QPushButton;
class QWidget;

// A push button of a main-window page, placed at `geometry`, with a caption
// in 宋体 12 px. GUI thread only.
QPushButton* PageButton(QWidget* page, const QString& name, const QString& caption, QRect geometry);

// Refreshes a page's buttons however the handler ends.
struct ButtonRefresh {
    std::function<void()> refresh;
    ~ButtonRefresh() { refresh(); }
};
