#pragma once

#include "app/ReadingAdapters.h"
#include "audio/FinishedTake.h"
#include "audio/FollowReading.h"
#include "audio/SentenceReading.h"
#include "audio/WordReading.h"
#include "audio/WordSpeaker.h"

#include <QPointer>

class LessonAudio;
class TMainForm;
class TSenPage;
class TWordPage;

// Reading on the main window: adapts its lesson audio, timers and players to
// the reading controllers, drives the controllers from the two timers, and
// fills the text and word pages. The exercises speak words through Speaker.
//
// Create it once the window's pages and shared objects exist, and destroy it
// before them. GUI thread only.
class TStudyReading {
public:
    explicit TStudyReading(TMainForm& form);
    ~TStudyReading();
    TStudyReading(const TStudyReading&) = delete;
    TStudyReading& operator=(const TStudyReading&) = delete;

    // Ends reading and a running take on both pages, as leaving them does
    // (no playback); the window runs it before it closes the players.
    void LeaveStudyPages();
    // The text page's "调整句子时间…".
    void EditSentenceTime();
    // Gives the text page's sentence grid the keyboard.
    void FocusSentences();

    // The end of a span played by continuous reading.
    void SpanEnded() { m_sentence.SpanEnded(); }

    WordSpeaker& Speaker() { return m_speaker; }
    // The last take that ended on either page, with what it was read after.
    LastTake& Takes() { return m_lastTake; }
    // Whether a take is being recorded on either page.
    bool Recording() const { return m_senFollow.Recording() || m_wordFollow.Recording(); }

private:
    TakeModel SentenceModel() const;
    TakeModel WordModel() const;

    class LessonPlayback final : public SentencePlayback {
    public:
        explicit LessonPlayback(LessonAudio& audio) : m_audio(audio) {}
        void PlaySentence(int beginMs, int endMs, int endAction) override;
        void StopLessonAudio() override;

    private:
        LessonAudio& m_audio;
    };

    TMainForm& m_form;
    LessonPlayback m_lessonAudio;
    ThreadTimerStep m_senTimer;
    ThreadTimerStep m_wordTimer;
    MediaWordPlayer m_wordPlayer;
    MediaTakeRecorder m_recorder;
    WordSpeaker m_speaker;
    SentenceReading m_sentence;
    WordReading m_word;
    FollowReading m_senFollow;
    FollowReading m_wordFollow;
    LastTake m_lastTake;
    // Children of the page containers; deleted here first, so no page event
    // reaches the controllers once they are gone.
    QPointer<TSenPage> m_senPage;
    QPointer<TWordPage> m_wordPage;
};
