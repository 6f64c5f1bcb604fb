#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

struct TakeModel;
class TMainForm;
class TkznMediaPlayer;

// How the comparison window is heard: the model or the take from a point of
// its own time line, or the model and then the take. Each call returns why
// nothing plays, empty when it plays. GUI thread only.
class ComparePlayback {
public:
    virtual ~ComparePlayback() = default;
    virtual QString PlayModelFrom(const TakeModel& model, double seconds) = 0;
    virtual QString PlayTakeFrom(double seconds) = 0;
    virtual QString PlayModelThenTake(const TakeModel& model) = 0;
    // The model's stretch modelFrom..modelTo, then the take's takeFrom..takeTo
    // (seconds of each voice); an empty take stretch plays the model's alone.
    virtual QString PlayStretches(const TakeModel& model, double modelFrom, double modelTo, double takeFrom,
                                  double takeTo) = 0;
};

// Through the main window's players: a sentence through the lesson audio
// (only while its lesson is still the open one), a word through the word
// player (opened afresh from its container), the take through the recorder,
// which holds the last take. Nothing plays while a take is being recorded.
class StudyComparePlayback final : public QObject, public ComparePlayback {
public:
    explicit StudyComparePlayback(TMainForm& form);

    QString PlayModelFrom(const TakeModel& model, double seconds) override;
    QString PlayTakeFrom(double seconds) override;
    QString PlayModelThenTake(const TakeModel& model) override;
    QString PlayStretches(const TakeModel& model, double modelFrom, double modelTo, double takeFrom,
                          double takeTo) override;

private:
    QString Refusal(const TakeModel& model) const;
    void StopPending();
    void PlaySentence(const TakeModel& model, double seconds, int endAction, double untilSeconds = -1);
    void PlayWord(const TakeModel& model, double seconds);

    TMainForm& m_form;
    QTimer m_takeAfterWord;  // hands a word over to the take once it has been heard
    // A stretch of the take after one of the model: when it starts, when it stops.
    QTimer m_takeStretch;
    QTimer m_takeStretchEnd;
    double m_takeFrom = 0;
    double m_takeTo = 0;
};
