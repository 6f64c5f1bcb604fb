#include "audio/SentenceReading.h"

#include "data/LessonDataSet.h"

SentenceReading::SentenceReading(TLessonDataSet& sentences, SentencePlayback& audio,
                                 StepTimer& timer, std::function<int()> speakCount)
    : m_sentences(sentences), m_audio(audio), m_timer(timer), m_speakCount(std::move(speakCount))
{
}

bool SentenceReading::PlayCurrent(int endAction)
{
    // An empty span would play the whole recording: with no row, play nothing.
    if (!m_sentences.Active() || m_sentences.RecNo() < 0)
        return false;
    m_audio.PlaySentence(m_sentences.FieldValue(QStringLiteral("FBeginPos")).toInt(),
                         m_sentences.FieldValue(QStringLiteral("FEndPos")).toInt(), endAction);
    return true;
}

bool SentenceReading::SpeakCurrent()
{
    return PlayCurrent(SpanEnd::None);
}

bool SentenceReading::PlayForCompare()
{
    return PlayCurrent(SpanEnd::PlayRecording);
}

bool SentenceReading::Start()
{
    if (m_running)
        return true;
    if (!PlayCurrent(SpanEnd::Continue))
        return false;
    m_running = true;
    // The start's play is the row's first; like every later play, its end
    // arms the timer, so it is heard in full and the pause follows it.
    m_repeatCounter = 1;
    return true;
}

void SentenceReading::Stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_repeatCounter = 0;
    m_audio.StopLessonAudio();
    m_timer.SetActive(false);
}

void SentenceReading::TimerStep()
{
    m_timer.SetActive(false);
    if (!m_running)
        return;
    if (m_repeatCounter < m_speakCount()) {
        ++m_repeatCounter;
    } else {
        m_repeatCounter = 1;
        m_sentences.Next();
        if (m_sentences.Eof())
            m_sentences.First();
    }
    PlayCurrent(SpanEnd::Continue);
}

void SentenceReading::SpanEnded()
{
    if (m_running)
        m_timer.SetActive(true);
}
