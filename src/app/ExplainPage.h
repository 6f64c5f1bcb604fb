#pragma once

#include <QPlainTextEdit>
#include <QWidget>

// The read-only explanation memo. F2/F4/F6/F8/F10 indent by that many spaces
// and step to the next line, F3 drops the caret's line. What the keys change
// lives only in the memo until the next lesson replaces its text.
// GUI thread only.
class TExplainMemo final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TExplainMemo(QWidget* parent = nullptr);

    void IndentBy(int spaces);
    void DeleteCaretLine();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool memoExplainKeyDown(int key);
};

// The page "重点讲解": the lesson's decoded explanation. GUI thread only.
class TExplainPage final : public QWidget {
    Q_OBJECT
public:
    explicit TExplainPage(QWidget* parent = nullptr);

    // Replaces the whole text and puts the caret at the start.
    void SetExplanation(const QString& text);

    TExplainMemo* memoExplain = nullptr;
};
