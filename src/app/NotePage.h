#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class TLessonDataSet;

// The page "课程笔记": the learner's note of the open lesson, bound to field
// FNote of the note list. The memo is read-only until "修改"; the first
// keystroke puts the list into editing (edit, or insert when the lesson has no
// note yet); "保存" posts. GUI thread only.
class TNotePage final : public QWidget {
    Q_OBJECT
public:
    TNotePage(TLessonDataSet& adsNote, QWidget* parent = nullptr);

    // Shows the note of the list's current row (empty when it has none).
    // The memo keeps its read-only state.
    void Reload();

    // Posts a note that was typed but not saved. True when nothing was
    // pending or the post succeeded; on failure the typed text stays and
    // `error` says why.
    bool PostPendingNote(QString* error = nullptr);

    QPlainTextEdit* memoNote = nullptr;
    QPushButton* btnNoteEdit = nullptr;
    QPushButton* btnNoteSave = nullptr;
    QPushButton* btnNoteDelete = nullptr;

private:
    void btnNoteEditClick();
    void btnNoteSaveClick();
    void btnNoteDeleteClick();
    void memoNoteChanged();

    TLessonDataSet& m_note;
    bool m_loading = false;
};
