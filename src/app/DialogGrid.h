#pragma once

#include <QString>

class QTableView;
class QWidget;
class TLessonDataSet;

// The lesson list of a dialog, named `name`: bound to the dataset's shared
// model and cursor, read-only, one whole row selected at a time, no row
// titles, rows as high as the dialog's font needs and the column titles
// centred. The caller sets the column titles. GUI thread only.
QTableView* NewDialogGrid(QWidget* dialog, const QString& name, TLessonDataSet& dataSet);
