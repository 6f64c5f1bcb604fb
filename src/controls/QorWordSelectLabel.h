#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>
#include <QString>

// The question label of a word selection question: the word or meaning asked,
// the option button that holds the right answer (not owned; none before a
// draw), and the asked word's container relative to the data folder.
// GUI thread only.
class TQorWordSelectLabel : public QLabel {
    Q_OBJECT
public:
    explicit TQorWordSelectLabel(QWidget* parent = nullptr);

    QAbstractButton* AnswerButton() const { return m_answerButton; }
    void SetAnswerButton(QAbstractButton* button) { m_answerButton = button; }
    QString SoundFile() const { return m_soundFile; }
    void SetSoundFile(const QString& soundFile) { m_soundFile = soundFile; }

    // Whether the right option is the one selected.
    bool IsAnswerRight() const;

private:
    QPointer<QAbstractButton> m_answerButton;
    QString m_soundFile;
};
