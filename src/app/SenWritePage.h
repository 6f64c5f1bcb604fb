#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <functional>

class QLabel;
class QPushButton;
class QToolButton;
class QWidget;
class RandomSource;
class TLessonDataSet;
class TMainGlyphs;
class TQorSenMemo;

// The sentence dictation exercise "课文听写练习": two sentences drawn from
// the lesson's text, each shown by its translation, played on request or on
// entering its answer memo; "成绩" marks the typed sentences and adds the
// expected sentence under a wrong one, its missed words in red. With answer
// hints on, resting the pointer on a prompt shows the expected sentence.
// Built into the page container it is given.
//
// The page is cleared when it stops being the front page of its page
// control; leaving that page control for another main page keeps it.
//
// GUI thread only. Handlers report errors through the application's error box.
class TSenWritePage final : public QObject {
    Q_OBJECT
public:
    static constexpr int kQuestions = 2;

    struct Links {
        TLessonDataSet& sentences;
        RandomSource& random;
        const TMainGlyphs& glyphs;
        // Plays beginMs..endMs of the lesson recording with nothing after it.
        std::function<void(int beginMs, int endMs)> playSentence;
        // Whether answer hints are on.
        std::function<bool()> showHints;
    };

    TSenWritePage(QWidget* tsSenWrite, Links links);

    void btnSenStartClick();
    // Questions are numbered 1 and 2.
    void sbSpeakClick(int question);
    // The pointer entered (true) or left label `question`.
    void lblSenSubjectMouseEnter(int question, bool entered);
    void btnSenResultClick();
    void tsSenWriteHide();
    // A sentence's times were corrected: a question drawn from it plays the
    // new span.
    void SentenceMoved(int oldBegin, int oldEnd, int newBegin, int newEnd);

    QWidget* const tsSenWrite;
    // Question k is element k - 1.
    std::array<QLabel*, kQuestions> lblSenSubject{};
    std::array<QToolButton*, kQuestions> sbSpeak{};
    std::array<TQorSenMemo*, kQuestions> nsmSubject{};
    QPushButton* btnSenStart;
    QPushButton* btnSenNext;
    QPushButton* btnSenResult;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What label k shows when no hint is up: the Chinese prompt, or "句子".
    std::array<QString, kQuestions> m_prompts;
    Links m_links;
};
