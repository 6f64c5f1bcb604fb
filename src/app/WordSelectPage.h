#pragma once

#include "app/WordExerciseLinks.h"

#include <QObject>

#include <array>

class QFrame;
class QPushButton;
class QToolButton;
class QWidget;
class TQorWordSelectLabel;
class TWrapRadioButton;

// The word selection exercise "单词选择练习": two questions, each a word or
// meaning with four options to pick from; "成绩" marks them and points out
// the right option of a wrong one with " √". Built into the page container
// it is given.
//
// The page is cleared when it stops being the front page of its page
// control (leaving that page control for another main page keeps it); the
// selected options survive clearing and a new draw.
//
// GUI thread only. Handlers report errors through the application's error box.
class TWordSelectPage final : public QObject {
    Q_OBJECT
public:
    static constexpr int kQuestions = 2;
    static constexpr int kOptions = 4;

    using Links = WordExerciseLinks;

    TWordSelectPage(QWidget* tsWordSelect, Links links);

    void StartWordSelection(bool englishToChinese);
    // Questions are numbered 1 and 2.
    void sbWordSpeakClick(int question);
    void Button17Click();
    void tsWordSelectHide();

    QWidget* const tsWordSelect;
    // Question k is element k - 1; option j of question k is rbAnswer[k - 1][j - 1].
    std::array<QFrame*, kQuestions> pnlSubject{};
    std::array<TQorWordSelectLabel*, kQuestions> nwsSubject{};
    std::array<QToolButton*, kQuestions> sbWordSpeak{};
    std::array<std::array<TWrapRadioButton*, kOptions>, kQuestions> rbAnswer{};
    QPushButton* btnBegin;
    QPushButton* Button14;
    QPushButton* Button17;

private:
    Links m_links;
};
