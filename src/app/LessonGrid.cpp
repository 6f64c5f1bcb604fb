#include "app/LessonGrid.h"

#include <QItemSelectionModel>
#include <QSignalBlocker>

QModelIndex TLessonGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Whole rows are selected, so there is no column to go to: Home and End
    // go to the first and last row, as with Ctrl.
    if (action == MoveHome || action == MoveEnd)
        modifiers |= Qt::ControlModifier;
    const QModelIndex current = currentIndex();
    QItemSelectionModel* selection = selectionModel();
    if (!current.isValid() || !selection || !isColumnHidden(current.column()))
        return QTableView::moveCursor(action, modifiers);
    int shown = 0;
    while (shown < model()->columnCount(rootIndex()) && isColumnHidden(shown))
        ++shown;
    if (shown == model()->columnCount(rootIndex()))
        return QTableView::moveCursor(action, modifiers);
    // Only this view looks at the borrowed cell, and only for this move:
    // the other views sharing the cursor hear nothing of it.
    const QSignalBlocker quiet(selection);
    selection->setCurrentIndex(current.siblingAtColumn(shown), QItemSelectionModel::NoUpdate);
    const QModelIndex target = QTableView::moveCursor(action, modifiers);
    selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    return target;
}
