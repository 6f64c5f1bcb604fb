#include "app/QtMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString& caption, const QString& text,
                                    QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, caption, text, buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);  // messages carry words, titles and paths
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void QtMessages::info(const QString& text)
{
    showBox(QMessageBox::Information, QStringLiteral("提示"), text, QMessageBox::Ok);
}

void QtMessages::error(const QString& text)
{
    showBox(QMessageBox::Critical, QStringLiteral("错误"), text, QMessageBox::Ok);
}

bool QtMessages::askYesNo(const QString& text)
{
    return showBox(QMessageBox::Question, QStringLiteral("确认"), text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}
