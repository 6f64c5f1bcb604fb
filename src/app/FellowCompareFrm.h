#pragma once

#include "analysis/TakeAnalysisRunner.h"
#include "audio/FinishedTake.h"

#include <QWidget>

#include <functional>
#include <memory>

class ComparePlayback;
class LastTake;
class QLabel;
class QPushButton;
class TVoiceComparePlot;

// The window "跟读对比图": the last take that ended, set against its model. It
// stays open beside the main window and follows every new take by itself.
// Its runner analyses each take off the GUI thread; only the newest take's
// result is shown. A click in the model's or the take's row plays
// that voice from there, Space plays the model and then the take, and the
// picture can be saved as a PNG file. Under the take, the sentence's words
// show how clearly the take said each (when the speech model is installed);
// a click on one plays it from the model and then from the take.
//
// GUI thread only. Destroying the window stops a running analysis.
class TFellowCompareFrm final : public QWidget {
    Q_OBJECT
public:
    // Asks where to save the picture; an empty answer cancels.
    using FileChooser = std::function<QString(QWidget* owner, const QString& suggested)>;

    // `takes` must outlive the window.
    TFellowCompareFrm(LastTake& takes, std::unique_ptr<ComparePlayback> playback, QWidget* parent = nullptr);
    ~TFellowCompareFrm() override;

    void SetFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    // The take on show (serial 0: none yet, or its analysis is still running).
    int ShownSerial() const { return m_shownSerial; }

    void PlayBoth();
    void SavePicture();

    QWidget* pnlPicture;
    QLabel* lblModel;
    QLabel* lblWarning;
    TVoiceComparePlot* plot;
    QLabel* lblWords;    // the take's words, coloured by how clearly they were said; each a link
    QLabel* lblUnclear;  // which words to practise again, or why that cannot be said
    QLabel* lblPartings;
    QLabel* lblStatus;
    QPushButton* btnPlayBoth;
    QPushButton* btnSave;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void TakeChanged();
    void Show(const TakeAnalysis& analysed);
    void PlayModelFrom(double seconds);
    void PlayTakeFrom(double seconds);
    void PlayWord(int index);
    void ShowWords(const TakeWordCheck& check);
    void Report(const QString& status);

    LastTake& m_takes;
    std::unique_ptr<ComparePlayback> m_playback;
    FileChooser m_chooseFile;
    TakeModel m_model;  // the shown take's model
    int m_shownSerial = 0;
    std::vector<TakeWord> m_words;  // the shown take's words
    TakeAnalysisRunner m_runner;
};
