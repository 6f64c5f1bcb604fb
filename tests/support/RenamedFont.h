#pragma once

#include <QByteArray>
#include <QString>

// Test fixtures: a TrueType file that calls itself `family`, made from an
// installed one by replacing its table of names. Empty when `ttf` is not a
// TrueType file.
QByteArray RenameFontFamily(const QByteArray& ttf, const QString& family);
