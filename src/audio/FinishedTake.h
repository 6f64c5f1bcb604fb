#pragma once

#include "audio/WavFile.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <optional>

// What a take was read after: a sentence of the lesson recording or a word.
struct TakeModel {
    enum class Kind { Sentence, Word };
    Kind kind = Kind::Sentence;
    QString text;  // the sentence, or the word
    // A sentence: the lesson's recording (shared bytes) and its span.
    QByteArray lessonMp3;
    int beginMs = 0;
    int endMs = 0;
    // A word: where its container is, and its sound as the word player held it.
    int book = 0;
    int wordId = 0;
    PcmAudio wordAudio;
};

// The model's sound: the sentence's span decoded, or the word's. Nothing
// when there is none (a lesson without a recording). Pure: any thread.
std::optional<PcmAudio> ModelAudio(const TakeModel& model);

// A take that has ended, with its model.
struct FinishedTake {
    int serial = 0;  // 1, 2, … in the order takes end; 0 before the first
    TakeModel model;
    PcmAudio take;
};

// The last take that ended on either study page. The page that starts a
// take names its model; when the take ends, the recorder's audio and that
// model become the last take and changed() is emitted.
//
// GUI thread only.
class LastTake : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void TakeStarted(TakeModel model) { m_model = std::move(model); }
    void TakeEnded(const PcmAudio& take);

    const FinishedTake& Last() const { return m_last; }

signals:
    void changed();

private:
    TakeModel m_model;
    FinishedTake m_last;
};
