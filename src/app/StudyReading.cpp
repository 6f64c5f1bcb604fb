#include "app/StudyReading.h"

#include "app/ExplainPage.h"
#include "app/MainFrm.h"
#include "app/SenPage.h"
#include "app/SenTimeFrm.h"
#include "app/WordPage.h"
#include "audio/LessonAudio.h"
#include "data/DMUnit.h"

#include <QTabWidget>
#include <QTableView>
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

    auto ended = [this] { m_lastTake.TakeEnded(m_form.mpFellow->Media()); };
    m_senFollow.SetTakeHooks({[this] { m_lastTake.TakeStarted(SentenceModel()); }, ended});
    m_wordFollow.SetTakeHooks({[this] { m_lastTake.TakeStarted(WordModel()); }, ended});

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

TakeModel TStudyReading::SentenceModel() const
{
    TakeModel model;
    model.kind = TakeModel::Kind::Sentence;
    const TLessonDataSet& sentences = m_form.DM.adsQorSen;
    // Without a sentence there is no span: the model stays without sound.
    if (!sentences.Active() || sentences.RecNo() < 0)
        return model;
    model.text = sentences.FieldText(QStringLiteral("FEnglish"));
    model.beginMs = sentences.FieldValue(QStringLiteral("FBeginPos")).toInt();
    model.endMs = sentences.FieldValue(QStringLiteral("FEndPos")).toInt();
    model.lessonMp3 = m_form.Audio().recordingMp3();
    return model;
}

TakeModel TStudyReading::WordModel() const
{
    // The take has just opened the current word in the word player.
    const TLessonDataSet& words = m_form.DM.adsQorWord;
    TakeModel model;
    model.kind = TakeModel::Kind::Word;
    model.text = words.FieldText(QStringLiteral("FEnglish"));
    model.book = m_form.DM.CurBook;
    model.wordId = words.FieldValue(QStringLiteral("FID")).toInt();
    model.wordAudio = m_form.mpWord->Media();
    return model;
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

void TStudyReading::FocusSentences()
{
    if (m_senPage)
        m_senPage->grdSen->setFocus();
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
