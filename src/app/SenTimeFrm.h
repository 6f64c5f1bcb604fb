#pragma once

#include <QDialog>

class LessonAudio;
class QLabel;
class QPushButton;
class TDM;
class TkznWaveSpan;

// Runs the sentence time editor modally over `owner` on the current sentence
// of the open lesson, playing through `audio`. True when new times were
// written. Without a current sentence or a recording to show it says why
// and opens nothing.
bool EditSentenceTime(QWidget* owner, TDM& dm, LessonAudio& audio);

// The sentence time editor "调整句子时间": the recording from the previous
// sentence's begin to the next one's end (at most kContextMs beyond the
// sentence on either side), the sentence's begin and end as two handles
// that stop at the neighbours' spans, and buttons to hear the sentence as it
// now stands, its first and its last second. "确定" writes the two times in
// one transaction; when that fails the dialog stays open and nothing has
// changed. Created fresh for each showing. GUI thread only.
class TSenTimeForm final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kContextMs = 20000;
    static constexpr int kWaveWidth = 760;
    static constexpr int kWaveHeight = 180;

    TSenTimeForm(QWidget* owner, TDM& dm, LessonAudio& audio);

    void accept() override;
    void done(int result) override;

    QLabel* lblSentence = nullptr;
    TkznWaveSpan* wave = nullptr;
    QLabel* lblTimes = nullptr;
    QPushButton* btnPlay = nullptr;
    QPushButton* btnPlayHead = nullptr;
    QPushButton* btnPlayTail = nullptr;
    QPushButton* btnOk = nullptr;

private:
    void CreateControls();
    void ShowRecording();
    void ShowTimes();
    void Play(int beginMs, int endMs);

    TDM& m_dm;
    LessonAudio& m_audio;
    int m_row;
};
