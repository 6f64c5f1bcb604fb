#pragma once

#include "app/AuthorLesson.h"
#include "app/CourseToolRun.h"

#include <QDialog>

#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class TDM;
class TempTextFile;

// Runs the dialog "添加课文" modally over `owner`, making the lesson with
// `courseTool`. The lesson the tool added, or nothing when the learner
// cancelled (the course is as it was).
std::optional<AddedLesson> AddLesson(QWidget* owner, TDM& dm, const QString& courseTool);

// "第 3、7 句的时间可能不准，请在课文精读页检查。" for those sentences.
QString UncertainTimesText(const QList<int>& sentences);

// The dialog "添加课文": a recording, its English text and optionally its
// Chinese translation (each typed or pasted into its box, or read from a
// file), the book and the title; "开始" refuses what the tool would refuse
// anyway (no recording, no text, a translation whose line count is not the
// number of sentences) and otherwise runs the course tool with the texts
// in temporary files of its own, showing its progress. A failed run says why
// and leaves the dialog as it was; "取消" stops a running tool (which then
// writes nothing) and closes. Created fresh for each showing. GUI thread
// only.
class TAddLessonForm final : public QDialog {
    Q_OBJECT
public:
    TAddLessonForm(QWidget* owner, TDM& dm, const QString& courseTool);
    ~TAddLessonForm() override;

    // After a run: the lesson the tool added, or nothing.
    const std::optional<AddedLesson>& Added() const { return m_added; }
    bool Running() const { return m_run.Running(); }

    void reject() override;

    QLineEdit* edtAudio = nullptr;
    QPushButton* btnAudio = nullptr;
    QPlainTextEdit* memText = nullptr;
    QPushButton* btnText = nullptr;
    QPlainTextEdit* memChinese = nullptr;
    QPushButton* btnChinese = nullptr;
    QComboBox* cbBook = nullptr;
    QLineEdit* edtTitle = nullptr;
    QLabel* lblStatus = nullptr;
    QProgressBar* pbAuthor = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void CreateControls();
    void btnAudioClick();
    void ReadTextInto(QPlainTextEdit* memo, const QString& title);
    void memTextChanged();
    void btnStartClick();
    std::optional<AuthorRequest> Request();
    void RunProgress(int step, int steps, const QString& label);
    void RunFinished();
    void SetRunning(bool running);

    TDM& m_dm;
    std::unique_ptr<TempTextFile> m_textFile;
    std::unique_ptr<TempTextFile> m_chineseFile;
    CourseToolRun m_run;  // after the texts: a tool still running is stopped before they go
    AuthorReport m_report;
    std::optional<AddedLesson> m_added;
    QString m_autoTitle;   // the title the text gave, while the learner keeps it
    bool m_closing = false;
};
