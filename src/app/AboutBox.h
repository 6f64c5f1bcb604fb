#pragma once

#include <QDialog>

// The about box: the program's name and version. Modeless; deletes itself
// when closed. GUI thread only.
class TAboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* owner);
};
