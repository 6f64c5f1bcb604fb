#include "app/SelectBookFrm.h"

#include "app/AppFonts.h"
#include "app/ChosenLesson.h"
#include "app/DialogButtons.h"
#include "app/DialogGrid.h"
#include "controls/PlainToolTip.h"
#include "data/BookName.h"
#include "data/DMUnit.h"
#include "data/LessonTableModel.h"
#include "data/Messages.h"
#include "data/ReviewSchedule.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

// Columns of the lesson list, in the order of the statement below.
namespace LessonColumn {
enum { Name, StudyCount, LastTime, FID, Lesson };
}

const QString kLessonListSql = QStringLiteral(
    "Select FEnglish||FChinese as FName, FStudyCount, FLastTime, FID, FLesson"
    " From tblContent Where FBook=? Order By FID");

const QString kCatalogueError = QStringLiteral("打开课程目录数据出错，请重新安装软件！");

// The same date form as the study information of the main window; a lesson
// never studied has no time (or a zero one) and shows nothing.
QString StudyDateText(const QVariant& stored)
{
    bool ok = false;
    const double days = stored.toDouble(&ok);
    if (stored.isNull() || !ok || days <= 0)
        return {};
    const QDateTime when = DayCountToDateTime(days);
    return when.isValid() ? when.toString(QStringLiteral("yyyy/MM/dd")) : QString();
}

bool IsLessonNumberKey(const QString& text)
{
    return text.size() == 1 && ((text.at(0) >= u'0' && text.at(0) <= u'9') || text.at(0) == u'.');
}

} // namespace

bool SelectLesson(QWidget* owner, TDM& dm)
{
    TSelectBookForm form(owner, dm);
    if (form.exec() != QDialog::Accepted)
        return false;
    return OpenChosenLesson(dm, form.SelectedContentID());
}

TSelectBookForm::TSelectBookForm(QWidget* owner, TDM& dm)
    : QDialog(owner)
    , m_dm(dm)
{
    setWindowTitle(QStringLiteral("选择课程"));
    setFont(SongTiFont(12));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(CreateSearchRow());
    CreateLessonGrid();
    layout->addWidget(DBGridEh1, 1);

    btnOk = AddOkCancelRow(this, layout);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(DBGridEh1, &QAbstractItemView::doubleClicked, this, &QDialog::accept);

    setFixedSize(396, 255);
    FormCreate();
}

