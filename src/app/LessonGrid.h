#pragma once

#include <QTableView>

// A table view over a lesson dataset's shared model and cursor. The dataset
// keeps the shared current index in its first column, which the grids hide,
// and a table view moves its cursor only between shown cells; this one
// starts each key move from the first shown cell of the current row, so
// every key that moves a row in a table (arrows, page keys, Ctrl+Home,
// Ctrl+End) moves it here, just as a click on the row does. Rows are
// selected whole, so Home and End go to the first and last row too.
// GUI thread only.
class TLessonGrid final : public QTableView {
    Q_OBJECT
public:
    explicit TLessonGrid(QWidget* parent = nullptr) : QTableView(parent) {}

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};
