#include "controls/PlainToolTip.h"

#include <QTextDocument>

QString PlainToolTip(const QString& text)
{
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}
