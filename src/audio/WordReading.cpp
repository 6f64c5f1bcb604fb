#include "audio/WordReading.h"

#include "audio/WordSpeaker.h"
#include "data/LessonDataSet.h"

WordReading::WordReading(TLessonDataSet& words, WordSpeaker& speaker, StepTimer& timer,
                         std::function<int()> book)
    : m_words(words), m_speaker(speaker), m_timer(timer), m_book(std::move(book))
{
}

bool WordReading::HasCurrent() const
{
    return m_words.Active() && m_words.RecNo() >= 0;
}

int WordReading::CurrentId() const
{
    return m_words.FieldValue(QStringLiteral("FID")).toInt();
}

bool WordReading::SpeakCurrent()
{
    if (!HasCurrent())
        return false;
    m_speaker.SpeakWord(m_book(), CurrentId());
    return true;
}

bool WordReading::OpenCurrent()
{
    if (!HasCurrent())
        return false;
    m_speaker.OpenWordAudio(m_book(), CurrentId());
    return true;
}

bool WordReading::Start()
{
    if (m_running)
        return true;
    if (!SpeakCurrent())
        return false;
    m_running = true;
    m_timer.SetActive(true);
    return true;
}

void WordReading::Stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_timer.SetActive(false);
}

void WordReading::TimerStep()
{
    if (!m_running || !HasCurrent())
        return;
    m_words.Next();
    if (m_words.Eof())
        m_words.First();
    m_speaker.SpeakWord(m_book(), CurrentId());
}
