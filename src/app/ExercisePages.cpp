#include "app/ExercisePages.h"

#include "app/MainFrm.h"
#include "app/SenWritePage.h"
#include "app/StudyReading.h"
#include "app/WordSelectPage.h"
#include "app/WordWritePage.h"
#include "audio/LessonAudio.h"
#include "audio/ReadingPorts.h"
#include "data/DMUnit.h"

TExercisePages::TExercisePages(TMainForm& form)
{
    auto playWord = [&form](const QString& containerPath) {
        form.Reading().Speaker().PlayWordContainer(containerPath);
    };
    TDM& dm = form.DM;
    m_wordWrite = new TWordWritePage(form.tsWordWrite,
                                     {dm.adsQorWord, m_random, form.ilMain, playWord, dm.DataDir()});
    m_wordSelect = new TWordSelectPage(form.tsWordSelect,
                                       {dm.adsQorWord, m_random, form.ilMain, playWord, dm.DataDir()});
    m_senWrite = new TSenWritePage(
        form.tsSenWrite,
        {dm.adsQorSen, m_random, form.ilMain,
         [&form](int beginMs, int endMs) { form.Audio().PlaySentence(beginMs, endMs, SpanEnd::None); },
         [&form] { return form.ShowHint(); }});
    QObject::connect(&dm, &TDM::SentenceTimesChanged, m_senWrite, &TSenWritePage::SentenceMoved);
}

TExercisePages::~TExercisePages()
{
    delete m_wordWrite;
    delete m_wordSelect;
    delete m_senWrite;
}

TWordWritePage* TExercisePages::WordWrite() const
{
    return m_wordWrite;
}

TWordSelectPage* TExercisePages::WordSelect() const
{
    return m_wordSelect;
}

TSenWritePage* TExercisePages::SenWrite() const
{
    return m_senWrite;
}
