// What the main window's menu commands do.
#include "app/MainFrm.h"

#include "app/AboutBox.h"
#include "app/AddLessonFrm.h"
#include "app/ChosenLesson.h"
#include "app/ComparePlayback.h"
#include "app/FellowCompareFrm.h"
#include "app/GuideWindow.h"
#include "app/ImportOffer.h"
#include "app/LessonInfo.h"
#include "app/ProgramPaths.h"
#include "app/ReviewFrm.h"
#include "app/SelectBookFrm.h"
#include "app/SetFrm.h"
#include "app/StudyReading.h"
#include "audio/LessonAudio.h"
#include "data/BookName.h"
#include "data/DMUnit.h"
#include "data/Messages.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QScreen>
#include <QTabWidget>
#include <QUrl>

#include <algorithm>

namespace {

// Where a tool window goes: on the side of `main` with more room, as wide as
// that room allows; over the screen's right edge when neither side has room.
QRect BesideWindow(const QRect& main, const QRect& screen)
{
    constexpr int kGap = 8;
    constexpr int kWidest = 760;
    constexpr int kNarrowest = 480;
    constexpr int kHeight = 520;
    if (!screen.isValid())
        return {main.right() + kGap, main.top(), kWidest, kHeight};
    const int rightRoom = screen.right() - main.right() - kGap;
    const int leftRoom = main.left() - screen.left() - kGap;
    const int width = std::clamp(std::max(leftRoom, rightRoom), kNarrowest, std::min(kWidest, screen.width()));
    int x = screen.right() + 1 - width;
    if (rightRoom >= width)
        x = main.right() + kGap;
    else if (leftRoom >= width)
        x = main.left() - kGap - width;
    const int height = std::min(kHeight, screen.height());
    const int y = std::clamp(main.top(), screen.top(), screen.bottom() + 1 - height);
    return {x, y, width, height};
}

} // namespace

void TMainForm::miSelectClick()
{
    if (PostPendingNote() && SelectLesson(this, DM))
        ShowLessonView();
}

void TMainForm::miAddLessonClick()
{
    if (!PostPendingNote())
        return;
    const std::optional<AddedLesson> added = AddLesson(this, DM, CourseToolOf(AppDir()));
    if (!added)
        return;
    const int contentId = DM.ContentIdOf(added->book, added->lesson);
    if (contentId == 0) {
        ShowError(QStringLiteral("新课文已加入%1第 %2 课，但打开它时出错。请在“选择课程”里打开。")
                      .arg(BookName(added->book))
                      .arg(added->lesson));
        return;
    }
    if (!OpenChosenLesson(DM, contentId))
        return;
    ShowLessonView();
    // A new lesson has its text first; the page is where uncertain times are
    // checked, row by row with the keys.
    pcMain->setCurrentWidget(tsSen);
    m_reading->FocusSentences();
    if (!added->uncertain.isEmpty())
        ShowInfo(UncertainTimesText(added->uncertain));
}

void TMainForm::miLookClick()
{
    m_lessonInfo->ShowStudyInfoBox();
}

void TMainForm::miReviewClick()
{
    if (PostPendingNote() && ReviewLesson(this, DM, m_lessonInfo->Visit().Now()))
        ShowLessonView();
}

void TMainForm::miOptionClick()
{
    const int oldSpeed = DM.OptSpeed;
    if (!ShowSettings(this, DM))
        return;
    SetShowHint(DM.OptTestHint);
    // Before the speed, so a sentence still at its recorded speed changes
    // speed the new way.
    m_audio->ApplyKeepPitch(DM.OptKeepPitch);
    if (DM.OptSpeed != oldSpeed)
        m_audio->ApplySpeed(DM.OptSpeed);
    // Word reading keeps the pause it got at start-up until the next start.
    ApplyNextTime(false);
}

void TMainForm::miSenTimeClick()
{
    pcMain->setCurrentWidget(tsSen);
    m_reading->EditSentenceTime();
}

void TMainForm::miHelpClick()
{
    const QString help = HelpFileOf(AppDir());
    if (help.endsWith(QStringLiteral(".chm"), Qt::CaseInsensitive)) {
        // A compiled help file needs the desktop's own viewer.
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(help)))
            ShowError(QStringLiteral("无法打开帮助文件“%1”，请安装能查看它的程序。").arg(help));
        return;
    }
    if (!QFileInfo(help).isFile()) {
        ShowError(QStringLiteral("找不到帮助文件“%1”，请重新安装本软件！").arg(help));
        return;
    }
    if (!m_guideWindow)
        m_guideWindow = new TGuideWindow(help, this);
    m_guideWindow->show();
    m_guideWindow->raise();
    m_guideWindow->activateWindow();
}

void TMainForm::miAboutClick()
{
    if (!m_aboutBox)
        m_aboutBox = new TAboutBox(this);
    m_aboutBox->show();
    m_aboutBox->raise();
    m_aboutBox->activateWindow();
}

void TMainForm::miCompareClick()
{
    if (!m_compareWindow) {
        m_compareWindow = new TFellowCompareFrm(m_reading->Takes(), std::make_unique<StudyComparePlayback>(*this), this);
        const QScreen* screen = QApplication::primaryScreen();
        m_compareWindow->setGeometry(BesideWindow(frameGeometry(), screen ? screen->availableGeometry() : QRect()));
    }
    m_compareWindow->show();
    m_compareWindow->raise();
    m_compareWindow->activateWindow();
}
