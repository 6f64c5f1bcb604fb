#pragma once

#include <QByteArray>
#include <QString>

// Conversions between text and the GB18030 bytes (a superset of GBK/GB2312)
// that enciphered fields and exported lyric files hold. Stateless: callable
// from any thread.

// Bytes that are not valid GB18030 become U+FFFD; nothing is dropped silently.
QString Gb18030ToText(const QByteArray& bytes);
// Every Unicode character has a GB18030 form, so nothing is lost.
QByteArray TextToGb18030(const QString& text);
