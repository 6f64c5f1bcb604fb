#include "app/MainFrm.h"

#include "app/AppFonts.h"
#include "app/ExercisePages.h"
#include "app/ExplainPage.h"
#include "app/LessonInfo.h"
#include "app/NotePage.h"
#include "app/ProgramPaths.h"
#include "app/StudyReading.h"
#include "audio/LessonAudio.h"
#include "controls/HandlerGuard.h"
#include "controls/kznLabelEdit.h"
#include "controls/kznMediaPlayer.h"
#include "controls/kznThreadTimer.h"
#include "data/DMUnit.h"
#include "data/LessonStepping.h"
#include "data/Messages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QTabWidget>

#include <algorithm>

namespace {

constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
    | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

bool isInside(const QObject* object, const QWidget* ancestor)
{
    for (; object; object = object->parent()) {
        if (object == ancestor)
            return true;
    }
    return false;
}

} // namespace

TMainForm::TMainForm(TDM& dm, QWidget* parent)
    : QMainWindow(parent, kWindowFlags)
    , DM(dm)
    , m_audio(std::make_unique<LessonAudio>())
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Veltra精读"));
    setFont(SongTiFont(12));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(622, 416);
    setCentralWidget(client);
    BuildHeader(client);
    BuildPages(client);
    BuildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    mpWord = new TkznMediaPlayer(this);
    mpWord->setObjectName(QStringLiteral("mpWord"));
    mpWord->SetDeleteFileWhenClose(true);
    mpWord->SetVisibleButtons({TMPBtnType::btPlay, TMPBtnType::btPause, TMPBtnType::btStop});
    mpWord->resize(85, 30);
    mpWord->hide();
    mpFellow = new TkznMediaPlayer(this);
    mpFellow->setObjectName(QStringLiteral("mpFellow"));
    mpFellow->SetDeleteFileWhenClose(false);
    mpFellow->SetVisibleButtons({TMPBtnType::btPlay, TMPBtnType::btStop, TMPBtnType::btRecord});
    mpFellow->hide();
    ttWord = new TkznThreadTimer(this);
    ttWord->setObjectName(QStringLiteral("ttWord"));
    ttSen = new TkznThreadTimer(this);
    ttSen->setObjectName(QStringLiteral("ttSen"));
    m_reading = std::make_unique<TStudyReading>(*this);
    m_exercises = std::make_unique<TExercisePages>(*this);
    m_lessonInfo = new TLessonInfo(*this);

    connect(m_audio.get(), &LessonAudio::speakDone, this,
            [this](int action) { RunGuarded([&] { SpeakDone(action); }); });
    qApp->installEventFilter(this);

    FormCreate();

    adjustSize();
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TMainForm::~TMainForm()
{
    qApp->removeEventFilter(this);
    FormClose();
    // Before the reading it follows and the players it plays through.
    delete m_compareWindow;
}

void TMainForm::FormCreate()
{
    if (!m_audio->InitAudio()) {
        m_startupFailed = true;
        m_closed = true;  // nothing was opened, nothing to save
        return;
    }
    LoadStartLesson();
}

void TMainForm::LoadStartLesson()
{
    int book = 1;
    int lesson = 1;
    DM.TryReadOptionInt(QStringLiteral("Book"), book);
    DM.TryReadOptionInt(QStringLiteral("Lesson"), lesson);
    // Kept even when the lesson fails to open, so closing writes them back.
    DM.CurBook = book;
    DM.CurLesson = lesson;
    m_audio->ApplyKeepPitch(DM.OptKeepPitch);
    if (DM.OpenLessonByNumber(book, lesson))
        ShowLessonView();
    // The exercises draw random words and sentences.
    m_exercises->Random().SeedFromClock();
    SetShowHint(DM.OptTestHint);
    imgLessonInfo->setPixmap(ilMain.Pixmap(TMainGlyphs::Information));
    ApplyNextTime(true);
    pcMain->setCurrentWidget(DM.OptFirstSen ? tsSen : tsWord);
    pcMainChange(pcMain->currentIndex());
}

