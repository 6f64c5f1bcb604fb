#pragma once

#include "audio/ReadingPorts.h"

#include <functional>

class TLessonDataSet;
class WordSpeaker;

// Speaking the word page's words: the current word on request, or the whole
// list continuously, one word per timer step, the first word again after the
// last. Words are paced by the timer alone; a step does not wait for the
// previous word to end.
//
// A word that cannot be spoken throws the player's error. Inside a timer
// step that ends the timer's loop (the timer swallows it), so continuous
// reading halts on that word, still marked running, until stopped.
//
// GUI thread only: every member, including TimerStep.
class WordReading {
public:
    // `book` is the open lesson's book, asked whenever a word is spoken.
    WordReading(TLessonDataSet& words, WordSpeaker& speaker, StepTimer& timer, std::function<int()> book);

    // The current word once. False when the list has no current row.
    bool SpeakCurrent();
    // Opens the current word without playing it (the model of a word take).
    // False when the list has no current row.
    bool OpenCurrent();

    // Speaks the current word and arms the timer; false (idle) for an empty
    // list. When the first word fails the reading stays idle and the error
    // is thrown.
    bool Start();
    // Disarms the timer; the word that is playing plays to its end.
    void Stop();
    bool Running() const { return m_running; }

    void TimerStep();

private:
    bool HasCurrent() const;
    int CurrentId() const;

    TLessonDataSet& m_words;
    WordSpeaker& m_speaker;
    StepTimer& m_timer;
    std::function<int()> m_book;
    bool m_running = false;
};
