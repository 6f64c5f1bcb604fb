#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QString>

// A single-line answer edit with a caption label above it (3 pixels apart,
// left-aligned with the edit and as wide). The label is a sibling on the
// edit's parent (it follows the edit to a new parent, and stays hidden while
// there is none); the edit keeps it in place and shows, hides, enables and
// deletes it along with itself. A caption wider than the edit is elided and
// shows whole in the label's tooltip.
//
// The edit's text is the learner's answer; Answer() is the expected one and
// SoundFile() the word's container relative to the data folder.
// GUI thread only.
class TkznLabelEdit : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int kLabelSpacing = 3;

    explicit TkznLabelEdit(QWidget* parent);
    ~TkznLabelEdit() override;

    // The caption label's text (not the edit's).
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    QLabel* EditLabel() const { return m_label; }
    // Whether `object` is the caption label of some label edit: its tooltip
    // is the caption, never an answer.
    static bool IsCaptionLabel(const QObject* object);

    QString Answer() const { return m_answer; }
    void SetAnswer(const QString& answer) { m_answer = answer; }
    QString SoundFile() const { return m_soundFile; }
    void SetSoundFile(const QString& soundFile) { m_soundFile = soundFile; }

    // The typed text against Answer() under the dictation rule.
    bool IsAnswerRight() const;

protected:
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void PlaceLabel();

    QPointer<QLabel> m_label;
    QString m_caption;
    QString m_answer;
    QString m_soundFile;
};
