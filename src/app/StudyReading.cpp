#include "app/StudyReading.h"

#include "app/ExplainPage.h"
#include "app/MainFrm.h"
#include "app/SenPage.h"
#include "app/SenTimeFrm.h"
#include "app/WordPage.h"
#include "audio/LessonAudio.h"
#include "data/DMUnit.h"

#include <QTabWidget>
#include <QThread>

void TStudyReading::LessonPlayback::PlaySentence(int beginMs, int endMs, int endAction)
{
    m_audio.PlaySentence(beginMs, endMs, endAction);
}

void TStudyReading::LessonPlayback::StopLessonAudio()
{
    m_audio.StopLessonAudio();
}

TStudyReading::TStudyReading(TMainForm& form)
    : m_form(form), m_lessonAudio(form.Audio()), m_senTimer(*form.ttSen), m_wordTimer(*form.ttWord),
      m_wordPlayer(*form.mpWord), m_recorder(*form.mpFellow), m_speaker(m_wordPlayer, form.DM.DataDir()),
      m_sentence(form.DM.adsQorSen, m_lessonAudio, m_senTimer, [&dm = form.DM] { return dm.OptSpeakCount; }),
      m_word(form.DM.adsQorWord, m_speaker, m_wordTimer, [&dm = form.DM] { return dm.CurBook; }),
      m_senFollow(m_recorder, TakeFilePath(form.DM.DataDir())), m_wordFollow(m_recorder, TakeFilePath(form.DM.DataDir()))
{
    // Unguarded: an error inside a step ends the timer's loop without a box.
    form.ttSen->SetOnTimer([this](TkznThreadTimer*) { m_sentence.TimerStep(); });
    form.ttWord->SetOnTimer([this](TkznThreadTimer*) { m_word.TimerStep(); });

    TDM& dm = form.DM;
    m_senPage = new TSenPage(
        form.tsSen,
        TSenPage::Links{dm.adsQorSen, m_sentence, m_senFollow,
                        [&form] {
                            form.pcMain->setCurrentWidget(form.tsTest);
                            form.pcTest->setCurrentWidget(form.tsSenWrite);
                        },
                        [&form] { form.pcMain->setCurrentWidget(form.tsExplain); },
                        [&form] { ::EditSentenceTime(&form, form.DM, form.Audio()); }});
    m_wordPage = new TWordPage(
        form.tsWord,
        TWordPage::Links{dm.adsQorWord, dm.adsQorSen, m_word, m_speaker, m_wordFollow,
                         [&form] {
                             form.pcMain->setCurrentWidget(form.tsTest);
                             form.pcTest->setCurrentWidget(form.tsWordWrite);
                         },
                         [&form] { form.pcMain->setCurrentWidget(form.tsSen); },
                         [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); }});
}

void TStudyReading::LeaveStudyPages()
{
    if (m_senPage)
        m_senPage->tsSenHide();
    if (m_wordPage)
        m_wordPage->tsWordHide();
}

void TStudyReading::EditSentenceTime()
{
    if (m_senPage)
        m_senPage->miSenTimeClick();
}

TStudyReading::~TStudyReading()
{
    delete m_senPage;
    delete m_wordPage;
    for (TkznThreadTimer* timer : {m_form.ttSen, m_form.ttWord}) {
        timer->SetActive(false);
        timer->SetOnTimer({});
    }
}
