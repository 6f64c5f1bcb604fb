#include "app/GuideWindow.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

TGuideWindow::TGuideWindow(const QString& guideFile, QWidget* owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("GuideWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("操作指南"));
    resize(640, 560);
    browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("GuideBrowser"));
    browser->setOpenLinks(true);
    browser->setOpenExternalLinks(true);
    browser->setSource(QUrl::fromLocalFile(guideFile));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
}
