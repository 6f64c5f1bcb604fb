#pragma once

#include <QDateTime>
#include <QSet>

#include <functional>
#include <optional>
#include <utility>

class TDM;

// When a lesson counts as studied: during one visit of it (from opening it to
// leaving it) every sentence of its text has been heard at least once, in any
// way, each to its end: a sentence cut off by another, a stop or a lesson
// change was not heard. That counts once per visit; a lesson without
// sentences never counts.
//
// Sentences are known by their spans of the lesson recording, so whatever
// plays a span to its end can report it (Hear) without knowing about
// lessons. Hearing only takes note; the write to the data module is a
// separate step (RecordPending), so the caller can make it outside the play
// that completed the visit. A completed visit stays pending until written, even when the
// next visit has begun meanwhile.
//
// GUI thread only, like the data module it writes through.
class StudyVisit {
public:
    using Clock = std::function<QDateTime()>;

    // `clock` gives the time a study is recorded at; the system's local time
    // when empty.
    explicit StudyVisit(TDM& dm, Clock clock = {});

    void SetClock(Clock clock);
    QDateTime Now() const;

    // Starts a visit of the lesson open in the data module (none before the
    // first open): all of its sentences are still to be heard.
    void Begin();
    // The lesson recording played beginMs..endMs to its end. True when that
    // was the last sentence of the visit not heard yet: the study is now
    // pending. Later plays in the same visit return false.
    bool Hear(int beginMs, int endMs);
    // A sentence of the lesson was moved in its recording: still to be heard
    // at its new span if it was at its old one.
    void SpanMoved(int oldBegin, int oldEnd, int newBegin, int newEnd);
    // Writes the pending study: count + 1, last time when it was completed.
    // False when none was pending or the write failed (the data module has
    // shown why); either way nothing is pending afterwards.
    bool RecordPending();

private:
    TDM& m_dm;
    Clock m_clock;
    int m_contentId = 0;
    QSet<std::pair<int, int>> m_unheard;  // spans of the sentences still to hear
    struct Study {
        int contentId;
        QDateTime when;
    };
    std::optional<Study> m_pending;
};
