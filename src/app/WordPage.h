#pragma once

#include <QObject>
#include <QString>

#include <functional>

class FollowReading;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QWidget;
class TLessonDataSet;
class WordReading;
class WordSpeaker;

// Makes the first sentence (lowest FID) whose English contains `word` the
// current row of the whole, unfiltered sentence list. The match ignores
// letter case and takes every character literally; an empty word matches
// every sentence. False when nothing matches: the list is left as it was,
// current row included.
bool FindRelatedSentence(TLessonDataSet& sentences, const QString& word);

// The word study page "单词初记": the word list, the current word's details
// and the six buttons, built into the page container it is given. Speaking
// and follow-reading are the controllers' work; the page turns clicks into
// their calls, keeps captions and enabled states in step, and ends both when
// the page is left.
//
// GUI thread only. Handlers report errors through the application's error box.
class TWordPage final : public QObject {
    Q_OBJECT
public:
    struct Links {
        TLessonDataSet& words;
        TLessonDataSet& sentences;
        WordReading& reading;
        WordSpeaker& speaker;
        FollowReading& follow;
        std::function<void()> openWordWrite;  // the word dictation exercise
        std::function<void()> showSenPage;    // the text reading page
        // Blocks the GUI thread between the model word and the take.
        std::function<void(int milliseconds)> wait;
    };

    static constexpr int kCompareGapMs = 1500;

    TWordPage(QWidget* tsWord, Links links);

    void btnWordSpeakClick();
    void btnWordSpeakRuningClick();
    void btnSenInLessonClick();
    void btnWordFellowClick();
    void btnWordFellowPlayClick();
    void btnWordTestClick();
    void DBGridEh1CellClick();
    void tsWordHide();
    void EnableWordControls(bool enabled);

    QWidget* const tsWord;
    QTableView* DBGridEh1;
    QLineEdit* DBEdit1;
    QLineEdit* DBEdit2;
    QLineEdit* DBEdit3;
    QPlainTextEdit* DBMemo1;
    QPushButton* btnWordSpeak;
    QPushButton* btnWordSpeakRuning;
    QPushButton* btnSenInLesson;
    QPushButton* btnWordFellow;
    QPushButton* btnWordFellowPlay;
    QPushButton* btnWordTest;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildDetails();
    void ShowCurrentWord();
    void UpdateButtons();

    Links m_links;
};
