#pragma once

#include "app/WordExerciseLinks.h"

#include <QObject>

#include <array>

class QPushButton;
class QToolButton;
class QWidget;
class TkznLabelEdit;

// The word dictation exercise "单词听写练习": ten meanings drawn from the
// lesson's words, each with an answer edit and a speak button; "成绩" marks
// the typed words with ticks and crosses and shows the expected word after a
// wrong one. Built into the page container it is given.
//
// The page is cleared when it stops being the front page of its page
// control; leaving that page control for another main page keeps it.
//
// GUI thread only. Handlers report errors through the application's error box.
class TWordWritePage final : public QObject {
    Q_OBJECT
public:
    static constexpr int kSubjects = 10;
    static constexpr int kMaxTyped = 80;

    using Links = WordExerciseLinks;

    TWordWritePage(QWidget* tsWordWrite, Links links);

    void btnStartClick();
    // Subjects are numbered 1 to 10.
    void btnSubjectClick(int subject);
    void btnResultClick();
    void tsWordWriteHide();

    QWidget* const tsWordWrite;
    // Subject i is element i - 1.
    std::array<TkznLabelEdit*, kSubjects> DictationEdits{};
    std::array<QToolButton*, kSubjects> DictationSpeakButtons{};
    QPushButton* btnStart;
    QPushButton* btnReStart;
    QPushButton* btnResult;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int SubjectOf(QObject* watched) const;

    Links m_links;
};
