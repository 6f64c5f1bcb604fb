#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QSpinBox;
class TDM;
class TkznTrackBarOk;

// Runs the settings dialog modally over `owner`. True exactly when it was
// closed with OK; then all six options have been written and the settings
// cache of `dm` holds the dialog's values (a failed write keeps the new cache
// value and has shown its own message). The caller re-applies hints, speed,
// the pitch choice and the sentence timer's pause.
bool ShowSettings(QWidget* owner, TDM& dm);

// The settings dialog "设置". Created fresh for each showing; reads the
// settings when constructed and writes them on OK only. GUI thread only.
class TSetForm : public QDialog {
    Q_OBJECT
public:
    TSetForm(QWidget* owner, TDM& dm);

private:
    QWidget* CreateNormalPage(QWidget* pages);
    QWidget* CreateTestPage(QWidget* pages);
    void ReadSettingsToDialog();
    void WriteSettingsFromDialog();
    void kznTBOChange(int position);
    void btnOkClick();

    TDM& m_dm;
    TkznTrackBarOk* kznTBO = nullptr;
    QLabel* Label3 = nullptr;
    QCheckBox* cbSpeak = nullptr;
    QCheckBox* cbKeepPitch = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QSpinBox* SpinEdit2 = nullptr;
    QCheckBox* cbTestHint = nullptr;
    QCheckBox* cbAction = nullptr;
};
