#include "app/QtMessages.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QScreen>

namespace {

// QMessageBox wraps its text once a line is wider than this, and then
// anywhere in a line, even inside a path.
constexpr int kBoxWrapWidth = 500;
// Room the icon and the margins take from the box's width.
constexpr int kBoxMargins = 120;

// The widest the box grows before it wraps lines anyhow, as QMessageBox
// limits itself on a screen of `width`.
int WidestBoxText(int width)
{
    return (width <= 1024 ? width : qMin(width - 480, 1000)) - kBoxMargins;
}

// A line that fits on the screen stays whole (a command to copy, a folder's
// path); only a wider one wraps. Text of short lines is shown as it is.
void SetText(QMessageBox& box, const QString& text)
{
    const QFontMetrics metrics(box.font());
    const int widest = WidestBoxText(box.screen()->availableGeometry().width());
    bool wraps = false;
    QString html;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const int width = metrics.horizontalAdvance(line);
        wraps = wraps || width > kBoxWrapWidth;
        html += QStringLiteral("<div%1>%2</div>")
                    .arg(width <= widest ? QStringLiteral(" style=\"white-space:pre\"") : QString(),
                         line.isEmpty() ? QStringLiteral("&nbsp;") : line.toHtmlEscaped());
    }
    // Messages carry words, titles and paths, never markup: plain text, or
    // each line escaped into ours.
    if (!wraps) {
        box.setTextFormat(Qt::PlainText);
        box.setText(text);
        return;
    }
    box.setTextFormat(Qt::RichText);
    box.setText(html);
}

QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString& caption, const QString& text,
                                    QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, caption, QString(), buttons, QApplication::activeWindow());
    SetText(box, text);
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
