#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;
class TDM;

// Runs the lesson selection dialog modally over `owner` and opens the chosen
// lesson through `dm`. True when a lesson was opened; the caller then
// refreshes its view. A failed open has shown its message and leaves the
// previous lesson open; Cancel opens nothing.
bool SelectLesson(QWidget* owner, TDM& dm);
