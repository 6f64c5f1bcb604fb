#pragma once

#include <QString>

// The narrow views the reading and follow-reading controllers have of the
// lesson audio engine, the reading timers and the two media players. The
// main window adapts its real objects to them; tests put recorders in their
// place. All members are called on the GUI thread.

// End actions of a played sentence span, as the audio engine reports them
// back to the main window.
namespace SpanEnd {
constexpr int None = 0;
constexpr int Continue = 1;       // continuous reading: re-arm the sentence timer
constexpr int PlayRecording = 2;  // compare: play the learner's take next
}

class SentencePlayback {
public:
    virtual ~SentencePlayback() = default;
    // Plays beginMs..endMs of the lesson recording, replacing any pending end
    // notification; `endAction` comes back when the span ends.
    virtual void PlaySentence(int beginMs, int endMs, int endAction) = 0;
    virtual void StopLessonAudio() = 0;
};

class StepTimer {
public:
    virtual ~StepTimer() = default;
    virtual void SetActive(bool active) = 0;
    virtual bool Active() const = 0;
};

// The word player (one file open at a time, deleted when the next opens).
class WordPlayer {
public:
    virtual ~WordPlayer() = default;
    // Closes and deletes the previous file, then opens `path`; throws with
    // the player's message ("文件不存在！") when `path` names no file.
    virtual void OpenFile(const QString& path) = 0;
    // Plays what is open from its start, or from where it stands; throws when
    // nothing is open.
    virtual void Play() = 0;
};

// The follow-reading recorder. It holds the one take in memory.
class TakeRecorder {
public:
    virtual ~TakeRecorder() = default;
    // Opens the recorder on `fileName`, discarding the previous take; throws
    // when the recorder cannot be opened.
    virtual void Open(const QString& fileName) = 0;
    // Throws when no capture device can be opened; nothing records then.
    virtual void StartRecording() = 0;
    virtual void Stop() = 0;
    virtual void Rewind() = 0;
    virtual void Play() = 0;
};
