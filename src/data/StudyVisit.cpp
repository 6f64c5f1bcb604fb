#include "data/StudyVisit.h"

#include "data/DMUnit.h"

StudyVisit::StudyVisit(TDM& dm, Clock clock)
    : m_dm(dm)
{
    SetClock(std::move(clock));
}

void StudyVisit::SetClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); });
}

QDateTime StudyVisit::Now() const
{
    return m_clock();
}

void StudyVisit::Begin()
{
    m_contentId = m_dm.CurContentID;
    m_unheard.clear();
    const TLessonDataSet& sentences = m_dm.adsQorSen;
    const int begin = sentences.FieldIndex(QStringLiteral("FBeginPos"));
    const int end = sentences.FieldIndex(QStringLiteral("FEndPos"));
    if (m_contentId == 0 || begin < 0 || end < 0)
        return;
    for (int row = 0; row < sentences.RecordCount(); ++row)
        m_unheard.insert({sentences.Value(row, begin).toInt(), sentences.Value(row, end).toInt()});
}

bool StudyVisit::Hear(int beginMs, int endMs)
{
    // Only the play that empties the set completes the visit.
    if (!m_unheard.remove({beginMs, endMs}) || !m_unheard.isEmpty())
        return false;
    m_pending = Study{m_contentId, Now()};
    return true;
}

void StudyVisit::SpanMoved(int oldBegin, int oldEnd, int newBegin, int newEnd)
{
    if (m_unheard.remove({oldBegin, oldEnd}))
        m_unheard.insert({newBegin, newEnd});
}

bool StudyVisit::RecordPending()
{
    const std::optional<Study> study = std::exchange(m_pending, std::nullopt);
    return study && m_dm.RecordStudy(study->contentId, study->when);
}
