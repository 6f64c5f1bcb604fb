#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

class LessonVoice;
class Mixer;

// What happens when a sentence span has played to its end.
enum SentenceEndAction : int {
    seaNone = 0,           // stop; nothing else
    seaContinue = 1,       // continuous reading arms its sentence timer
    seaPlayRecording = 2,  // follow-reading plays the learner's take
};

// The lesson recording engine: keeps the open lesson's MP3 as one stream,
// plays sentence spans of it (positions in milliseconds of the recording's
// own time line), stops on the span's last frame and reports that end with
// spanHeard and speakDone(action). At most one end is ever pending: a new
// span, a lesson change or closing drops the one before, even if it is
// already queued.
//
// Threads: GUI thread only. speakDone() is emitted on the GUI thread, from
// the event loop.
class LessonAudio : public QObject {
    Q_OBJECT
public:
    // Plays through the program's shared output device, opened by InitAudio.
    explicit LessonAudio(QObject* parent = nullptr);
    // Plays through `mixer` (tests and tools drive it themselves); it must
    // outlive this object.
    explicit LessonAudio(Mixer& mixer, QObject* parent = nullptr);
    ~LessonAudio() override;

    // Checks the sound libraries and opens the output device. On failure
    // shows "软件运行库被破坏，请重新安装本软件！" or "初始化声音设备错误！" and
    // returns false: the caller must end the program.
    bool InitAudio();

    // Opens the recording of `lesson` in `book` under the data folder (found
    // regardless of letter case), after freeing the previous one and deleting
    // its temporary MP3, then applies `speed`. Returns true with a stream
    // open; otherwise shows why and the lesson stays without audio. The
    // stream keeps the pitch as ApplyKeepPitch last asked.
    bool OpenLessonAudio(const QString& dataDir, int book, int lesson, int speed);
    // The same for a container path.
    bool OpenLessonAudioFile(const QString& containerPath, int speed);

    // Plays beginMs..endMs of the open stream and returns at once, cutting
    // off whatever span was playing. When endMs is not after beginMs the
    // recording plays on to its end, which only spanHeard reports. Nothing
    // happens without a stream.
    void PlaySentence(int beginMs, int endMs, int endAction);
    // Stops playback; an end already on its way is still delivered.
    void StopLessonAudio();
    // 8..12 tenths of the native rate (tempo and pitch together; anything
    // else means 10); applies at once, also in the middle of a span, which
    // still ends at its place.
    void ApplySpeed(int speed);
    // Whether a speed other than 10 keeps the voice's pitch (a time stretch)
    // instead of changing the rate. Holds for every lesson opened later too;
    // a span already playing keeps its way unless it has not yet left the
    // recorded speed.
    void ApplyKeepPitch(bool keepPitch);
    // Frees the stream and deletes its temporary MP3.
    void CloseLessonAudio();

    bool hasStream() const { return FStream != nullptr; }
    bool keepsPitch() const { return m_keepPitch; }
    // The speed the open stream plays at; 0 without a stream.
    int streamSpeed() const;
    bool isPlaying() const;
    int nativeRate() const;
    QString lessonAudioFile() const { return FLessonAudioFile; }
    // The open recording's length; 0 without a stream.
    int lengthMs() const;
    // The open recording's MP3 (shared, not copied), empty without a stream:
    // for decoding a span elsewhere, on any thread.
    QByteArray recordingMp3() const;

    // The recording frame at `ms`: round(ms × native rate / 1000).
    static int64_t MsToFrame(int64_t ms, int rate);

signals:
    // A span played to its end with an end action other than seaNone.
    void speakDone(int action);
    // A span began to play (PlaySentence with a stream open), emitted from
    // within PlaySentence.
    void spanStarted(int beginMs, int endMs);
    // The span PlaySentence was given played to its end, whatever its end
    // action: it was heard, not cut off by another span, a stop or a lesson
    // change. Emitted before speakDone.
    void spanHeard(int beginMs, int endMs);

private:
    friend class LessonVoice;

    // The GUI-thread half of a span's end: reports it unless a newer span,
    // a lesson change or closing has replaced it since.
    void SentenceEndSync(uint32_t sync, int action);
    void freeStream();

    Mixer* m_mixer = nullptr;
    std::unique_ptr<LessonVoice> FStream;
    uint32_t FSync = 0;  // the end that may still be reported; 0 for none
    uint32_t m_lastSync = 0;
    int m_spanBeginMs = 0;  // the span FSync ends
    int m_spanEndMs = 0;
    QString FLessonAudioFile;
    int m_speed = 10;
    bool m_keepPitch = false;
};
