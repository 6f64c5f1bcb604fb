#pragma once

#include <QPlainTextEdit>
#include <QString>

// The answer memo of a sentence dictation question: the learner types the
// sentence (Enter starts a new line, Tab moves the focus); the memo carries
// the expected sentence and its span in the lesson recording. What the
// learner types, pastes or composes is in the normal colour, also next to
// words the marking coloured. GUI thread only.
class TQorSenMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TQorSenMemo(QWidget* parent = nullptr);

    qint32 BeginPos() const { return m_beginPos; }
    void SetBeginPos(qint32 ms) { m_beginPos = ms; }
    qint32 EndPos() const { return m_endPos; }
    void SetEndPos(qint32 ms) { m_endPos = ms; }
    QString Answer() const { return m_answer; }
    void SetAnswer(const QString& answer) { m_answer = answer; }

    // The whole typed text against Answer() under the dictation rule.
    bool IsAnswerRight() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    qint32 m_beginPos = 0;
    qint32 m_endPos = 0;
    QString m_answer;
};
