#pragma once

#include "audio/ReadingPorts.h"

#include <functional>

class TLessonDataSet;

// Reading the text page's sentences: one sentence on request, or all of them
// continuously, each `speakCount()` times, with the timer's pause between
// plays and the first sentence again after the last.
//
// Pacing: every continuous play, the first included, ends with
// SpanEnd::Continue, whose arrival (SpanEnded) arms the timer; the timer's
// step plays the next one. The start's play counts as its row's first. A
// span end that arrives after a stop is ignored.
//
// GUI thread only: every member, including TimerStep and SpanEnded.
class SentenceReading {
public:
    // `speakCount` is asked at every step, so a changed setting applies at once.
    SentenceReading(TLessonDataSet& sentences, SentencePlayback& audio, StepTimer& timer,
                    std::function<int()> speakCount);

    // The current sentence once, with no end action. False when the list has
    // no current row (nothing plays).
    bool SpeakCurrent();
    // The current sentence with the compare end action, so the learner's take
    // follows it. False when the list has no current row.
    bool PlayForCompare();

    // Starts continuous reading at the current row; false (and still idle)
    // when the list has no current row.
    bool Start();
    // Stops at once: silence, counter reset, timer disarmed. The current row
    // stays where reading stopped.
    void Stop();
    bool Running() const { return m_running; }
    int RepeatCounter() const { return m_repeatCounter; }

    void TimerStep();
    void SpanEnded();

private:
    bool PlayCurrent(int endAction);

    TLessonDataSet& m_sentences;
    SentencePlayback& m_audio;
    StepTimer& m_timer;
    std::function<int()> m_speakCount;
    bool m_running = false;
    int m_repeatCounter = 0;
};
