#pragma once

#include "export/LessonExport.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class TDM;

// Runs the export dialog modally over `owner`, centred on the screen.
void ShowExportDialog(QWidget* owner, TDM& dm);

// The export dialog "课文制作MP3和歌词文件": writes the named lessons of one
// book as MP3 and LRC files into a folder the learner picks. Created fresh
// for each showing; it reads the catalogue and never writes to it. While an
// export runs the dialog repaints between lessons but cannot be closed. GUI
// thread only.
class TMP3Form : public QDialog {
    Q_OBJECT
public:
    TMP3Form(QWidget* owner, TDM& dm);

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void FormCreate();
    void btnStartClick();
    ExportResult RunExport();
    void SetExporting(bool exporting);
    void LessonWritten();

    TDM& m_dm;
    QString m_folder;  // the last folder chosen, offered again by the next export
    bool m_exporting = false;
    QComboBox* cbBook = nullptr;
    QLineEdit* edtLesson = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnClose = nullptr;
    QProgressBar* PB = nullptr;
};