// The top row: book, lesson number and "查找".
QLayout* TSelectBookForm::CreateSearchRow()
{
    cbTable = new QComboBox(this);
    cbTable->setObjectName(QStringLiteral("cbTable"));
    for (int book = 1; book <= 4; ++book)
        cbTable->addItem(BookName(book));

    edtLesson = new QLineEdit(this);
    edtLesson->setObjectName(QStringLiteral("edtLesson"));
    edtLesson->setMaxLength(3);
    edtLesson->setFixedWidth(40);
    // Typed keys are filtered with a beep in eventFilter; the validator keeps
    // pasted or composed text to the same characters.
    edtLesson->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), edtLesson));
    edtLesson->installEventFilter(this);
    auto* lessonLabel = new QLabel(QStringLiteral("第"), this);
    lessonLabel->setBuddy(edtLesson);

    auto* Button1 = new QPushButton(QStringLiteral("查找"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Veltra"), this));
    top->addWidget(cbTable);
    top->addSpacing(12);
    top->addWidget(lessonLabel);
    top->addWidget(edtLesson);
    top->addWidget(new QLabel(QStringLiteral("课"), this));
    top->addWidget(Button1);
    top->addStretch(1);
    connect(cbTable, &QComboBox::activated, this, &TSelectBookForm::cbTableSelect);
    connect(Button1, &QPushButton::clicked, this, &TSelectBookForm::Button1Click);
    return top;
}

void TSelectBookForm::CreateLessonGrid()
{
    adsBook.SetFieldDecoder(QStringLiteral("FLastTime"), StudyDateText);
    LessonTableModel* model = adsBook.Model();
    model->SetFieldTitle(QStringLiteral("FName"), QStringLiteral("课程"));
    model->SetFieldTitle(QStringLiteral("FStudyCount"), QStringLiteral("学习次数"));
    model->SetFieldTitle(QStringLiteral("FLastTime"), QStringLiteral("上次学习时间"));

    DBGridEh1 = NewDialogGrid(this, QStringLiteral("DBGridEh1"), adsBook);
    DBGridEh1->viewport()->installEventFilter(this);
}

void TSelectBookForm::FormCreate()
{
    const int book = m_dm.CurBook > 0 ? m_dm.CurBook : 1;
    cbTable->setCurrentIndex(book - 1);
    if (!OpenBook(book)) {
        ShowError(kCatalogueError);
        return;
    }
    if (m_dm.CurLesson > 0)
        LocateLesson(m_dm.CurLesson);
}

bool TSelectBookForm::OpenBook(int book)
{
    const std::optional<RowSet> rows = m_dm.IsConnected()
        ? LoadRows(m_dm.Database(), kLessonListSql, {book}, false)
        : std::nullopt;
    // A list that cannot be read stays empty, so OK cannot pick a lesson of
    // the book shown before.
    adsBook.Assign(rows ? *rows : RowSet{});
    DBGridEh1->setColumnHidden(LessonColumn::FID, true);
    DBGridEh1->setColumnHidden(LessonColumn::Lesson, true);
    QHeaderView* header = DBGridEh1->horizontalHeader();
    if (header->count() > LessonColumn::LastTime) {
        header->setSectionResizeMode(LessonColumn::Name, QHeaderView::Stretch);
        header->setSectionResizeMode(LessonColumn::StudyCount, QHeaderView::ResizeToContents);
        header->setSectionResizeMode(LessonColumn::LastTime, QHeaderView::ResizeToContents);
    }
    // With no lesson listed there is nothing OK could open.
    btnOk->setEnabled(adsBook.RecordCount() > 0);
    return rows.has_value();
}

void TSelectBookForm::cbTableSelect(int index)
{
    if (!OpenBook(index + 1))
        ShowError(kCatalogueError);
}

void TSelectBookForm::Button1Click()
{
    bool ok = false;
    const int lesson = edtLesson->text().toInt(&ok);
    if (ok && LocateLesson(lesson))
        accept();
}

bool TSelectBookForm::LocateLesson(int lesson)
{
    if (!adsBook.Locate(QStringLiteral("FLesson"), lesson))
        return false;
    DBGridEh1->scrollTo(DBGridEh1->currentIndex(), QAbstractItemView::PositionAtCenter);
    return true;
}

int TSelectBookForm::SelectedContentID() const
{
    return adsBook.RecordCount() > 0 ? adsBook.FieldValue(QStringLiteral("FID")).toInt() : 0;
}

bool TSelectBookForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DBGridEh1->viewport() && event->type() == QEvent::ToolTip) {
        ShowLessonTitleTip(static_cast<QHelpEvent*>(event)->pos());
        return true;
    }
    if (watched != edtLesson || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        Button1Click();
        return true;
    }
    const QString text = key->text();
    const bool typesCharacter = !text.isEmpty() && text.at(0).isPrint()
        && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (typesCharacter && !IsLessonNumberKey(text)) {
        QApplication::beep();
        return true;
    }
    return false;
}

void TSelectBookForm::ShowLessonTitleTip(const QPoint& position)
{
    // Long titles are cut off in the narrow list.
    const QModelIndex index = DBGridEh1->indexAt(position);
    if (index.isValid() && index.column() == LessonColumn::Name)
        QToolTip::showText(DBGridEh1->viewport()->mapToGlobal(position), PlainToolTip(index.data().toString()),
                           DBGridEh1);
    else
        QToolTip::hideText();
}
