#pragma once

#include "app/HeaderLabel.h"
#include "app/MainGlyphs.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class LessonAudio;
class QFrame;
class QLabel;
class QTabWidget;
class TDM;
class TExercisePages;
class TExplainPage;
class TkznMediaPlayer;
class TkznThreadTimer;
class TLessonDataSet;
class TLessonInfo;
class TNotePage;
class TStudyReading;

// The program's main window: lesson header, the five study pages, the menus,
// and the objects that outlive a page (lesson audio, the two invisible
// players, the two reading timers, the glyphs).
//
// Page code gets the window by reference and reaches the shared objects
// through its public members: DM, Audio(), mpWord, mpFellow, ttSen, ttWord,
// ilMain, FPageDataSet. The text and word pages fill the empty containers
// tsSen and tsWord; the exercise pages fill tsWordWrite, tsWordSelect and
// tsSenWrite. Reading() drives the text and word pages and lends the
// exercises its word speaker.
//
// Everything here runs on the GUI thread; the end-of-span notification of the
// audio engine arrives there as a queued call.
class TMainForm final : public QMainWindow {
    Q_OBJECT
public:
    // Creates the window (FormCreate): initialises the audio output and opens
    // the start lesson. When the audio output cannot be used the error has
    // been shown and StartupFailed() is true; the program must end.
    explicit TMainForm(TDM& dm, QWidget* parent = nullptr);
    ~TMainForm() override;

    bool StartupFailed() const { return m_startupFailed; }

    // Lesson navigation: step, and refresh the view when a lesson opened.
    // A note typed but not saved is posted first; when that fails the lesson
    // stays and the error is shown.
    void NextLesson();
    void PrevLesson();
    // Header, explanation, note and lesson audio of the lesson just opened.
    void ShowLessonView();

    // The end of a played sentence span: 1 re-arms ttSen while continuous
    // reading runs, 2 plays the learner's recording; anything else is ignored.
    void SpeakDone(int action);
    // mpFellow from its start.
    void PlayRecording();

    // Whether the exercise answers show as hints (option "TestHint").
    void SetShowHint(bool show);
    bool ShowHint() const { return m_showHint; }

    LessonAudio& Audio() { return *m_audio; }
    TStudyReading& Reading() { return *m_reading; }
    TExercisePages& Exercises() { return *m_exercises; }
    TLessonInfo& LessonInfo() { return *m_lessonInfo; }

    TDM& DM;
    TMainGlyphs ilMain;
    TLessonDataSet* FPageDataSet = nullptr;

    TkznMediaPlayer* mpWord = nullptr;
    TkznMediaPlayer* mpFellow = nullptr;
    TkznThreadTimer* ttWord = nullptr;
    TkznThreadTimer* ttSen = nullptr;

    QFrame* pnlContent = nullptr;
    HeaderLabel* lblContent = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* imgLessonInfo = nullptr;
    QFrame* pnlLessonInfo = nullptr;
    QLabel* lblStudyCount = nullptr;
    QLabel* lblLastStudyTime = nullptr;
    QLabel* lblNextStudyTime = nullptr;

    QTabWidget* pcMain = nullptr;
    QWidget* tsWord = nullptr;
    TExplainPage* tsExplain = nullptr;
    QWidget* tsSen = nullptr;
    QWidget* tsTest = nullptr;
    TNotePage* tsNote = nullptr;
    QTabWidget* pcTest = nullptr;
    QWidget* tsWordWrite = nullptr;
    QWidget* tsWordSelect = nullptr;
    QWidget* tsSenWrite = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void LoadStartLesson();
    void FormClose();
    void ApplyNextTime(bool bothTimers);
    bool PostPendingNote();

    void BuildHeader(QWidget* client);
    void BuildPages(QWidget* client);
    void BuildMenus();

    void miSelectClick();
    void miAddLessonClick();
    void miLookClick();
    void miReviewClick();
    void miOptionClick();
    void miSenTimeClick();
    void miHelpClick();
    void miAboutClick();
    void miCompareClick();
    void pcMainChange(int index);
    void pcTestChange(int index);
    void tsTestShow();

    std::unique_ptr<LessonAudio> m_audio;
    std::unique_ptr<TStudyReading> m_reading;  // after m_audio: it uses the audio to its end
    std::unique_ptr<TExercisePages> m_exercises;  // after m_reading: the exercises speak through it
    TLessonInfo* m_lessonInfo = nullptr;       // a child of the window
    QPointer<QWidget> m_aboutBox;
    QPointer<QWidget> m_guideWindow;
    QPointer<QWidget> m_compareWindow;
    bool m_startupFailed = false;
    bool m_showHint = false;
    bool m_closed = false;
};
