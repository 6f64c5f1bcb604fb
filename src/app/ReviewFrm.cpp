#include "app/ReviewFrm.h"

#include "app/AppFonts.h"
#include "app/ChosenLesson.h"
#include "app/DialogButtons.h"
#include "app/DialogGrid.h"
#include "data/BookName.h"
#include "data/LessonTableModel.h"
#include "data/Messages.h"
#include "data/ReviewSchedule.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Columns of the list; FID last and hidden.
namespace ReviewColumn {
enum { Book, Name, StudyCount, LastTime, NextTime, FID };
}

RowSet DueRows(const QVector<TDM::DueLesson>& due)
{
    const QString format = QStringLiteral("yyyy/MM/dd");
    RowSet rows;
    rows.fields = QStringList{QStringLiteral("FBookName"), QStringLiteral("FName"), QStringLiteral("FStudyCount"),
                              QStringLiteral("FLastTime"), QStringLiteral("FNextTime"), QStringLiteral("FID")};
    for (const TDM::DueLesson& lesson : due) {
        rows.rows.append({BookName(lesson.book), lesson.title, lesson.count, DayCountText(lesson.lastTime, format),
                          DayCountText(lesson.nextTime, format), lesson.contentId});
    }
    return rows;
}

} // namespace

bool ReviewLesson(QWidget* owner, TDM& dm, const QDateTime& now)
{
    const auto due = dm.DueLessons(now);
    if (!due) {
        ShowError(QStringLiteral("打开课程目录数据出错，请重新安装软件！"));
        return false;
    }
    TReviewForm form(owner, *due);
    if (form.exec() != QDialog::Accepted)
        return false;
    return OpenChosenLesson(dm, form.SelectedContentID());
}

TReviewForm::TReviewForm(QWidget* owner, const QVector<TDM::DueLesson>& due)
    : QDialog(owner)
{
    setWindowTitle(QStringLiteral("今日复习"));
    setFont(SongTiFont(12));

    auto* layout = new QVBoxLayout(this);
    CreateGrid();
    layout->addWidget(grdReview, 1);
    lblEmpty = new QLabel(QStringLiteral("没有需要复习的课程。"), this);
    lblEmpty->setObjectName(QStringLiteral("lblEmpty"));
    lblEmpty->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblEmpty, 1);

    btnOk = AddOkCancelRow(this, layout);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(grdReview, &QAbstractItemView::doubleClicked, this, &QDialog::accept);

    adsDue.Assign(DueRows(due));
    grdReview->setColumnHidden(ReviewColumn::FID, true);
    QHeaderView* header = grdReview->horizontalHeader();
    for (int column : {ReviewColumn::Book, ReviewColumn::StudyCount, ReviewColumn::LastTime, ReviewColumn::NextTime})
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(ReviewColumn::Name, QHeaderView::Stretch);
    const bool empty = due.isEmpty();
    grdReview->setVisible(!empty);
    lblEmpty->setVisible(empty);
    btnOk->setEnabled(!empty);

    setFixedSize(520, 280);
}

void TReviewForm::CreateGrid()
{
    LessonTableModel* model = adsDue.Model();
    model->SetFieldTitle(QStringLiteral("FBookName"), QStringLiteral("课本"));
    model->SetFieldTitle(QStringLiteral("FName"), QStringLiteral("课程"));
    model->SetFieldTitle(QStringLiteral("FStudyCount"), QStringLiteral("学习次数"));
    model->SetFieldTitle(QStringLiteral("FLastTime"), QStringLiteral("上次学习时间"));
    model->SetFieldTitle(QStringLiteral("FNextTime"), QStringLiteral("复习时间"));

    grdReview = NewDialogGrid(this, QStringLiteral("grdReview"), adsDue);
}

int TReviewForm::SelectedContentID() const
{
    return adsDue.RecordCount() > 0 ? adsDue.FieldValue(QStringLiteral("FID")).toInt() : 0;
}
