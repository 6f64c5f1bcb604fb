#pragma once

#include "data/LessonDataSet.h"

#include <QDialog>

class QComboBox;
class QLayout;
class QLineEdit;
class QPushButton;
class QTableView;
class TDM;

// Runs the lesson selection dialog modally over `owner` and opens the chosen
// lesson through `dm`. True when a lesson was opened; the caller then
// refreshes its view. A failed open has shown its message and leaves the
// previous lesson open; Cancel opens nothing.
bool SelectLesson(QWidget* owner, TDM& dm);

// The lesson selection dialog "选择课程": the lessons of one book with their
// study record, picked in the list or by typing a lesson number. Created
// fresh for each showing; it reads the catalogue and never writes. GUI
// thread only.
class TSelectBookForm : public QDialog {
    Q_OBJECT
public:
    TSelectBookForm(QWidget* owner, TDM& dm);

    // FID of the list's current row; 0 when no row is current.
    int SelectedContentID() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLayout* CreateSearchRow();
    void CreateLessonGrid();
    void FormCreate();
    bool OpenBook(int book);
    void cbTableSelect(int index);
    void Button1Click();
    bool LocateLesson(int lesson);
    void ShowLessonTitleTip(const QPoint& position);

    TDM& m_dm;
    TLessonDataSet adsBook;
    QComboBox* cbTable = nullptr;
    QLineEdit* edtLesson = nullptr;
    QTableView* DBGridEh1 = nullptr;
    QPushButton* btnOk = nullptr;
};
