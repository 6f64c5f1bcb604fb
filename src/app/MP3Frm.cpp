#include "app/MP3Frm.h"

#include "app/AppFonts.h"
#include "data/BookName.h"
#include "data/DMUnit.h"
#include "data/Messages.h"
#include "export/LessonList.h"
#include "app/SelectFolder.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>

namespace {

const QString kHint = QStringLiteral(
    "课程输入方法：1,2-5,7 表示1,2,3,4,5,7课；软件分课生成每课的MP3和歌词文件，文件名类似“qor1-1.mp3”和"
    "“qor1-1.lrc”，分别为第一册第一课的MP3和歌词文件");

// Keys that type a character into the field. Tab moves the focus and Delete
// edits, as everywhere; shortcuts (paste among them) are not typing.
bool TypesCharacter(const QKeyEvent& key)
{
    if (key.text().isEmpty() || (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    return key.key() != Qt::Key_Tab && key.key() != Qt::Key_Backtab && key.key() != Qt::Key_Delete;
}

} // namespace

void ShowExportDialog(QWidget* owner, TDM& dm)
{
    TMP3Form form(owner, dm);
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen)
        form.move(screen->availableGeometry().center() - form.rect().center());
    form.exec();
}

TMP3Form::TMP3Form(QWidget* owner, TDM& dm)
    : QDialog(owner)
    , m_dm(dm)
{
    setObjectName(QStringLiteral("MP3Form"));
    setWindowTitle(QStringLiteral("课文制作MP3和歌词文件"));
    setFont(SongTiFont(12));
    setFixedSize(356, 211);
    CreateControls();
    FormCreate();
}

void TMP3Form::CreateControls()
{
    auto* Label1 = new QLabel(QStringLiteral("选择书本"), this);
    Label1->move(23, 28);

    cbBook = new QComboBox(this);
    cbBook->setObjectName(QStringLiteral("cbBook"));
    for (int book = 1; book <= 4; ++book)
        cbBook->addItem(QStringLiteral("Veltra") + BookName(book));
    cbBook->setGeometry(74, 24, 255, 20);

    edtLesson = new QLineEdit(this);
    edtLesson->setObjectName(QStringLiteral("edtLesson"));
    edtLesson->setGeometry(74, 56, 255, 20);
    edtLesson->installEventFilter(this);
    auto* lessonLabel = new QLabel(QStringLiteral("选择课程"), this);
    lessonLabel->move(23, 60);
    lessonLabel->setBuddy(edtLesson);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The hint's four lines take a little more than their designed 66 pixels in
    // the fonts that stand in for 宋体; it may grow down to the separator.
    Label2->setGeometry(72, 85, 257, 74);

    auto* Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(14, 160, 330, 2);

    btnStart = new QPushButton(QStringLiteral("开始"), this);
    btnStart->setObjectName(QStringLiteral("btnStart"));
    btnStart->setGeometry(64, 176, 75, 25);
    btnClose = new QPushButton(QStringLiteral("退出"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setGeometry(216, 176, 75, 25);
    // Enter in the lesson field beeps like any other refused key rather than
    // starting an export.
    for (QPushButton* button : {btnStart, btnClose}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(btnStart, &QPushButton::clicked, this, &TMP3Form::btnStartClick);
    connect(btnClose, &QPushButton::clicked, this, &TMP3Form::close);

    PB = new QProgressBar(this);
    PB->setObjectName(QStringLiteral("PB"));
    PB->setTextVisible(false);
}

void TMP3Form::FormCreate()
{
    Label2->setText(kHint);
    PB->setGeometry(edtLesson->geometry());
    PB->hide();
    cbBook->setCurrentIndex(0);
    cbBook->setEnabled(true);
    edtLesson->setEnabled(true);
}

void TMP3Form::btnStartClick()
{
    SetExporting(true);
    // Whatever ends the export, the dialog is usable again afterwards.
    const auto restore = qScopeGuard([this] { SetExporting(false); });
    const ExportResult result = RunExport();
    const QString message = ExportMessage(result);
    if (message.isEmpty())
        return;
    if (ExportOutcomeIsError(result.outcome))
        ShowError(message);
    else
        ShowInfo(message);
    if (result.outcome == ExportOutcome::InvalidList)
        edtLesson->setFocus();
}

ExportResult TMP3Form::RunExport()
{
    const ExportChoice choice = ChooseExportLessons(m_dm.Database(), cbBook->currentIndex() + 1, edtLesson->text());
    if (choice.outcome != ExportOutcome::Done)
        return {choice.outcome, {}, {}};
    if (!SelectFolder(this, QStringLiteral("请选择MP3输出文件夹"), m_folder))
        return {ExportOutcome::Cancelled, {}, {}};
    PB->setRange(0, int(choice.lessons.size()));
    PB->setValue(0);
    return ExportLessons(m_dm.Database(), m_dm.DataDir(), choice.lessons, m_folder, LrcTimeStyle::Lesson,
                         [this](const ExportLesson&, const ExportedFiles&) { LessonWritten(); });
}

void TMP3Form::LessonWritten()
{
    PB->setValue(PB->value() + 1);
    QCoreApplication::processEvents();
}

void TMP3Form::SetExporting(bool exporting)
{
    m_exporting = exporting;
    btnStart->setEnabled(!exporting);
    btnClose->setEnabled(!exporting);
    cbBook->setEnabled(!exporting);
    if (exporting) {
        PB->setRange(0, 1);
        PB->setValue(0);
    }
    PB->setVisible(exporting);
}

void TMP3Form::reject()
{
    if (!m_exporting)
        QDialog::reject();
}

void TMP3Form::closeEvent(QCloseEvent* event)
{
    if (m_exporting)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

bool TMP3Form::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edtLesson && event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (TypesCharacter(key) && !(key.text().size() == 1 && IsLessonListKey(key.text().at(0)))) {
            QApplication::beep();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
