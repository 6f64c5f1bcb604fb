#pragma once

#include "data/DMUnit.h"
#include "data/LessonDataSet.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableView;

// Runs the dialog "今日复习" modally over `owner`: the lessons whose next
// review is due at `now`. On OK or a double-click the chosen lesson is opened
// through `dm`; true then, and the caller refreshes its view. A catalogue that
// cannot be read or a lesson that cannot be opened shows its message; Cancel
// opens nothing.
bool ReviewLesson(QWidget* owner, TDM& dm, const QDateTime& now);

// The list of due lessons, oldest due first: book, title, study count, last
// study date and next review date. An empty list says so instead. Created
// fresh for each showing; it never writes. GUI thread only.
class TReviewForm : public QDialog {
    Q_OBJECT
public:
    TReviewForm(QWidget* owner, const QVector<TDM::DueLesson>& due);

    // FID of the list's current row; 0 when the list is empty.
    int SelectedContentID() const;

private:
    void CreateGrid();

    TLessonDataSet adsDue;
    QTableView* grdReview = nullptr;
    QLabel* lblEmpty = nullptr;
    QPushButton* btnOk = nullptr;
};