void TMainForm::ApplyNextTime(bool bothTimers)
{
    // A pause of 0 s still leaves 100 ms between two plays.
    const int delay = std::max(100, DM.ReadOptionInt(QStringLiteral("NextTime"), 1, 0, 20) * 1000);
    ttSen->SetDelay(delay);
    if (bothTimers)
        ttWord->SetDelay(delay);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    RunGuarded([&] {
        if (!PostPendingNote()
            && !AskYesNo(QStringLiteral("这一课的学习笔记没有保存。仍要关闭吗？"))) {
            event->ignore();
            return;
        }
        FormClose();
        event->accept();
    });
}

void TMainForm::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    // Before the players close: the pages' hide handlers come later, when
    // Qt hides the closed window, and would stop a take on a closed recorder.
    m_reading->LeaveStudyPages();
    ttSen->SetActive(false);
    ttWord->SetActive(false);
    DM.WriteOptionInt(QStringLiteral("Book"), DM.CurBook);
    DM.WriteOptionInt(QStringLiteral("Lesson"), DM.CurLesson);
    m_audio->CloseLessonAudio();
    mpWord->CloseAndDeleteFile();
    mpFellow->Close();
}

bool TMainForm::PostPendingNote()
{
    QString error;
    if (tsNote->PostPendingNote(&error))
        return true;
    ReportHandlerError(error);
    return false;
}

void TMainForm::NextLesson()
{
    if (PostPendingNote() && ::NextLesson(DM))
        ShowLessonView();
}

void TMainForm::PrevLesson()
{
    if (PostPendingNote() && ::PrevLesson(DM))
        ShowLessonView();
}

void TMainForm::ShowLessonView()
{
    lblContent->setText(DM.CurTitle);
    tsExplain->SetExplanation(DM.DecodeFieldText(DM.adsExplain.FieldValue(QStringLiteral("FExplain"))));
    tsNote->Reload();
    m_lessonInfo->LessonOpened();
    m_audio->OpenLessonAudio(DM.DataDir(), DM.CurBook, DM.CurLesson, DM.OptSpeed);
}

void TMainForm::SpeakDone(int action)
{
    switch (action) {
    case 1:
        // A span that ended just before the reading was stopped stays quiet.
        m_reading->SpanEnded();
        break;
    case 2:
        PlayRecording();
        break;
    default:
        break;
    }
}

void TMainForm::PlayRecording()
{
    mpFellow->Rewind();
    mpFellow->Play();
}

void TMainForm::SetShowHint(bool show)
{
    m_showHint = show;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label8 || watched == imgLessonInfo) {
        if (event->type() == QEvent::Enter) {
            pnlLessonInfo->raise();  // over the page tabs
            pnlLessonInfo->show();
        } else if (event->type() == QEvent::Leave) {
            pnlLessonInfo->hide();
        }
    } else if (event->type() == QEvent::ToolTip && !m_showHint && isInside(watched, tsTest)
               && !TkznLabelEdit::IsCaptionLabel(watched)) {
        // The exercises' hints are the answers: shown only on request. A
        // meaning cut short above its edit is no answer and always shows whole.
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::pcMainChange(int index)
{
    const QWidget* page = pcMain->widget(index);
    if (page == tsWord)
        FPageDataSet = &DM.adsQorWord;
    else if (page == tsSen)
        FPageDataSet = &DM.adsQorSen;
    else if (page == tsTest)
        tsTestShow();
}

void TMainForm::tsTestShow()
{
    pcTest->setCurrentWidget(tsWordWrite);
    pcTestChange(pcTest->currentIndex());
}

void TMainForm::pcTestChange(int index)
{
    const QWidget* page = pcTest->widget(index);
    FPageDataSet = page == tsSenWrite ? &DM.adsQorSen : &DM.adsQorWord;
}
