#pragma once

#include <QWidget>

class QTextBrowser;

// Our HTML user guide in a window of the program: links inside the guide
// move within it, links to elsewhere go to the desktop. Modeless; deletes
// itself when closed. GUI thread only.
class TGuideWindow final : public QWidget {
    Q_OBJECT
public:
    TGuideWindow(const QString& guideFile, QWidget* owner);

    QTextBrowser* browser = nullptr;
};
